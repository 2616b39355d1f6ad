// Rewriting between Excel's formula syntax and the neutral formula syntax.
#pragma once

#include <span>

#include "converter/model/Rewrite.h"

namespace tabulex {

// The two rewrite tables, in their defining order.
std::span<const RewriteRule> ExcelToNeutralTable();
std::span<const RewriteRule> NeutralToExcelTable();

struct CellData;

// Rewrites the record's formula from Excel syntax into the neutral syntax; no formula, no change.
void ExcelToNeutral(CellData& record);
// Rewrites a cell's field text from the neutral syntax into Excel syntax.
void NeutralToExcel(std::string& text);

}  // namespace tabulex
