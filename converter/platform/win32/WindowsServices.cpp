// Assembles the Windows collaborators of the converter.
#include "converter/platform/win32/WindowsServices.h"

#include "converter/driver/excel/ExcelBridge.h"
#include "converter/platform/win32/ComComponents.h"
#include "converter/platform/win32/MessageBoxUi.h"
#include "converter/platform/win32/ResourceStrings.h"

namespace tabulex::win32 {

std::shared_ptr<SpreadsheetEngine> CreateSpreadsheetEngine() {
  return MakeExcelEngine();
}

ConverterServices WindowsServices(HMODULE module) {
  ConverterServices services;
  services.createVarFile = CreateComVarFile;
  services.createErrorText = CreateComErrorText;
  services.ui = std::make_shared<MessageBoxUi>();
  services.engine = CreateSpreadsheetEngine();
  services.strings = std::make_shared<ResourceStrings>(module);
  return services;
}

}  // namespace tabulex::win32
