// The workbooks of the host stand-in: sheets of cells, their own small file format, and the
// tab-delimited text the host writes and reads.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulex::standin {

// A cell holds what was typed: a constant, or a formula starting with "=". A formula's value is
// the one last stored with it; the stand-in does not calculate.
struct Cell {
  std::string content;
  std::string value;
  bool IsFormula() const { return !content.empty() && content[0] == '='; }
  const std::string& Shown(bool formulas) const {
    return IsFormula() && !formulas ? value : content;
  }
};

enum class SheetKind { kWorksheet, kChart };

// 1-based row and column.
using CellRef = std::pair<int, int>;

struct Sheet {
  std::string name;
  SheetKind kind = SheetKind::kWorksheet;
  std::map<CellRef, Cell> cells;
};

struct Workbook {
  std::vector<Sheet> sheets;
};

// "B12" is row 12, column 2; columns run A..Z, AA..ZZ, AAA...
std::optional<CellRef> ParseCellName(std::string_view name);
std::string CellName(CellRef ref);

// The file format, line by line:
//   standin-workbook 1
//   sheet worksheet|chart NAME
//   cell REF CONTENT           (REF like B3; CONTENT escaped: \\ \t \n \r)
//   value REF VALUE            (the stored value of the formula in REF)
// Cells belong to the sheet line above them.
inline constexpr std::string_view kWorkbookSignature = "standin-workbook 1";
bool IsWorkbookFile(std::string_view bytes);
// Nothing, and the reason in `error`, when the bytes are not a well-formed workbook.
std::optional<Workbook> ReadWorkbook(std::string_view bytes, std::string* error);
std::string WriteWorkbook(const Workbook& book);

// The sheet as the host saves it as text: one row per line ended by CR LF, from A1 to the last
// used row and column, fields separated by tabs. A field that holds a double quote or a line
// break is quoted, with inner quotes doubled. Formulas are written as their text when
// `formulas` is set, as their values otherwise.
std::string SheetToText(const Sheet& sheet, bool formulas);
// Tab-delimited text as the host opens it: rows end at CR LF, LF or CR; a field that starts
// with a double quote runs to the closing quote (a doubled quote stands for one). A field
// starting with "=" becomes a formula. A trailing zero byte ends the text.
Sheet TextToSheet(std::string_view text, std::string name);

}  // namespace tabulex::standin
