// What the two stand-in component servers share: calls into the portable stand-in that report
// a failure through an error object, as the maker's components do.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

#include "converter/com/Registry.h"
#include "converter/com/ServerModule.h"

namespace tabulex::components::com {

// Sets an error object for a failing result, describing it under the interface `iid`, and
// returns the result.
HRESULT Fail(HRESULT hr, REFIID iid);

// Runs a call of the stand-in; exceptions become results and every failure gets an error
// object under `iid`.
template <typename Body>
HRESULT Call(REFIID iid, Body&& body) noexcept {
  const HRESULT hr = tabulex::com::Guarded(body);
  return FAILED(hr) ? Fail(hr, iid) : hr;
}

// A stand-in COM object: the maker's interface (its vtable pointer first), a reference count and
// the portable stand-in that does the work. Objects count towards the module's lifetime.
template <typename Base, typename StandIn>
struct StandInObject : Base {
  using Interface = Base;
  using Vtbl = std::remove_const_t<std::remove_pointer_t<decltype(Base::lpVtbl)>>;

  explicit StandInObject(const Vtbl* table) : Base{table} { tabulex::com::ObjectCreated(); }
  ~StandInObject() { tabulex::com::ObjectDestroyed(); }
  StandInObject(const StandInObject&) = delete;
  StandInObject& operator=(const StandInObject&) = delete;

  LONG references = 1;
  StandIn standIn;
};

// The IUnknown slots and the creation function of a stand-in object `Object` that answers to
// IUnknown and to the interfaces `kIds`.
template <typename Object, const IID&... kIds>
struct StandInUnknown {
  using Interface = typename Object::Interface;
  using Vtbl = typename Object::Vtbl;

  static HRESULT STDMETHODCALLTYPE QueryInterface(Interface* self, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || (IsEqualIID(riid, kIds) || ...)) {
      *object = self;
      self->lpVtbl->AddRef(self);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  static ULONG STDMETHODCALLTYPE AddRef(Interface* self) {
    return static_cast<ULONG>(InterlockedIncrement(&static_cast<Object*>(self)->references));
  }

  static ULONG STDMETHODCALLTYPE Release(Interface* self) {
    Object* object = static_cast<Object*>(self);
    const LONG left = InterlockedDecrement(&object->references);
    if (left == 0) delete object;  // the last reference owns the object
    return static_cast<ULONG>(left);
  }

  // The class factory's creation function for objects with the vtable `kTable`.
  template <const Vtbl& kTable>
  static HRESULT Create(IUnknown* outer, REFIID riid, void** object) {
    if (outer) return CLASS_E_NOAGGREGATION;
    Object* created = new Object(&kTable);
    const HRESULT hr = QueryInterface(created, riid, object);
    Release(created);
    return hr;
  }
};

// The placeholder of every slot the stand-ins do not implement.
template <typename Self>
HRESULT STDMETHODCALLTYPE NotImplemented(Self*) {
  return E_NOTIMPL;
}

// What a stand-in server serves: its one class, the factory of its objects and its registry
// entries. Each server defines `kServer`; the DLL entry points in ComStandIn.cpp serve it.
struct StandInServer {
  const CLSID& classId;
  tabulex::com::ClassFactory& factory;
  std::span<const tabulex::com::RegistryRow> registration;
  std::span<const std::string_view> ownKeys;
};
extern const StandInServer kServer;

}  // namespace tabulex::components::com
