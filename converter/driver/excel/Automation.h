// Late-bound IDispatch calls by dispatch id: owned VARIANTs, owned dispatch references and the
// argument conventions of the host's automation server.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "converter/platform/win32/AnsiText.h"

namespace tabulex::automation {

// An automation call that failed, with the HRESULT it returned.
class Failure : public std::runtime_error {
 public:
  Failure(HRESULT result, const std::string& what) : std::runtime_error(what), result_(result) {}
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

// ANSI strings to and from the host's UTF-16 strings.
using win32::Narrow;
using win32::Widen;

// Owns one VARIANT and clears it on destruction.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  // The other variant takes the old value and clears it when it goes.
  Variant& operator=(Variant&& other) noexcept {
    std::swap(v_, other.v_);
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  // The host takes true and false as 16-bit integers 1 and 0.
  static Variant Bool(bool value) { return Int16(value ? 1 : 0); }
  static Variant Int16(short value);
  static Variant Int32(long value);
  static Variant String(const std::string& ansi);
  // An optional argument left out.
  static Variant Missing();

  VARTYPE Type() const { return v_.vt; }
  const VARIANT& Get() const { return v_; }
  VARIANT* Out() { return &v_; }
  // Takes the dispatch reference out of a VT_DISPATCH result; throws when there is none.
  IDispatch* TakeDispatch(const char* what);
  long ToInt32(const char* what) const;
  std::string ToString(const char* what) const;

 private:
  VARIANT v_;
};

// Owns one reference to a dispatch object and makes the calls of the host's object model on
// it. Arguments are given in the member's own order; Invoke takes them reversed.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IDispatch* owned) : p_(owned) {}
  ~Dispatch() { Reset(); }
  Dispatch(Dispatch&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Dispatch& operator=(Dispatch&& other) noexcept;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  explicit operator bool() const { return p_ != nullptr; }
  void Reset();

  Variant Get(DISPID id, const char* what, std::vector<Variant> args = {});
  Dispatch GetObject(DISPID id, const char* what, std::vector<Variant> args = {});
  void Put(DISPID id, const char* what, Variant value);
  Variant Call(DISPID id, const char* what, std::vector<Variant> args = {});
  // A method that returns an object.
  Dispatch CallObject(DISPID id, const char* what, std::vector<Variant> args = {});

 private:
  Variant Invoke(DISPID id, WORD flags, const char* what, std::vector<Variant>& args, bool put);

  IDispatch* p_ = nullptr;
};

// Joins the calling thread to a single-threaded apartment for the lifetime of the object, when
// it is not in one already.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  HRESULT result_;
};

}  // namespace tabulex::automation
