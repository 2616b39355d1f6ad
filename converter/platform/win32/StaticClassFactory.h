// The class factory of a module's one creatable class, header only, so that servers which link
// nothing of the converter (the add-in, the host stand-in) share it.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace tabulex::win32 {

// Hands out a newly made object (made with one reference) as `riid` and drops that first
// reference; a null object means memory ran out.
template <typename Object>
HRESULT HandOut(Object* created, REFIID riid, void** out) {
  if (!created) return E_OUTOFMEMORY;
  const HRESULT hr = created->QueryInterface(riid, out);
  created->Release();
  return hr;
}

// Lives as long as its module, so its reference count is fixed. `create` makes one object and
// hands it out as the interface asked for; `lock` counts the LockServer calls. Aggregation is
// refused.
class StaticClassFactory final : public IClassFactory {
 public:
  using CreateFunction = HRESULT (*)(REFIID riid, void** out);
  using LockFunction = void (*)(bool lock);

  StaticClassFactory(CreateFunction create, LockFunction lock) : create_(create), lock_(lock) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock_(lock != FALSE);
    return S_OK;
  }

 private:
  CreateFunction create_;
  LockFunction lock_;
};

}  // namespace tabulex::win32
