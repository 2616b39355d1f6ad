// Module state and the class factory shared by our in-process servers.
#include "converter/com/ServerModule.h"

#include <vector>

namespace tabulex::com {

namespace {
HMODULE module = nullptr;
LONG objects = 0;
LONG locks = 0;
}  // namespace

void SetModule(HMODULE handle) {
  module = handle;
}

HMODULE Module() {
  return module;
}

std::string ModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void ObjectCreated() {
  InterlockedIncrement(&objects);
}

void ObjectDestroyed() {
  InterlockedDecrement(&objects);
}

void LockModule(bool lock) {
  if (lock) {
    InterlockedIncrement(&locks);
  } else {
    InterlockedDecrement(&locks);
  }
}

bool CanUnload() {
  return InterlockedCompareExchange(&objects, 0, 0) == 0 &&
         InterlockedCompareExchange(&locks, 0, 0) == 0;
}

HRESULT ClassFactory::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  // An aggregated object hands its outer object nothing but its own inner unknown.
  if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  return Guarded([&] { return create_(outer, riid, object); });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  LockModule(lock != FALSE);
  return S_OK;
}

HRESULT GetClassObject(REFCLSID asked, REFCLSID served, ClassFactory& factory, REFIID riid,
                       void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(asked, served)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(riid, object);
}

}  // namespace tabulex::com
