// What the two stand-in component servers share: calls into the portable stand-in that report
// a failure through an error object, as the maker's components do.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

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
