// Late-bound calls into the host's automation objects.
#include "addin/Automation.h"

#include <cstdio>
#include <vector>

namespace tabulex::addin {

Variant::Variant(const wchar_t* text) : Variant() {
  v_.bstrVal = SysAllocString(text);
  if (!v_.bstrVal) throw std::bad_alloc();
  v_.vt = VT_BSTR;
}

Variant::Variant(const std::string& text) : Variant() {
  const std::wstring wide = Widen(text);
  v_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!v_.bstrVal) throw std::bad_alloc();
  v_.vt = VT_BSTR;
}

Variant Variant::Bool(bool flag) {
  Variant v;
  v.v_.vt = VT_BOOL;
  v.v_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::Object(IDispatch* object) {
  Variant v;
  v.v_.vt = VT_DISPATCH;
  v.v_.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&v_);
    v_ = other.v_;
    VariantInit(&other.v_);
  }
  return *this;
}

std::string Variant::Text() const {
  if (v_.vt == VT_EMPTY || v_.vt == VT_NULL) return {};
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&v_), 0, VT_BSTR))) {
    throw AutomationError(DISP_E_TYPEMISMATCH, "a value is not text");
  }
  std::string out = Narrow(text.bstrVal, static_cast<int>(SysStringLen(text.bstrVal)));
  VariantClear(&text);
  return out;
}

Object::Object(IDispatch* dispatch) : p_(dispatch) {
  if (p_) p_->AddRef();
}

Object::~Object() {
  if (p_) p_->Release();
}

Object Object::From(Variant result, const std::wstring& member) {
  const VARIANT& v = result.Get();
  if (v.vt == VT_DISPATCH) return Object(v.pdispVal);
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) return Object();
  throw AutomationError(
      DISP_E_TYPEMISMATCH,
      Narrow(member.c_str(), static_cast<int>(member.size())) + " did not return an object");
}

Variant Object::GetValue(const wchar_t* name, std::initializer_list<const Variant*> args) const {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, {});
}

Object Object::GetObject(const wchar_t* name, std::initializer_list<const Variant*> args) const {
  return From(GetValue(name, args), name);
}

void Object::Put(const wchar_t* name, const Variant& value) const {
  Invoke(name, DISPATCH_PROPERTYPUT, {&value}, {});
}

Variant Object::Call(const wchar_t* name, std::initializer_list<const Variant*> args,
                     std::initializer_list<Named> named) const {
  return Invoke(name, DISPATCH_METHOD, args, named);
}

namespace {

std::string Describe(const wchar_t* name, HRESULT hr, const EXCEPINFO& info) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  std::string text = Narrow(name, lstrlenW(name)) + " failed with " + code;
  if (info.bstrDescription) {
    text +=
        ": " + Narrow(info.bstrDescription, static_cast<int>(SysStringLen(info.bstrDescription)));
  }
  return text;
}

// The error an object raised: its code, or its run-time error number as the host's error
// codes carry them, after the object has filled the details in when it defers that.
HRESULT RaisedCode(EXCEPINFO& info) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  if (info.scode) return info.scode;
  if (info.wCode) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode);
  return DISP_E_EXCEPTION;
}

}  // namespace

// Resolves the member and its named arguments in one GetIDsOfNames call, then invokes it with
// the named arguments first and the positional ones last to first, as IDispatch expects.
Variant Object::Invoke(const wchar_t* name, WORD flags, std::initializer_list<const Variant*> args,
                       std::initializer_list<Named> named) const {
  if (!p_) throw AutomationError(E_POINTER, "a call on a missing object");
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(name)};
  for (const Named& arg : named) names.push_back(const_cast<LPOLESTR>(arg.name));
  std::vector<DISPID> ids(names.size());
  HRESULT hr = p_->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                 LOCALE_USER_DEFAULT, ids.data());
  if (FAILED(hr)) throw AutomationError(hr, Describe(name, hr, EXCEPINFO{}));

  std::vector<VARIANT> values;
  std::vector<DISPID> namedIds;
  for (std::size_t i = 0; i < named.size(); ++i) {
    values.push_back(named.begin()[i].value.Get());
    namedIds.push_back(ids[i + 1]);
  }
  const bool put = flags & DISPATCH_PROPERTYPUT;
  if (put) namedIds.push_back(DISPID_PROPERTYPUT);
  for (auto arg = args.end(); arg != args.begin();) values.push_back((*--arg)->Get());

  DISPPARAMS params{values.data(), namedIds.data(), static_cast<UINT>(values.size()),
                    static_cast<UINT>(namedIds.size())};
  Variant result;
  EXCEPINFO info{};
  UINT argError = 0;
  hr = p_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                  put ? nullptr : result.Out(), &info, &argError);
  if (FAILED(hr)) {
    const HRESULT code = hr == DISP_E_EXCEPTION ? RaisedCode(info) : hr;
    const std::string what = Describe(name, code, info);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    throw AutomationError(code, what);
  }
  return result;
}

}  // namespace tabulex::addin
