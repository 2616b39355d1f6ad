// The spreadsheet engine of Windows: the host's automation server "Excel.Application", driven
// by late-bound IDispatch calls by dispatch id, so no type library of the host is needed.
#pragma once

#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "converter/driver/Components.h"

namespace tabulex {

inline constexpr char kExcelProgId[] = "Excel.Application";

// Every operation starts its own invisible host instance and ends it before returning, on
// every path. `progId` names the automation class to start.
std::unique_ptr<SpreadsheetEngine> MakeExcelEngine(const std::string& progId = kExcelProgId);

// Hands the names to a COM caller: a VARIANT of type VT_ARRAY | VT_BSTR, one dimension, lower
// bound 0, in list order. `out` is written only once the whole array is built, so a failure
// leaves it untouched; its previous content is not cleared (it is an output argument).
HRESULT StoreSheetNames(const std::vector<std::string>& names, VARIANT* out);

}  // namespace tabulex
