// The Excel formula rewrite tables and their application to cells.
#include "converter/model/ExcelFormulas.h"

#include <array>

#include "converter/model/CellData.h"

namespace tabulex {

namespace {
#include "converter/model/ExcelFormulaTables.inc"
}  // namespace

void ExcelToNeutral(CellData& record) {
  if (record.formula) RewriteInPlace(*record.formula, kExcelToNeutral);
}

void NeutralToExcel(std::string& text) {
  RewriteInPlace(text, kNeutralToExcel);
}

}  // namespace tabulex
