// Ledgerlink.dll's entry points: the class factory of the add-in and its self-registration.
#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <new>

#include "addin/AboutBox.h"
#include "addin/Connect.h"
#include "addin/Settings.h"
#include "addin/Win32Ui.h"
#include "converter/platform/win32/StaticClassFactory.h"

namespace tabulex::addin {
namespace {

std::atomic<long> g_locks{0};

HRESULT CreateConnect(REFIID riid, void** out) {
  return win32::HandOut(new (std::nothrow) Connect(std::make_unique<Win32Ui>()), riid, out);
}

void LockModule(bool lock) {
  lock ? ++g_locks : --g_locks;
}

win32::StaticClassFactory g_factory(CreateConnect, LockModule);

std::string ModulePath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(AddinModule(), path, MAX_PATH);
  return std::string(path, length == MAX_PATH ? 0 : length);
}

}  // namespace
}  // namespace tabulex::addin

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  using namespace tabulex::addin;
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kConnectClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

STDAPI DllCanUnloadNow() {
  using namespace tabulex::addin;
  return LiveAddinObjects() == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  using namespace tabulex::addin;
  const std::string path = ModulePath();
  return path.empty() ? E_FAIL : RegisterAddin(path);
}

STDAPI DllUnregisterServer() {
  return tabulex::addin::UnregisterAddin();
}
