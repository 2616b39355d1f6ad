// The spreadsheet engine of Windows: the host's automation server "Excel.Application", driven
// by late-bound IDispatch calls by dispatch id, so no type library of the host is needed.
#pragma once

#include <memory>
#include <string>

#include "converter/driver/Components.h"

namespace tabulex {

inline constexpr char kExcelProgId[] = "Excel.Application";

// Every operation starts its own invisible host instance and ends it before returning, on
// every path. `progId` names the automation class to start.
std::unique_ptr<SpreadsheetEngine> MakeExcelEngine(const std::string& progId = kExcelProgId);

}  // namespace tabulex
