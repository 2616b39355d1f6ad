// The engine of systems that have no spreadsheet application to drive.
#include "converter/driver/Components.h"
#include "converter/model/ConversionContext.h"

namespace tabulex {

int UnavailableEngine::ExcelSheetToText(ConversionContext& context, const std::string&,
                                        const std::string&, const std::string&) {
  context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
  return -1;
}

int UnavailableEngine::TextToExcelWorkbook(ConversionContext& context, const std::string&,
                                           const std::string&) {
  context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
  return -1;
}

HResult UnavailableEngine::GetExcelSheetNames(ConversionContext& context, const std::string&,
                                              std::vector<std::string>*) {
  context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
  return kFail;
}

}  // namespace tabulex
