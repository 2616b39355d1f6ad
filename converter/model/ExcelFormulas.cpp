// The Excel formula rewrite tables and their application to cells.
#include "converter/model/ExcelFormulas.h"

#include "converter/model/CellData.h"

namespace tabulex {

void ExcelToNeutral(CellData& record) {
  if (record.formula) RewriteInPlace(*record.formula, ExcelToNeutralTable);
}

void NeutralToExcel(std::string& text) {
  RewriteInPlace(text, NeutralToExcelTable);
}

}  // namespace tabulex
