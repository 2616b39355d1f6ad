// The converter's collaborators on Windows.
#pragma once

#include <windows.h>

#include <memory>

#include "converter/driver/Components.h"

namespace tabulex::win32 {

// The spreadsheet engine of this platform. Every Windows converter gets its engine here.
std::shared_ptr<SpreadsheetEngine> CreateSpreadsheetEngine();

// The maker's components through COM, MessageBoxA dialogs, the string table of `module` and
// the platform's spreadsheet engine.
ConverterServices WindowsServices(HMODULE module);

}  // namespace tabulex::win32
