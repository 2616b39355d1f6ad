// Late-bound IDispatch calls by dispatch id.
#include "converter/driver/excel/Automation.h"

#include <oleauto.h>

#include <cstdio>
#include <utility>

namespace tabulex::automation {
namespace {

std::string Describe(const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return std::string(what) + " failed with " + code;
}

// The strings an exception leaves in EXCEPINFO belong to the caller.
HRESULT TakeException(HRESULT result, EXCEPINFO& info) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  if (result == DISP_E_EXCEPTION && FAILED(info.scode)) result = info.scode;
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return result;
}

}  // namespace

Variant Variant::Int16(short value) {
  Variant v;
  v.v_.vt = VT_I2;
  v.v_.iVal = value;
  return v;
}

Variant Variant::Int32(long value) {
  Variant v;
  v.v_.vt = VT_I4;
  v.v_.lVal = value;
  return v;
}

Variant Variant::String(const std::string& ansi) {
  const std::wstring wide = Widen(ansi);
  Variant v;
  v.v_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!v.v_.bstrVal) throw Failure(E_OUTOFMEMORY, "A string argument");
  v.v_.vt = VT_BSTR;
  return v;
}

Variant Variant::Missing() {
  Variant v;
  v.v_.vt = VT_ERROR;
  v.v_.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

IDispatch* Variant::TakeDispatch(const char* what) {
  if (v_.vt != VT_DISPATCH || !v_.pdispVal)
    throw Failure(E_NOINTERFACE, Describe(what, E_NOINTERFACE));
  IDispatch* taken = v_.pdispVal;
  v_.vt = VT_EMPTY;
  v_.pdispVal = nullptr;
  return taken;
}

long Variant::ToInt32(const char* what) const {
  Variant converted;
  const HRESULT result = VariantChangeType(converted.Out(), const_cast<VARIANT*>(&v_), 0, VT_I4);
  if (FAILED(result)) throw Failure(result, Describe(what, result));
  return converted.v_.lVal;
}

std::string Variant::ToString(const char* what) const {
  Variant converted;
  const HRESULT result = VariantChangeType(converted.Out(), const_cast<VARIANT*>(&v_), 0, VT_BSTR);
  if (FAILED(result)) throw Failure(result, Describe(what, result));
  const BSTR text = converted.v_.bstrVal;
  return Narrow(text, static_cast<int>(SysStringLen(text)));
}

Dispatch& Dispatch::operator=(Dispatch&& other) noexcept {
  if (this != &other) {
    Reset();
    p_ = std::exchange(other.p_, nullptr);
  }
  return *this;
}

void Dispatch::Reset() {
  if (p_) std::exchange(p_, nullptr)->Release();
}

Variant Dispatch::Get(DISPID id, const char* what, std::vector<Variant> args) {
  return Invoke(id, DISPATCH_PROPERTYGET, what, args, false);
}

Dispatch Dispatch::GetObject(DISPID id, const char* what, std::vector<Variant> args) {
  Variant result = Get(id, what, std::move(args));
  return Dispatch(result.TakeDispatch(what));
}

void Dispatch::Put(DISPID id, const char* what, Variant value) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  Invoke(id, DISPATCH_PROPERTYPUT, what, args, true);
}

Variant Dispatch::Call(DISPID id, const char* what, std::vector<Variant> args) {
  return Invoke(id, DISPATCH_METHOD, what, args, false);
}

Dispatch Dispatch::CallObject(DISPID id, const char* what, std::vector<Variant> args) {
  Variant result = Call(id, what, std::move(args));
  return Dispatch(result.TakeDispatch(what));
}

Variant Dispatch::Invoke(DISPID id, WORD flags, const char* what, std::vector<Variant>& args,
                         bool put) {
  if (!p_) throw Failure(E_POINTER, Describe(what, E_POINTER));
  // Invoke takes the last argument first. The array borrows the VARIANTs `args` owns.
  std::vector<VARIANTARG> reversed;
  reversed.reserve(args.size());
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->Get());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1u : 0u};
  Variant result;
  EXCEPINFO exception{};
  UINT argError = 0;
  HRESULT hr = p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                          put ? nullptr : result.Out(), &exception, &argError);
  if (hr == DISP_E_EXCEPTION) hr = TakeException(hr, exception);
  if (FAILED(hr)) throw Failure(hr, Describe(what, hr));
  return result;
}

}  // namespace tabulex::automation
