// The IUnknown and IDispatch answers that the automation objects of the add-in, the host stand-in
// and the device-link stand-in give alike, header only, so that the add-in still links nothing
// of ours.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <atomic>

namespace tabulex::win32 {

// QueryInterface of an object with one dispatch interface `self`: it answers IUnknown, IDispatch
// and `own` (an interface derived from IDispatch, or IDispatch itself).
inline HRESULT AnswerQuery(IDispatch* self, REFIID riid, void** out,
                           const IID& own = IID_IDispatch) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
      !IsEqualIID(riid, own)) {
    return E_NOINTERFACE;
  }
  *out = self;
  self->AddRef();
  return S_OK;
}

// Drops one of `object`'s references; the last one owns the object and deletes it.
template <typename Object>
ULONG DropReference(Object* object, std::atomic<long>& references) {
  const long left = --references;
  if (left == 0) delete object;
  return static_cast<ULONG>(left);
}

// GetTypeInfoCount and GetTypeInfo of an object without type information: callers bind late,
// by name.
inline HRESULT NoTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

inline HRESULT NoTypeInfo(ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

// GetIDsOfNames over a table of rows with a `name` and an `id`, for members without named
// arguments: only the first name can resolve, every other one is unknown.
template <typename Rows>
HRESULT ResolveMemberName(const Rows& members, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT result = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const auto& member : members) {
      if (i == 0 && lstrcmpiW(names[i], member.name) == 0) ids[i] = member.id;
    }
    if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

}  // namespace tabulex::win32
