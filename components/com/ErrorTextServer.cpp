// ErrorTextStandIn.dll: the stand-in error-text component as an in-process COM server, with
// GetErrorText at the maker's vtable index 7 over the portable stand-in.
#include "components/ErrorTextStandIn.h"
#include "components/com/ComStandIn.h"
#include "converter/com/Registry.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::components::com {

namespace {

using maker::ErrorText;
using maker::kIErrorTextId;

struct ErrorTextObject : ErrorText {
  explicit ErrorTextObject(const maker::ErrorTextVtbl* table) : ErrorText{table} {
    tabulex::com::ObjectCreated();
  }
  ~ErrorTextObject() { tabulex::com::ObjectDestroyed(); }
  ErrorTextObject(const ErrorTextObject&) = delete;
  ErrorTextObject& operator=(const ErrorTextObject&) = delete;

  LONG references = 1;
  ErrorTextStandIn standIn;
};

HRESULT STDMETHODCALLTYPE QueryInterface(ErrorText* self, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIErrorTextId)) {
    *object = self;
    self->lpVtbl->AddRef(self);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddRef(ErrorText* self) {
  return static_cast<ULONG>(InterlockedIncrement(&static_cast<ErrorTextObject*>(self)->references));
}

ULONG STDMETHODCALLTYPE Release(ErrorText* self) {
  ErrorTextObject* object = static_cast<ErrorTextObject*>(self);
  const LONG left = InterlockedDecrement(&object->references);
  if (left == 0) delete object;  // the last reference owns the object
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE GetErrorText(ErrorText* self, LONG code, BSTR* text) {
  return Call(kIErrorTextId, [&]() -> HRESULT {
    if (!text) return E_POINTER;
    *text = nullptr;
    std::string value;
    const HResult hr = static_cast<ErrorTextObject*>(self)->standIn.GetErrorText(
        static_cast<std::uint32_t>(code), &value);
    if (hr >= 0) *text = win32::BstrFromAnsi(value).release();
    return hr;
  });
}

constexpr auto NI = &NotImplemented<ErrorText>;

constexpr maker::ErrorTextVtbl kVtbl = {
    QueryInterface,
    AddRef,
    Release,  // 0-2
    NI,
    NI,
    NI,
    NI,            // 3-6
    GetErrorText,  // 7
};

HRESULT Create(IUnknown* outer, REFIID riid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  ErrorTextObject* created = new ErrorTextObject(&kVtbl);
  const HRESULT hr = QueryInterface(created, riid, object);
  Release(created);
  return hr;
}

#define ERRORTEXT_CLASS_KEY "CLSID\\{B82487C0-D2D9-496B-BDDD-FEC64212DAAC}"
// clang-format off
constexpr tabulex::com::RegistryRow kRegistration[] = {
    {ERRORTEXT_CLASS_KEY,                    "",               "Tabulex error-text stand-in"},
    {ERRORTEXT_CLASS_KEY "\\InprocServer32", "",               "%MODULE%"},
    {ERRORTEXT_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Both"},
};
// clang-format on
constexpr std::string_view kOwnKeys[] = {ERRORTEXT_CLASS_KEY};
#undef ERRORTEXT_CLASS_KEY

tabulex::com::ClassFactory factory(&Create);

}  // namespace

const StandInServer kServer{tabulex::maker::kErrorTextClassId, factory, kRegistration, kOwnKeys};

}  // namespace tabulex::components::com
