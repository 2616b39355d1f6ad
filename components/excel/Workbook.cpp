// The host stand-in's workbook file format and its tab-delimited text.
#include "components/excel/Workbook.h"

#include <algorithm>
#include <cctype>

#include "components/LineEscape.h"

namespace tabulex::standin {
namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
constexpr int kLetters = 26;
constexpr std::string_view kSheetKeyword = "sheet ";
constexpr std::string_view kCellKeyword = "cell ";
constexpr std::string_view kValueKeyword = "value ";
constexpr std::string_view kWorksheetKind = "worksheet ";
constexpr std::string_view kChartKind = "chart ";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  return lines;
}

// "REF REST" of a cell or value line.
std::optional<std::pair<CellRef, std::string>> ReadCellLine(std::string_view rest) {
  const std::size_t space = rest.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  std::optional<CellRef> ref = ParseCellName(rest.substr(0, space));
  std::optional<std::string> text = components::Unescaped(rest.substr(space + 1));
  if (!ref || !text) return std::nullopt;
  return std::make_pair(*ref, std::move(*text));
}

std::optional<Sheet> ReadSheetLine(std::string_view rest) {
  Sheet sheet;
  if (StartsWith(rest, kWorksheetKind)) {
    sheet.kind = SheetKind::kWorksheet;
    rest.remove_prefix(kWorksheetKind.size());
  } else if (StartsWith(rest, kChartKind)) {
    sheet.kind = SheetKind::kChart;
    rest.remove_prefix(kChartKind.size());
  } else {
    return std::nullopt;
  }
  if (rest.empty()) return std::nullopt;
  sheet.name = std::string(rest);
  return sheet;
}

// One line after the signature; false when it is not understood.
bool ReadLine(std::string_view line, Workbook& book) {
  if (line.empty()) return true;
  if (StartsWith(line, kSheetKeyword)) {
    std::optional<Sheet> sheet = ReadSheetLine(line.substr(kSheetKeyword.size()));
    if (!sheet) return false;
    book.sheets.push_back(std::move(*sheet));
    return true;
  }
  const bool cell = StartsWith(line, kCellKeyword);
  if (!cell && !StartsWith(line, kValueKeyword)) return false;
  if (book.sheets.empty() || book.sheets.back().kind != SheetKind::kWorksheet) return false;
  auto parsed = ReadCellLine(line.substr(cell ? kCellKeyword.size() : kValueKeyword.size()));
  if (!parsed) return false;
  Cell& target = book.sheets.back().cells[parsed->first];
  (cell ? target.content : target.value) = std::move(parsed->second);
  return true;
}

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of("\"\n\r") != std::string_view::npos;
}

void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// Reads one quoted field starting at the opening quote; `pos` ends after the closing quote.
std::string ReadQuoted(std::string_view text, std::size_t& pos) {
  std::string field;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != '"') {
      field += text[pos];
    } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
      field += '"';
      ++pos;
    } else {
      ++pos;
      break;
    }
  }
  return field;
}

void StoreField(Sheet& sheet, int row, int column, std::string field) {
  if (field.empty()) return;
  Cell& cell = sheet.cells[{row, column}];
  cell.content = std::move(field);
}

}  // namespace

std::optional<CellRef> ParseCellName(std::string_view name) {
  std::size_t i = 0;
  int column = 0;
  for (; i < name.size() && std::isalpha(static_cast<unsigned char>(name[i])); ++i) {
    column = column * kLetters + (std::toupper(static_cast<unsigned char>(name[i])) - 'A' + 1);
    if (column > kMaxColumn) return std::nullopt;
  }
  if (i == 0 || i == name.size()) return std::nullopt;
  int row = 0;
  for (; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) {
    row = row * 10 + (name[i] - '0');
    if (row > kMaxRow) return std::nullopt;
  }
  if (i != name.size() || row == 0) return std::nullopt;
  return CellRef{row, column};
}

std::string CellName(CellRef ref) {
  std::string letters;
  for (int column = ref.second; column > 0; column = (column - 1) / kLetters) {
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % kLetters));
  }
  return letters + std::to_string(ref.first);
}

bool IsWorkbookFile(std::string_view bytes) {
  return StartsWith(bytes, kWorkbookSignature);
}

std::optional<Workbook> ReadWorkbook(std::string_view bytes, std::string* error) {
  std::vector<std::string_view> lines = Lines(bytes);
  if (lines.empty() || lines[0] != kWorkbookSignature) {
    if (error) *error = "not a stand-in workbook";
    return std::nullopt;
  }
  Workbook book;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!ReadLine(lines[i], book)) {
      if (error) *error = "line " + std::to_string(i + 1) + " is not understood";
      return std::nullopt;
    }
  }
  if (book.sheets.empty()) {
    if (error) *error = "the workbook has no sheet";
    return std::nullopt;
  }
  return book;
}

std::string WriteWorkbook(const Workbook& book) {
  std::string out(kWorkbookSignature);
  out += '\n';
  for (const Sheet& sheet : book.sheets) {
    out += kSheetKeyword;
    out += sheet.kind == SheetKind::kChart ? kChartKind : kWorksheetKind;
    out += sheet.name + '\n';
    for (const auto& [ref, cell] : sheet.cells) {
      out += std::string(kCellKeyword) + CellName(ref) + ' ' + components::Escaped(cell.content) +
             '\n';
      if (cell.IsFormula() && !cell.value.empty()) {
        out += std::string(kValueKeyword) + CellName(ref) + ' ' + components::Escaped(cell.value) +
               '\n';
      }
    }
  }
  return out;
}

std::string SheetToText(const Sheet& sheet, bool formulas) {
  int rows = 0;
  int columns = 0;
  for (const auto& [ref, cell] : sheet.cells) {
    rows = std::max(rows, ref.first);
    columns = std::max(columns, ref.second);
  }
  std::string out;
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= columns; ++column) {
      if (column > 1) out += '\t';
      auto found = sheet.cells.find({row, column});
      if (found != sheet.cells.end()) AppendField(out, found->second.Shown(formulas));
    }
    out += "\r\n";
  }
  return out;
}

Sheet TextToSheet(std::string_view text, std::string name) {
  if (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  Sheet sheet;
  sheet.name = std::move(name);
  int row = 1;
  int column = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string field = text[pos] == '"' ? ReadQuoted(text, pos) : std::string();
    const std::size_t end = std::min(text.find_first_of("\t\r\n", pos), text.size());
    field += text.substr(pos, end - pos);
    StoreField(sheet, row, column, std::move(field));
    pos = end;
    if (pos == text.size()) break;
    if (text[pos] == '\t') {
      ++column;
    } else {
      if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
      ++row;
      column = 1;
    }
    ++pos;
  }
  return sheet;
}

}  // namespace tabulex::standin
