// Error objects of the stand-in component servers.
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
