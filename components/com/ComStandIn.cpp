// Error objects and DLL entry points of the stand-in component servers.
#include "components/com/ComStandIn.h"

#include "components/ErrorTextStandIn.h"
#include "converter/platform/win32/Bstr.h"

namespace tabulex::components::com {

HRESULT Fail(HRESULT hr, REFIID iid) {
  ICreateErrorInfo* created = nullptr;
  if (FAILED(CreateErrorInfo(&created))) return hr;
  try {
    win32::UniqueBstr text = win32::BstrFromAnsi(ErrorTextFor(static_cast<std::uint32_t>(hr)));
    created->SetGUID(iid);
    created->SetDescription(text.get());
  } catch (...) {
    // The result still tells what failed.
  }
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(created->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  created->Release();
  return hr;
}

}  // namespace tabulex::components::com

using tabulex::components::com::kServer;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) tabulex::com::SetModule(instance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return tabulex::com::GetClassObject(rclsid, kServer.classId, kServer.factory, riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return tabulex::com::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  return tabulex::com::Guarded([] {
    tabulex::com::DeleteRegistryKeys(kServer.ownKeys);
    return tabulex::com::WriteRegistryRows(kServer.registration, tabulex::com::ModulePath());
  });
}

STDAPI DllUnregisterServer() {
  return tabulex::com::Guarded([] { return tabulex::com::DeleteRegistryKeys(kServer.ownKeys); });
}
