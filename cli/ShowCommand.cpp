// Laying out a sheet's cells for people (a grid) and for programs (tab-separated text, JSON).
#include "cli/ShowCommand.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <ostream>

#include "cli/FileConverter.h"
#include "converter/kv68/CharacterTranslator.h"
#include "converter/model/Spreadsheet.h"
#include "converter/platform/TextEncoding.h"

namespace tabulex::cli {

namespace {

struct Symbol {
  std::string_view name;
  std::string_view text;
};

constexpr Symbol kSymbols[] = {
#define X(name, text) {name, text},
#include "cli/Symbols.inc"
#undef X
};

constexpr int kMinColumnWidth = 3;
constexpr std::string_view kCut = "\u2026";
constexpr std::string_view kRowGap = "\u22EE";
constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kCyan = "\x1b[36m";
constexpr std::string_view kReset = "\x1b[0m";

constexpr std::string_view kTypeNames[] = {"number", "text", "string", "formula"};

// One cell as shown.
struct Shown {
  int row;
  int column;
  int type;
  std::string value;                   // readable UTF-8
  std::optional<std::string> formula;  // readable UTF-8
};

std::string_view UpToNul(const std::optional<std::string>& bytes) {
  if (!bytes) return {};
  std::string_view text(*bytes);
  return text.substr(0, text.find('\0'));
}

std::vector<Shown> CellsOf(const Spreadsheet& sheet) {
  std::vector<Shown> cells;
  if (!sheet.Cells()) return cells;
  // KV-68 family texts hold the calculator's own character codes; give them their names first.
  const bool kv68 = sheet.Header() && sheet.Header()->source == SOURCE_KV68;
  const CharacterTranslator translator;
  auto readable = [&](std::string_view text) {
    return Readable(kv68 ? translator.CodesToNames(text) : std::string(text));
  };
  for (const CellListNode* n = sheet.Cells()->Head(); n; n = n->next) {
    const CellData* r = n->cell->Record();
    if (!r) continue;
    Shown cell{r->row, r->column, r->type & 3, readable(UpToNul(r->value)), std::nullopt};
    if (r->formula) cell.formula = readable(UpToNul(r->formula));
    cells.push_back(std::move(cell));
  }
  std::stable_sort(cells.begin(), cells.end(), [](const Shown& a, const Shown& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  return cells;
}

// Whether a formula only gives a number, as calculator files store number cells: "=91.",
// "=⁻2.5ᴇ3".
bool IsNumberFormula(std::string_view formula) {
  if (!formula.starts_with('=') || formula.size() < 2) return false;
  std::string rest(formula.substr(1));
  for (std::string_view mark : {std::string_view("\u207B"), std::string_view("\u1D07")}) {
    for (std::size_t at; (at = rest.find(mark)) != std::string::npos;)
      rest.replace(at, mark.size(), "-");
  }
  return rest.find_first_not_of("0123456789.-") == std::string::npos &&
         rest.find_first_of("0123456789") != std::string::npos;
}

// What a cell shows: its value; its formula text when asked, or when the formula only gives a
// number or the cell holds no value.
std::string TextOf(const Shown& cell, bool formulas) {
  if (cell.type != CELL_FORMULA || !cell.formula) return cell.value;
  if (IsNumberFormula(*cell.formula) && !formulas) return cell.formula->substr(1);
  return formulas || cell.value.empty() ? *cell.formula : cell.value;
}

constexpr unsigned char kDelete = 0x7F;

// Whether the UTF-8 text at `i` is a C1 control, U+0080 to U+009F (bytes C2 80 to C2 9F).
bool IsC1Control(std::string_view text, std::size_t i) {
  constexpr unsigned char kC1Lead = 0xC2;
  constexpr unsigned char kC1End = 0xA0;
  return static_cast<unsigned char>(text[i]) == kC1Lead && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) < kC1End;
}

// Text that cannot act on the terminal showing it: a control character in a cell could clear the
// screen or retitle the window. C0 controls and DEL become their symbols from Unicode's control
// pictures (one column each, like what they stand for); C1 controls become the replacement
// character.
std::string Printable(std::string_view text) {
  constexpr char kPictures[] = "\xE2\x90";  // U+2400 to U+243F, less their last byte
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == kDelete) {
      out += kPictures;
      out.push_back(static_cast<char>(b == kDelete ? 0xA1 : 0x80 + b));
    } else if (IsC1Control(text, i)) {
      out += "\uFFFD";
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// What the grid shows of a cell.
std::string Shows(const Shown& cell, bool formulas) {
  return Printable(TextOf(cell, formulas));
}

// Characters, not bytes, of UTF-8 text.
int WidthOf(std::string_view text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The first `width` characters, the last one an ellipsis when the text was longer.
std::string Fit(std::string_view text, int width) {
  if (WidthOf(text) <= width) return std::string(text) + std::string(width - WidthOf(text), ' ');
  std::string out;
  int kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts && kept++ == width - 1) break;
    out.push_back(text[i]);
  }
  return out + std::string(kCut);
}

std::string ColumnLetters(int column) {
  const std::string reference = CellReference(1, column);
  return reference.substr(0, reference.size() - 1);
}

// Widths of columns 1 to the last one used, narrowed from the widest until the grid fits.
std::vector<int> ColumnWidths(const std::vector<Shown>& cells, bool formulas, int gutter,
                              int width) {
  int last = 0;
  for (const Shown& c : cells) last = std::max(last, c.column);
  std::vector<int> widths(static_cast<std::size_t>(std::max(last, 0)), 0);
  for (std::size_t i = 0; i < widths.size(); ++i) {
    widths[i] = WidthOf(ColumnLetters(static_cast<int>(i) + 1));
  }
  for (const Shown& c : cells) {
    if (c.column < 1) continue;
    int& w = widths[static_cast<std::size_t>(c.column - 1)];
    w = std::max(w, WidthOf(Shows(c, formulas)));
  }
  auto total = [&] {
    return gutter + std::accumulate(widths.begin(), widths.end(), 0) +
           static_cast<int>(widths.size());
  };
  while (total() > width) {
    auto widest = std::max_element(widths.begin(), widths.end());
    if (widest == widths.end() || *widest <= kMinColumnWidth) break;
    --*widest;
  }
  return widths;
}

class Grid {
 public:
  Grid(const std::vector<Shown>& cells, const ShowOptions& options, std::ostream& out)
      : cells_(cells), options_(options), out_(out) {
    int lastRow = 1;
    for (const Shown& c : cells) lastRow = std::max(lastRow, c.row);
    gutter_ = static_cast<int>(std::to_string(lastRow).size());
    widths_ = ColumnWidths(cells, options.formulas, gutter_, options.width);
  }

  void Write() {
    WriteHeader();
    int previous = 0;
    for (std::size_t i = 0; i < cells_.size();) {
      const int row = cells_[i].row;
      WriteGap(previous, row);
      std::size_t end = i;
      while (end < cells_.size() && cells_[end].row == row) ++end;
      WriteRow(row, i, end);
      previous = row;
      i = end;
    }
  }

 private:
  void Styled(std::string_view style, std::string_view text) {
    if (options_.color) {
      out_ << style << text << kReset;
    } else {
      out_ << text;
    }
  }

  void WriteHeader() {
    std::string line(static_cast<std::size_t>(gutter_), ' ');
    for (std::size_t i = 0; i < widths_.size(); ++i) {
      line += " " + Fit(ColumnLetters(static_cast<int>(i) + 1), widths_[i]);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    Styled(kBold, line);
    out_ << "\n";
  }

  // Empty rows between two rows with cells: one alone is shown by its number, more as one line.
  void WriteGap(int previous, int row) {
    if (row - previous == 2) {
      WriteNumber(row - 1);
      out_ << "\n";
    } else if (row - previous > 2) {
      out_ << std::string(static_cast<std::size_t>(gutter_ - 1), ' ') << kRowGap << "\n";
    }
  }

  void WriteNumber(int row) {
    const std::string number = std::to_string(row);
    out_ << std::string(static_cast<std::size_t>(std::max(0, gutter_ - WidthOf(number))), ' ');
    Styled(kBold, number);
  }

  void WriteRow(int row, std::size_t begin, std::size_t end) {
    WriteNumber(row);
    std::string pending;  // blanks are written only before a cell that follows them
    int column = 1;
    for (std::size_t i = begin; i < end; ++i) {
      const Shown& cell = cells_[i];
      if (cell.column < column) continue;
      for (; column < cell.column; ++column) {
        pending += std::string(static_cast<std::size_t>(widths_[column - 1]) + 1, ' ');
      }
      const bool last = i + 1 == end;
      std::string text = Fit(Shows(cell, options_.formulas), widths_[column - 1]);
      if (last) text.erase(text.find_last_not_of(' ') + 1);
      out_ << pending << ' ';
      pending.clear();
      const bool formula = options_.formulas && cell.type == CELL_FORMULA;
      formula ? Styled(kCyan, text) : static_cast<void>(out_ << text);
      ++column;
    }
    out_ << "\n";
  }

  const std::vector<Shown>& cells_;
  const ShowOptions& options_;
  std::ostream& out_;
  int gutter_ = 1;
  std::vector<int> widths_;
};

// A field of tab-separated text cannot hold a tab or a line end; other control characters are
// shown as in the grid.
std::string TsvField(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return Printable(text);
}

void WriteTsv(const std::vector<Shown>& cells, bool formulas, std::ostream& out) {
  int row = 1;
  int column = 1;
  for (const Shown& cell : cells) {
    if (cell.row < 1 || cell.column < 1) continue;
    for (; row < cell.row; ++row, column = 1) out << "\n";
    for (; column < cell.column; ++column) out << "\t";
    out << TsvField(TextOf(cell, formulas));
  }
  if (!cells.empty()) out << "\n";
}

// A JSON string in which every control character, DEL and the C1 controls too, is escaped, so
// that the text cannot act on a terminal showing it.
std::string JsonString(std::string_view text) {
  const auto escaped = [](unsigned code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    return std::string(buffer);
  };
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b == kDelete) {
      out += escaped(b);
    } else if (IsC1Control(text, i)) {
      out += escaped(static_cast<unsigned char>(text[++i]));
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void WriteJson(const Spreadsheet& sheet, const std::vector<Shown>& cells, std::ostream& out) {
  const SheetHeader* header = sheet.Header();
  out << "{\"sheet\":"
      << (header && header->name ? JsonString(Readable(UpToNul(header->name))) : "null")
      << ",\"cells\":[";
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Shown& c = cells[i];
    out << (i ? "," : "") << "\n{\"ref\":" << JsonString(CellReference(c.row, c.column))
        << ",\"row\":" << c.row << ",\"column\":" << c.column
        << ",\"type\":" << JsonString(kTypeNames[c.type]) << ",\"value\":" << JsonString(c.value)
        << ",\"formula\":" << (c.formula ? JsonString(*c.formula) : "null") << "}";
  }
  out << (cells.empty() ? "" : "\n") << "]}\n";
}

}  // namespace

std::optional<ShowFormat> ShowFormatFromName(std::string_view name) {
  if (name == "grid") return ShowFormat::kGrid;
  if (name == "tsv") return ShowFormat::kTsv;
  if (name == "json") return ShowFormat::kJson;
  return std::nullopt;
}

std::string Readable(std::string_view codePageText) {
  const std::string text =
      platform::Transcode(codePageText, platform::Charset::kCp1252, platform::Charset::kUtf8).bytes;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const Symbol* best = nullptr;
    if (text[i] == '_') {
      for (const Symbol& s : kSymbols) {
        const bool longer = !best || s.name.size() > best->name.size();
        if (longer && std::string_view(text).substr(i).starts_with(s.name)) best = &s;
      }
    }
    if (best) {
      out += best->text;
      i += best->name.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

void ShowSheet(const Spreadsheet& sheet, const ShowOptions& options, std::ostream& out) {
  const std::vector<Shown> cells = CellsOf(sheet);
  switch (options.format) {
    case ShowFormat::kGrid:
      Grid(cells, options, out).Write();
      break;
    case ShowFormat::kTsv:
      WriteTsv(cells, options.formulas, out);
      break;
    case ShowFormat::kJson:
      WriteJson(sheet, cells, out);
      break;
  }
  out.flush();
}

}  // namespace tabulex::cli
