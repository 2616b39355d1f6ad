// Rewriting between Excel's formula syntax and the neutral formula syntax.
#pragma once

#include <array>
#include <string>

#include "converter/model/Rewrite.h"

namespace tabulex {

struct CellData;

// Excel function names and operators to the neutral syntax, applied in order.
extern const std::array<RewriteRule, 33> ExcelToNeutralTable;
// The neutral syntax to Excel function names and operators, applied in order.
extern const std::array<RewriteRule, 37> NeutralToExcelTable;

// Rewrites the record's formula from Excel syntax into the neutral syntax; no formula, no change.
void ExcelToNeutral(CellData& record);
// Rewrites a cell's field text from the neutral syntax into Excel syntax.
void NeutralToExcel(std::string& text);

}  // namespace tabulex
