// Assembles the Windows collaborators of the converter.
#include "converter/platform/win32/WindowsServices.h"

#include "converter/platform/win32/ComComponents.h"
#include "converter/platform/win32/MessageBoxUi.h"
#include "converter/platform/win32/ResourceStrings.h"

namespace tabulex::win32 {

std::shared_ptr<SpreadsheetEngine> CreateSpreadsheetEngine() {
  // No bridge to a spreadsheet application yet: workbooks report that it cannot start.
  return std::make_shared<UnavailableEngine>();
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
