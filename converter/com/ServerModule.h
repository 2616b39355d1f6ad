// What every in-process COM server of ours shares: the module handle, the object and lock
// counts behind DllCanUnloadNow, a class factory and the guard that keeps exceptions inside.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <exception>
#include <new>
#include <string>

namespace tabulex::com {

// The server's own module, set by its DllMain.
void SetModule(HMODULE module);
HMODULE Module();
// The module's full path.
std::string ModulePath();

// Object and lock counts, changed with interlocked operations.
void ObjectCreated();
void ObjectDestroyed();
void LockModule(bool lock);
// True when no object and no lock is outstanding.
bool CanUnload();

// Creates one object; `outer` is the controlling unknown when the object is aggregated.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

// The factory of one class. It lives as long as the module, so its reference count is fixed.
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  CreateFunction create_;
};

// DllGetClassObject of a server with one class.
HRESULT GetClassObject(REFCLSID asked, REFCLSID served, ClassFactory& factory, REFIID riid,
                       void** object);

// Runs `body`, turning an escaping exception into E_OUTOFMEMORY (memory exhaustion) or E_FAIL:
// no exception may cross the COM boundary.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace tabulex::com
