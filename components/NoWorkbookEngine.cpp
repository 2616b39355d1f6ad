// The workbook engine of builds made without LibreOffice's SDK.
#include "components/WorkbookEngine.h"

namespace tabulex::components {

namespace {

class NoWorkbookEngine : public WorkbookEngine {
 public:
  int ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                       const std::string& textPath, const std::string& sheetName) override {
    return unavailable_.ExcelSheetToText(context, workbookPath, textPath, sheetName);
  }
  int TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                          const std::string& workbookPath) override {
    return unavailable_.TextToExcelWorkbook(context, textPath, workbookPath);
  }
  HResult GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                             std::vector<std::string>* names) override {
    return unavailable_.GetExcelSheetNames(context, workbookPath, names);
  }
  std::string LastFailure() const override {
    return "this build has no workbook engine (it was configured without libreoffice-dev)";
  }

 private:
  UnavailableEngine unavailable_;
};

}  // namespace

std::shared_ptr<WorkbookEngine> MakeWorkbookEngine() {
  return std::make_shared<NoWorkbookEngine>();
}

bool HasWorkbookEngine() {
  return false;
}

}  // namespace tabulex::components
