// Reading and writing tab-delimited text through the intermediate model.
#include "converter/model/TextSheet.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "converter/model/CString.h"
#include "converter/model/ErrorCodes.h"
#include "converter/model/ExcelFormulas.h"

namespace tabulex {

namespace {

constexpr char kTab = '\t';
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kQuote = '"';
constexpr long kMaxPosition = std::numeric_limits<std::int16_t>::max();
// The Trace texts in this file are fixed progress traces, kept word for word on purpose: tools
// that read the traces match them.
// Shown once when cells were dropped for their position. The calculator's size limit has its
// own error code; this limit belongs to any target, text included.
constexpr std::string_view kPositionsDropped =
    "The text has cells past row or column 32767. They were left out: cell positions stop "
    "there.";
// Shown once when a cell's text was longer than a cell keeps.
constexpr std::string_view kTextsCut =
    "The text has cells holding more than 239 bytes of text. Only the first 239 bytes of each "
    "were kept.";
static_assert(kMaxTextLength == 239, "kTextsCut names the length a cell keeps");

// Every run of n consecutive double quotes becomes n / 2 double quotes.
std::string CollapseQuotes(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    if (in[i] != kQuote) {
      out.push_back(in[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i < in.size() && in[i] == kQuote) {
      ++run;
      ++i;
    }
    out.append(run / 2, kQuote);
  }
  return out;
}

// The text a text cell keeps of its field, before the length limit: without surrounding double
// quotes, with runs of double quotes halved.
std::string KeptText(std::string_view field) {
  if (field.size() >= 2 && field.front() == kQuote && field.back() == kQuote) {
    field = field.substr(1, field.size() - 2);
  }
  return CollapseQuotes(field);
}

bool IsNumeric(std::string_view text) {
  return text.find_first_not_of(kNumericCharacters) == std::string_view::npos;
}

// The spreadsheet's text import starts a new row at a line feed outside a quoted field, so a
// field holding one is written whole in double quotes, inner double quotes doubled; the cell
// then keeps its line break.
std::string QuotedField(std::string_view text) {
  std::string out(1, kQuote);
  for (char c : text) {
    if (c == kQuote) out.push_back(kQuote);
    out.push_back(c);
  }
  out.push_back(kQuote);
  return out;
}

// A tab or carriage return inside a field would split it when the file is read back.
void ReplaceSeparators(std::string& text) {
  std::replace(text.begin(), text.end(), kTab, ' ');
  std::replace(text.begin(), text.end(), kCarriageReturn, ' ');
}

// Consumes a row end at the stream's position: the row-end byte, and after a carriage return a
// line feed only, so that a row ended by a carriage return alone keeps its first byte.
bool EndOfRow(InputStream& in, char rowEnd) {
  if (in.AtEnd()) return false;
  if (static_cast<char>(*in.Get()) != rowEnd) {
    in.Unget();
    return false;
  }
  if (rowEnd == kCarriageReturn && !in.AtEnd() && static_cast<char>(*in.Get()) != kLineFeed) {
    in.Unget();
  }
  return true;
}

// Finds the ends of fields with memchr. The next tab and the next row end past the position are
// remembered, so every byte is searched at most once for each, even in a file without tabs.
class FieldScanner {
 public:
  FieldScanner(std::string_view bytes, char rowEnd) : bytes_(bytes), rowEnd_(rowEnd) {}

  // The field at `position`: its bytes up to a tab, a row end or the end of the bytes.
  std::string_view FieldAt(std::size_t position) {
    const std::size_t stop =
        std::min(Next(kTab, position, nextTab_), Next(rowEnd_, position, nextRowEnd_));
    return bytes_.substr(position, stop - position);
  }

 private:
  static constexpr std::size_t kUnknown = std::string_view::npos;

  // The position of the first `c` at or after `from`, or the end of the bytes.
  std::size_t Next(char c, std::size_t from, std::size_t& found) const {
    if (from >= bytes_.size()) return bytes_.size();
    if (found == kUnknown || found < from) {
      const void* hit = std::memchr(bytes_.data() + from, c, bytes_.size() - from);
      found = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.data())
                  : bytes_.size();
    }
    return found;
  }

  std::string_view bytes_;
  char rowEnd_;
  std::size_t nextTab_ = kUnknown;
  std::size_t nextRowEnd_ = kUnknown;
};

// Whether the text cell made of `field` kept less than the field's text.
bool TextWasCut(const CellData& record, std::string_view field) {
  return (record.type & 3) == CELL_TEXT && record.length == kMaxTextLength &&
         KeptText(field).size() > kMaxTextLength;
}

// Reads one field: its bytes, and the tab that ends it; a row end is left for EndOfRow.
std::string_view ReadField(InputStream& in, FieldScanner& scanner) {
  const std::string_view field = scanner.FieldAt(in.Tell());
  in.Slice(field.size());
  if (!in.AtEnd() && in.Bytes()[in.Tell()] == kTab) in.Slice(1);
  return field;
}

}  // namespace

TextCell::TextCell(ConversionContext& context, std::string_view field) : SpreadsheetCell(context) {
  text = field;
}

TextCell::TextCell(ConversionContext& context, SpreadsheetCell& owner)
    : SpreadsheetCell(context, owner) {}

void TextCell::TranslateToIntermediate() {
  CellData& r = CreateRecord(row, column);
  if (!text.empty() && text.front() == '=') {
    r.type = CELL_FORMULA;
    r.value = std::string(8, '\0');
    r.formula = std::move(text);
  } else if (IsNumeric(text)) {
    r.type = CELL_NUMBER;
    // The field text is freed below anyway, so the record takes it over.
    r.value = std::move(text);
  } else {
    r.type = CELL_TEXT;
    std::string collapsed = KeptText(text);
    if (collapsed.size() > kMaxTextLength) collapsed.resize(kMaxTextLength);
    r.length = static_cast<std::uint32_t>(collapsed.size());
    r.value = std::move(collapsed);
  }
  text.clear();
  Context().Trace("TextCell::TranslateToIntermediate4\n");
}

std::string TextCell::Describe() const {
  std::string out = "Text Data\nRow: " + std::to_string(row) +
                    "\t\tColumn: " + std::to_string(column) + "\nData: " + text + "\n";
  return out + SpreadsheetCell::Describe();
}

void TextCell::TranslateFromIntermediate() {
  switch (record->type & 3) {
    case CELL_NUMBER:
      Context().Trace("Code changed in mac version\n");
      text = std::string(UpToNul(record->value));
      break;
    case CELL_TEXT: {
      std::string_view value = UpToNul(record->value);
      const std::size_t first = value.find_first_not_of(kQuote);
      if (first == std::string_view::npos) {
        text.clear();
      } else {
        const std::size_t last = value.find_last_not_of(kQuote);
        text = std::string(value.substr(first, last - first + 1));
      }
      break;
    }
    case CELL_STRING:
      text.clear();
      break;
    case CELL_FORMULA:
      text = std::string(UpToNul(record->formula));
      if (Context().RewritesFormulas()) NeutralToExcel(text);
      break;
  }
  ReplaceSeparators(text);
  row = record->row;
  column = record->column;
}

std::string TextCell::GetOutput() {
  return text + kTab;
}

void ExcelTextCell::TranslateToIntermediate() {
  // Excel quotes a formula field that holds double quotes: "=..." with inner quotes doubled.
  if (text.size() >= 2 && text[1] == '=' && text.front() == kQuote && text.back() == kQuote) {
    text = text.substr(1, text.size() - 2);
  }
  TextCell::TranslateToIntermediate();
  if ((record->type & 3) == CELL_FORMULA && record->formula) {
    record->formula = CollapseQuotes(*record->formula);
  }
  if (Context().RewritesFormulas()) ExcelToNeutral(*record);
}

void ExcelTextCell::TranslateFromIntermediate() {
  TextCell::TranslateFromIntermediate();
  if ((record->type & 3) != CELL_FORMULA && Context().RewritesFormulas()) NeutralToExcel(text);
  if (text.find(kLineFeed) != std::string::npos) text = QuotedField(text);
}

TextSheet::~TextSheet() {
  DestroyCells();
}

void TextSheet::TranslateToIntermediate() {
  Context().Trace("\t TTranslateToIntermediate\n");
  Initialise();
  Context().Trace("\t after Initialise\n");
  CreateHeader(SOURCE_TEXT);
}

char TextSheet::RowEndOf(const void* bytes, std::size_t count) {
  const std::string_view text(static_cast<const char*>(bytes), bytes ? count : 0);
  return text.find(kCarriageReturn) == std::string_view::npos ? kLineFeed : kCarriageReturn;
}

ArenaPtr<TextCell> TextSheet::MakeSourceCell(std::string_view field) {
  return MakeCell<TextCell>(Context(), field);
}

ArenaPtr<TextCell> TextSheet::MakeTargetCell(SpreadsheetCell& owner) {
  return MakeCell<TextCell>(Context(), owner);
}

ArenaPtr<TextCell> ExcelTextSheet::MakeSourceCell(std::string_view field) {
  return MakeCell<ExcelTextCell>(Context(), field);
}

ArenaPtr<TextCell> ExcelTextSheet::MakeTargetCell(SpreadsheetCell& owner) {
  return MakeCell<ExcelTextCell>(Context(), owner);
}

void TextSheet::Initialise() {
  NewCellList();
  if (!input) return;
  long row = 1;
  long column = 1;
  bool positionsDropped = false;
  bool textsCut = false;
  FieldScanner scanner(input->Bytes(), rowEnd);
  do {
    const std::string_view field = ReadField(*input, scanner);
    const long cellRow = row;
    const long cellColumn = column++;
    if (EndOfRow(*input, rowEnd)) {
      column = 1;
      ++row;
    }
    if (field.empty()) continue;  // an empty field keeps its column, makes no cell
    if (cellRow > kMaxPosition || cellColumn > kMaxPosition) {
      // Positions are 16-bit in the intermediate model.
      positionsDropped = true;
      continue;
    }
    ArenaPtr<TextCell> cell = MakeSourceCell(field);
    cell->SetPosition(static_cast<std::int16_t>(cellRow), static_cast<std::int16_t>(cellColumn));
    Context().Trace("DONE WITH TELLG1");
    cell->TranslateToIntermediate();
    Context().Trace("DONE WITH TELLG11");
    textsCut = textsCut || (field.size() > kMaxTextLength && TextWasCut(*cell->Record(), field));
    cells->Append(std::move(cell));
  } while (!input->AtEnd() && !input->Failed());
  input.reset();
  if (positionsDropped) {
    Context().ShowMessage(kPositionsDropped, std::nullopt, message::kIconInformation);
  }
  if (textsCut) Context().ShowMessage(kTextsCut, std::nullopt, message::kIconInformation);
}

void TextSheet::TranslateFromIntermediate() {
  if (source) {
    NewTargetCells(*source, [this](SpreadsheetCell& cell) { return MakeTargetCell(cell); });
  } else {
    NewCellList();
  }
  WriteOutput();
}

void TextSheet::WriteOutput() {
  if (header) name = header->name;
  output = std::make_unique<OutputStream>();
  long currentRow = 1;
  long lastColumn = 0;
  for (CellListNode* n = cells->Head(); n; n = n->next) {
    // Every cell of a text sheet's list is a text cell.
    TextCell& cell = static_cast<TextCell&>(*n->cell);
    cell.TranslateFromIntermediate();
    const long r = cell.Row();
    const long c = cell.Column();
    if (r != currentRow) {
      for (long i = currentRow; i < r; ++i) output->Write("\t\r\n");
      lastColumn = 0;
    }
    for (long i = c - lastColumn - 1; i > 0; --i) output->Put(kTab);
    // What GetOutput gives, written without building it first.
    output->Write(cell.FieldText());
    output->Put(kTab);
    cell.ReleaseText();
    currentRow = r;
    lastColumn = c;
  }
  outputSize = output->Size();
}

std::string TextSheet::GetOutput() {
  std::string result = output ? output->Contents() : std::string();
  result.push_back('\0');
  return result;
}

std::string TextSheet::FileText() {
  std::string text = GetOutput();
  text.resize(std::min(outputSize, text.size()));
  return text;
}

std::string ExcelTextSheet::ExchangeText() {
  std::string text = GetOutput();
  text.resize(std::min(outputSize + 1, text.size()));
  return text;
}

}  // namespace tabulex
