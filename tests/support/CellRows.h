// The intermediate records of a sheet as rows that compare and print, for tests of the readers.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "converter/model/Spreadsheet.h"

namespace tabulex::testing {

struct CellRow {
  int row;
  int column;
  int type;
  std::optional<std::string> value;
  std::optional<std::string> formula = std::nullopt;
  bool operator==(const CellRow&) const = default;
};

inline void PrintTo(const CellRow& c, std::ostream* os) {
  *os << "(" << c.row << "," << c.column << ",type " << c.type << ","
      << ::testing::PrintToString(c.value) << "," << ::testing::PrintToString(c.formula) << ")";
}

// The records of the sheet's cells in list order.
inline std::vector<CellRow> RowsOf(const Spreadsheet& sheet) {
  std::vector<CellRow> rows;
  for (CellListNode* n = sheet.Cells()->Head(); n; n = n->next) {
    const CellData& r = *n->cell->Record();
    rows.push_back({r.row, r.column, r.type, r.value, r.formula});
  }
  return rows;
}

}  // namespace tabulex::testing
