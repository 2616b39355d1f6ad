// The workbook engine of builds made with LibreOffice's SDK.
#include "components/WorkbookEngine.h"
#include "components/libreoffice/LibreOfficeEngine.h"

namespace tabulex::components {

std::shared_ptr<WorkbookEngine> MakeWorkbookEngine() {
  return std::make_shared<libreoffice::LibreOfficeEngine>();
}

bool HasWorkbookEngine() {
  return true;
}

}  // namespace tabulex::components
