// Late-bound calls into the host's automation objects: names resolved with GetIDsOfNames,
// positional and named arguments, results as owned VARIANTs, failures as exceptions.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

#include "converter/platform/win32/AnsiText.h"

namespace tabulex::addin {

// The code of the host's run-time error 1004, which it raises for an operation that failed.
inline constexpr HRESULT kHostRunTimeError = static_cast<HRESULT>(0x800A03ECu);

// A failed call on an automation object. The code is the one the object raised (Invoke gave
// DISP_E_EXCEPTION) or else the result of the call itself.
class AutomationError : public std::runtime_error {
 public:
  AutomationError(HRESULT code, const std::string& what) : std::runtime_error(what), code_(code) {}
  HRESULT Code() const { return code_; }
  // The host's own error 1004: the host has failed an operation it was asked for.
  bool IsHostError() const { return code_ == kHostRunTimeError; }

 private:
  HRESULT code_;
};

// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(const wchar_t* text);
  explicit Variant(const std::string& text);
  explicit Variant(long number) : Variant() {
    v_.vt = VT_I4;
    v_.lVal = number;
  }
  static Variant Bool(bool flag);
  // Takes a reference of its own.
  static Variant Object(IDispatch* object);
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* Out() {
    VariantClear(&v_);
    return &v_;
  }
  const VARIANT& Get() const { return v_; }
  // The value as text in the ANSI code page; empty for an empty value.
  std::string Text() const;

 private:
  VARIANT v_;
};

// One named argument of a call.
struct Named {
  const wchar_t* name;
  const Variant& value;
};

// An owned reference to an automation object.
class Object {
 public:
  Object() = default;
  // Takes a reference of its own to `dispatch` (which may be null).
  explicit Object(IDispatch* dispatch);
  Object(const Object& other) : Object(other.p_) {}
  Object(Object&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Object& operator=(Object other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~Object();

  // The object a property returns or a method's result; a missing object ("Nothing") gives an
  // empty Object, anything else that is no object is an error.
  static Object From(Variant result, const std::wstring& member);

  explicit operator bool() const { return p_ != nullptr; }
  IDispatch* Get() const { return p_; }

  Variant GetValue(const wchar_t* name, std::initializer_list<const Variant*> args = {}) const;
  Object GetObject(const wchar_t* name, std::initializer_list<const Variant*> args = {}) const;
  void Put(const wchar_t* name, const Variant& value) const;
  Variant Call(const wchar_t* name, std::initializer_list<const Variant*> args = {},
               std::initializer_list<Named> named = {}) const;

 private:
  Variant Invoke(const wchar_t* name, WORD flags, std::initializer_list<const Variant*> args,
                 std::initializer_list<Named> named) const;
  IDispatch* p_ = nullptr;
};

// ANSI strings to and from the host's UTF-16 strings.
using win32::Narrow;
using win32::Widen;

}  // namespace tabulex::addin
