// Adapters from the driver's component interfaces to the maker's COM vtables: strings become
// BSTRs, type tags VARIANTs, and every call returns the component's own HRESULT.
#include "converter/platform/win32/ComComponents.h"

#include <ole2.h>

#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::win32 {

namespace {

// Releases a COM interface pointer of one of the maker's vtables.
template <typename Interface>
struct ComRelease {
  void operator()(Interface* p) const { p->lpVtbl->Release(p); }
};

struct VariantClearer {
  void operator()(VARIANT* v) const { VariantClear(v); }
};

// Calls a method that returns a new BSTR and hands its text over as ANSI.
template <typename Call>
HResult ReadBstr(std::string* out, Call&& call) {
  BSTR text = nullptr;
  const HRESULT hr = call(&text);
  UniqueBstr owned(text);
  if (SUCCEEDED(hr) && out) *out = AnsiFromBstr(owned.get());
  return hr;
}

class ComVarFile : public IVarFileData {
 public:
  explicit ComVarFile(maker::VarFileData* component) : component_(component) {}

  HResult put_DeviceType(std::int32_t deviceType) override {
    return Vtbl().put_DeviceType(Self(), deviceType);
  }
  HResult get_DeviceFamily(std::int32_t* family) override {
    LONG value = 0;
    const HRESULT hr = Vtbl().get_DeviceFamily(Self(), &value);
    if (SUCCEEDED(hr) && family) *family = value;
    return hr;
  }
  HResult LoadFile(const std::string& path, std::int32_t flag) override {
    UniqueBstr text = BstrFromAnsi(path);
    return Vtbl().LoadFile(Self(), text.get(), flag);
  }
  HResult SaveFile(const std::string& path, std::int32_t flag, std::int32_t reserved) override {
    UniqueBstr text = BstrFromAnsi(path);
    return Vtbl().SaveFile(Self(), text.get(), flag, reserved);
  }
  HResult get_VarName(std::string* name) override {
    return ReadBstr(name, [&](BSTR* text) { return Vtbl().get_VarName(Self(), text); });
  }
  HResult put_VarName(const std::string& name) override {
    UniqueBstr text = BstrFromAnsi(name);
    return Vtbl().put_VarName(Self(), text.get());
  }
  HResult get_FileName(std::string* path) override {
    return ReadBstr(path, [&](BSTR* text) { return Vtbl().get_FileName(Self(), text); });
  }
  HResult SetVarData(const std::uint8_t* data, std::uint32_t count, const VarTag& tag) override {
    VARIANT variant;
    VariantInit(&variant);
    std::unique_ptr<VARIANT, VariantClearer> clear(&variant);
    if (const std::uint32_t* number = std::get_if<std::uint32_t>(&tag)) {
      variant.vt = VT_UI4;
      variant.ulVal = *number;
    } else if (const std::string* text = std::get_if<std::string>(&tag)) {
      variant.vt = VT_BSTR;
      variant.bstrVal = BstrFromAnsi(*text).release();
    }
    return Vtbl().SetVarData(Self(), const_cast<BYTE*>(data), static_cast<LONG>(count), variant);
  }
  HResult GetVarDataTag(VarTag* tag) override {
    VARIANT variant;
    VariantInit(&variant);
    std::unique_ptr<VARIANT, VariantClearer> clear(&variant);
    const HRESULT hr = Vtbl().GetVarDataTag(Self(), &variant);
    if (FAILED(hr) || !tag) return hr;
    if (variant.vt == VT_UI4) {
      *tag = static_cast<std::uint32_t>(variant.ulVal);
    } else if (variant.vt == VT_BSTR) {
      *tag = AnsiFromBstr(variant.bstrVal);
    } else {
      *tag = std::monostate();
    }
    return hr;
  }

 private:
  maker::VarFileData* Self() { return component_.get(); }
  const maker::VarFileDataVtbl& Vtbl() { return *component_->lpVtbl; }

  std::unique_ptr<maker::VarFileData, ComRelease<maker::VarFileData>> component_;
};

class ComErrorText : public IErrorText {
 public:
  explicit ComErrorText(maker::ErrorText* component) : component_(component) {}

  HResult GetErrorText(std::uint32_t code, std::string* text) override {
    return ReadBstr(text, [&](BSTR* result) {
      return component_->lpVtbl->GetErrorText(component_.get(), static_cast<LONG>(code), result);
    });
  }

 private:
  std::unique_ptr<maker::ErrorText, ComRelease<maker::ErrorText>> component_;
};

}  // namespace

std::unique_ptr<IVarFileData> CreateComVarFile() {
  IUnknown* unknown = nullptr;
  if (FAILED(CoCreateInstance(maker::kVarFileClassId, nullptr, CLSCTX_ALL, IID_IUnknown,
                              reinterpret_cast<void**>(&unknown)))) {
    return nullptr;
  }
  // A local server has to be running before its interfaces are asked for.
  OleRun(unknown);
  maker::VarFileData* data = nullptr;
  const HRESULT hr =
      unknown->QueryInterface(maker::kIVarFileDataId, reinterpret_cast<void**>(&data));
  unknown->Release();
  if (FAILED(hr) || !data) return nullptr;
  return std::make_unique<ComVarFile>(data);
}

std::unique_ptr<IErrorText> CreateComErrorText() {
  maker::ErrorText* component = nullptr;
  if (FAILED(CoCreateInstance(maker::kErrorTextClassId, nullptr, CLSCTX_INPROC_SERVER,
                              maker::kIErrorTextId, reinterpret_cast<void**>(&component))) ||
      !component) {
    return nullptr;
  }
  return std::make_unique<ComErrorText>(component);
}

}  // namespace tabulex::win32
