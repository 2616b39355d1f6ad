// The converter object: BSTR arguments to ANSI, the driver's results back as HRESULTs.
#include "converter/com/Tabulex.h"

#include <memory>
#include <optional>

#include "converter/com/ServerModule.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/WindowsServices.h"

namespace tabulex::com {

using win32::AnsiFromBstr;
using win32::BstrFromAnsi;

namespace {

struct SafeArrayFree {
  void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};

// A one-dimensional array of BSTRs with lower bound 0.
std::unique_ptr<SAFEARRAY, SafeArrayFree> BstrArray(const std::vector<std::string>& texts) {
  std::unique_ptr<SAFEARRAY, SafeArrayFree> array(
      SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size())));
  if (!array) throw std::bad_alloc();
  for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
    win32::UniqueBstr text = BstrFromAnsi(texts[static_cast<std::size_t>(i)]);
    // SafeArrayPutElement stores a copy of a BSTR.
    if (FAILED(SafeArrayPutElement(array.get(), &i, text.get()))) throw std::bad_alloc();
  }
  return array;
}

}  // namespace

Tabulex::Tabulex(IUnknown* outer)
    : inner_(*this),
      controlling_(outer ? outer : &inner_),
      converter_(win32::WindowsServices(Module())) {
  ObjectCreated();
}

Tabulex::~Tabulex() {
  ObjectDestroyed();
}

// The factory has refused aggregation for anything but IID_IUnknown.
HRESULT Tabulex::Create(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  Tabulex* created = new Tabulex(outer);
  const HRESULT hr = created->inner_.QueryInterface(riid, object);
  created->inner_.Release();
  return hr;
}

HRESULT Tabulex::Inner::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown)) {
    *object = static_cast<IUnknown*>(this);
  } else if (IsEqualIID(riid, IID_ITabulex)) {
    *object = static_cast<ITabulex*>(&owner_);
  } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
    *object = static_cast<ISupportErrorInfo*>(&owner_);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

ULONG Tabulex::Inner::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&owner_.references_));
}

ULONG Tabulex::Inner::Release() {
  const LONG left = InterlockedDecrement(&owner_.references_);
  // The last reference owns the object: COM lifetimes are counted, not scoped.
  if (left == 0) delete &owner_;
  return static_cast<ULONG>(left);
}

HRESULT Tabulex::QueryInterface(REFIID riid, void** object) {
  return controlling_->QueryInterface(riid, object);
}

ULONG Tabulex::AddRef() {
  return controlling_->AddRef();
}

ULONG Tabulex::Release() {
  return controlling_->Release();
}

HRESULT Tabulex::SetTheFileName(BSTR bstrTheFileName) {
  return Guarded([&] {
    if (!bstrTheFileName) return converter_.SetTheFileName(std::nullopt);
    return converter_.SetTheFileName(AnsiFromBstr(bstrTheFileName));
  });
}

HRESULT Tabulex::GetTheFileName(BSTR* bstrRetVal) {
  if (!bstrRetVal) return E_POINTER;
  return Guarded([&] {
    std::string name;
    if (HResult hr = converter_.GetTheFileName(&name); hr < 0) return static_cast<HRESULT>(hr);
    *bstrRetVal = BstrFromAnsi(name).release();
    return S_OK;
  });
}

HRESULT Tabulex::WorkbookToText(BSTR bstrWorkbookName, BSTR bstrstrTextFileNames) {
  return Guarded([&] {
    converter_.WorkbookToText(AnsiFromBstr(bstrWorkbookName), AnsiFromBstr(bstrstrTextFileNames));
    return S_OK;
  });
}

HRESULT Tabulex::GetExcelSheetNames(BSTR bstrExcelWorkbookFullPathName, VARIANT* vRetSheetNames) {
  if (!vRetSheetNames) return E_POINTER;
  return Guarded([&] {
    std::vector<std::string> names;
    const HResult hr =
        converter_.GetExcelSheetNames(AnsiFromBstr(bstrExcelWorkbookFullPathName), &names);
    if (hr < 0) return static_cast<HRESULT>(hr);
    std::unique_ptr<SAFEARRAY, SafeArrayFree> array = BstrArray(names);
    // An out parameter: whatever the VARIANT held before is the caller's, not ours to clear.
    vRetSheetNames->vt = VT_ARRAY | VT_BSTR;
    vRetSheetNames->parray = array.release();
    return S_OK;
  });
}

HRESULT Tabulex::Convert(BSTR bstrInputFileNameWithPath, ::TABULEX_FILE_TYPES fromType,
                         BSTR bstrSheetName, BSTR bstrOutputFileNameWithPath, BSTR saveInternalName,
                         ::TABULEX_FILE_TYPES toType, LONG bOverwrite) {
  try {
    return converter_.Convert(AnsiFromBstr(bstrInputFileNameWithPath), fromType,
                              AnsiFromBstr(bstrSheetName), AnsiFromBstr(bstrOutputFileNameWithPath),
                              AnsiFromBstr(saveInternalName), toType, bOverwrite);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT Tabulex::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_ITabulex) ? S_OK : S_FALSE;
}

}  // namespace tabulex::com
