// VarFileStandIn.dll: the stand-in variable-file component as an in-process COM server with the
// maker's vtable layout. Every rule lives in the portable stand-in; this file only converts
// BSTRs and VARIANTs.

#include "components/VarFileStandIn.h"
#include "components/com/ComStandIn.h"
#include "converter/com/Registry.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::components::com {

namespace {

using maker::kIVarFileDataId;
using maker::kIVarFileId;
using maker::VarFileData;
using win32::AnsiFromBstr;
using win32::BstrFromAnsi;

using VarFileObject = StandInObject<VarFileData, VarFileStandIn>;
using Unknown = StandInUnknown<VarFileObject, kIVarFileId, kIVarFileDataId>;

VarFileStandIn& StandIn(VarFileData* self) {
  return static_cast<VarFileObject*>(self)->standIn;
}

HRESULT STDMETHODCALLTYPE PutDeviceType(VarFileData* self, LONG deviceType) {
  return Call(kIVarFileId, [&] { return StandIn(self).put_DeviceType(deviceType); });
}

HRESULT STDMETHODCALLTYPE GetDeviceFamily(VarFileData* self, LONG* family) {
  return Call(kIVarFileId, [&]() -> HRESULT {
    if (!family) return E_POINTER;
    std::int32_t value = 0;
    const HResult hr = StandIn(self).get_DeviceFamily(&value);
    if (hr >= 0) *family = value;
    return hr;
  });
}

HRESULT STDMETHODCALLTYPE LoadFile(VarFileData* self, BSTR path, LONG flag) {
  return Call(kIVarFileId, [&] { return StandIn(self).LoadFile(AnsiFromBstr(path), flag); });
}

HRESULT STDMETHODCALLTYPE SaveFile(VarFileData* self, BSTR path, LONG flag, LONG reserved) {
  return Call(kIVarFileId,
              [&] { return StandIn(self).SaveFile(AnsiFromBstr(path), flag, reserved); });
}

// Hands a string the stand-in produced to the caller as a new BSTR.
template <typename Getter>
HRESULT ReturnString(BSTR* out, Getter&& get) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::string text;
  const HResult hr = get(&text);
  if (hr >= 0) *out = BstrFromAnsi(text).release();
  return hr;
}

HRESULT STDMETHODCALLTYPE GetVarName(VarFileData* self, BSTR* name) {
  return Call(kIVarFileId, [&] {
    return ReturnString(name, [&](std::string* text) { return StandIn(self).get_VarName(text); });
  });
}

HRESULT STDMETHODCALLTYPE PutVarName(VarFileData* self, BSTR name) {
  return Call(kIVarFileId, [&] { return StandIn(self).put_VarName(AnsiFromBstr(name)); });
}

HRESULT STDMETHODCALLTYPE GetFileName(VarFileData* self, BSTR* path) {
  return Call(kIVarFileId, [&] {
    return ReturnString(path, [&](std::string* text) { return StandIn(self).get_FileName(text); });
  });
}

HRESULT STDMETHODCALLTYPE SetVarData(VarFileData* self, BYTE* data, LONG count, VARIANT tag) {
  return Call(kIVarFileDataId, [&]() -> HRESULT {
    if (count < 0) return E_INVALIDARG;
    // A tag is a 32-bit number or a string; anything else is a caller's mistake.
    VarTag value;
    if (tag.vt == VT_UI4) {
      value = static_cast<std::uint32_t>(tag.ulVal);
    } else if (tag.vt == VT_BSTR) {
      value = AnsiFromBstr(tag.bstrVal);
    } else {
      return DISP_E_TYPEMISMATCH;
    }
    return StandIn(self).SetVarData(data, static_cast<std::uint32_t>(count), value);
  });
}

HRESULT STDMETHODCALLTYPE GetVarDataTag(VarFileData* self, VARIANT* tag) {
  return Call(kIVarFileDataId, [&]() -> HRESULT {
    if (!tag) return E_POINTER;
    VarTag value;
    const HResult hr = StandIn(self).GetVarDataTag(&value);
    if (hr < 0) return hr;
    VariantInit(tag);
    if (const std::uint32_t* number = std::get_if<std::uint32_t>(&value)) {
      tag->vt = VT_UI4;
      tag->ulVal = *number;
    } else if (const std::string* text = std::get_if<std::string>(&value)) {
      tag->bstrVal = BstrFromAnsi(*text).release();
      tag->vt = VT_BSTR;
    }
    return hr;
  });
}

constexpr auto NI = &NotImplemented<VarFileData>;

// clang-format off
constexpr maker::VarFileDataVtbl kVtbl = {
    Unknown::QueryInterface, Unknown::AddRef, Unknown::Release,  // 0-2
    NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI,               // 3-13
    PutDeviceType, GetDeviceFamily,                           // 14-15
    NI, NI,                                                   // 16-17
    LoadFile, SaveFile, GetVarName, PutVarName,               // 18-21
    NI, NI,                                                   // 22-23
    GetFileName,                                              // 24
    NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI, NI,  // 25-40
    SetVarData, GetVarDataTag,                                // 41-42
};
// clang-format on

#define VARFILE_CLASS_KEY "CLSID\\{BFAC5665-FF3F-4B29-A7F3-E3B081BAECEB}"
// clang-format off
constexpr tabulex::com::RegistryRow kRegistration[] = {
    {VARFILE_CLASS_KEY,                    "",               "Tabulex variable-file stand-in"},
    {VARFILE_CLASS_KEY "\\InprocServer32", "",               "%MODULE%"},
    {VARFILE_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Both"},
};
// clang-format on
constexpr std::string_view kOwnKeys[] = {VARFILE_CLASS_KEY};
#undef VARFILE_CLASS_KEY

tabulex::com::ClassFactory factory(&Unknown::Create<kVtbl>);

}  // namespace

const StandInServer kServer{tabulex::maker::kVarFileClassId, factory, kRegistration, kOwnKeys};

}  // namespace tabulex::components::com
