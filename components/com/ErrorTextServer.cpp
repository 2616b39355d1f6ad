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

using ErrorTextObject = StandInObject<ErrorText, ErrorTextStandIn>;
using Unknown = StandInUnknown<ErrorTextObject, kIErrorTextId>;

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
    Unknown::QueryInterface,
    Unknown::AddRef,
    Unknown::Release,  // 0-2
    NI,
    NI,
    NI,
    NI,            // 3-6
    GetErrorText,  // 7
};

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

tabulex::com::ClassFactory factory(&Unknown::Create<kVtbl>);

}  // namespace

const StandInServer kServer{tabulex::maker::kErrorTextClassId, factory, kRegistration, kOwnKeys};

}  // namespace tabulex::components::com
