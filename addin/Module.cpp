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

namespace tabulex::addin {
namespace {

std::atomic<long> g_locks{0};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // The factory is static: it lives as long as the module.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Connect* created = new (std::nothrow) Connect(std::make_unique<Win32Ui>());
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(riid, out);
    created->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
};

Factory g_factory;

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
