// The workbook engine over LibreOffice: one private office process, started on first use and
// shared by every operation until the engine is destroyed.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "components/WorkbookEngine.h"

namespace tabulex::libreoffice {

class OfficeProcess;

class LibreOfficeEngine : public components::WorkbookEngine {
 public:
  // `program` is the full path of soffice.bin; empty means the one found when building.
  explicit LibreOfficeEngine(std::string program = std::string());
  ~LibreOfficeEngine() override;

  // Workbook paths pick their format by extension (.xls, .xlsx, .ods); paths and sheet names
  // are UTF-8.
  int ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                       const std::string& textPath, const std::string& sheetName) override;
  int TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                          const std::string& workbookPath) override;
  HResult GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                             std::vector<std::string>* names) override;
  std::string LastFailure() const override { return lastFailure_; }

  // The office's process id while it runs.
  std::optional<int> OfficeProcessId() const;

 private:
  // Starts the office if it does not run; reports ERR_EXCEL_NOT_STARTED when it cannot.
  bool EnsureStarted(ConversionContext& context);
  // Records why an operation failed; an office that has gone away is restarted next time.
  void Failed(std::string reason);

  std::string program_;
  std::unique_ptr<OfficeProcess> office_;
  std::string lastFailure_;
};

}  // namespace tabulex::libreoffice
