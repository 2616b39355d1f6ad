// The entry points of TabulexConverter.dll: class factory, unloading and self-registration of
// the class, its ProgIDs and its type library.
#include <initguid.h>

#include <array>
#include <vector>

#include "converter/com/Registry.h"
#include "converter/com/ServerModule.h"
#include "converter/com/Tabulex.h"
#include "converter/com/TabulexConverter_h.h"

namespace tabulex::com {

namespace {

#define TABULEX_CLASS_KEY "CLSID\\{B73EBADE-7EE5-4B7D-8614-3B6625B8008F}"

// clang-format off
constexpr RegistryRow kRegistration[] = {
    {"Tabulex.Converter.1",                         "",               "Tabulex Class"},
    {"Tabulex.Converter.1\\CLSID",                  "",               "{B73EBADE-7EE5-4B7D-8614-3B6625B8008F}"},
    {"Tabulex.Converter",                           "",               "Tabulex Class"},
    {"Tabulex.Converter\\CLSID",                    "",               "{B73EBADE-7EE5-4B7D-8614-3B6625B8008F}"},
    {"Tabulex.Converter\\CurVer",                   "",               "Tabulex.Converter.1"},
    {TABULEX_CLASS_KEY,                             "",               "Tabulex Class"},
    {TABULEX_CLASS_KEY "\\ProgID",                  "",               "Tabulex.Converter.1"},
    {TABULEX_CLASS_KEY "\\VersionIndependentProgID", "",              "Tabulex.Converter"},
    {TABULEX_CLASS_KEY "\\InprocServer32",          "",               "%MODULE%"},
    {TABULEX_CLASS_KEY "\\InprocServer32",          "ThreadingModel", "Apartment"},
    {TABULEX_CLASS_KEY "\\TypeLib",                 "",               "{2E89A416-EC05-4279-BE2F-8911AFF9E636}"},
};
// clang-format on

// The class's own key under the shared CLSID key, replaced as a whole when registering.
constexpr std::string_view kClassKey[] = {TABULEX_CLASS_KEY};
// The keys that belong to the class alone; the shared CLSID key stays.
constexpr std::string_view kOwnKeys[] = {"Tabulex.Converter.1", "Tabulex.Converter",
                                         TABULEX_CLASS_KEY};
#undef TABULEX_CLASS_KEY

constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;
constexpr LCID kTypeLibLocale = 0x0409;

ClassFactory factory(&Tabulex::Create);

std::wstring WideModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(Module(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// Registers the type library embedded as resource "TYPELIB" 1.
HRESULT RegisterTypeLibrary() {
  const std::wstring path = WideModulePath();
  ITypeLib* library = nullptr;
  const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library);
  if (library) library->Release();
  return hr;
}

}  // namespace

}  // namespace tabulex::com

using namespace tabulex::com;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetModule(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return GetClassObject(rclsid, CLSID_Tabulex, factory, riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  return Guarded([] {
    DeleteRegistryKeys(kClassKey);
    if (HRESULT hr = WriteRegistryRows(kRegistration, ModulePath()); FAILED(hr)) return hr;
    return RegisterTypeLibrary();
  });
}

STDAPI DllUnregisterServer() {
  return Guarded([] {
    const HRESULT keys = DeleteRegistryKeys(kOwnKeys);
    const HRESULT library = UnRegisterTypeLib(LIBID_TABULEXCONVERTERLib, kTypeLibMajor,
                                              kTypeLibMinor, kTypeLibLocale, SYS_WIN64);
    if (FAILED(keys)) return keys;
    // A type library that is no longer registered is what unregistering asks for.
    return library == TYPE_E_REGISTRYACCESS || library == TYPE_E_LIBNOTREGISTERED ? S_OK : library;
  });
}
