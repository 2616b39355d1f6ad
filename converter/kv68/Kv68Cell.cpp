// Reading and writing the cell records of a KV-68 family spreadsheet variable.
#include "converter/kv68/Kv68Cell.h"

#include <cmath>
#include <cstdlib>
#include <span>
#include <string_view>

#include "converter/kv68/ExpressionRenderer.h"
#include "converter/kv68/Kv68Real.h"
#include "converter/kv68/Kv68Rewrite.h"
#include "converter/model/CString.h"

namespace tabulex {

namespace {

constexpr char kStringTag = 0x2D;

// The big-endian count in front of an expression buffer, followed by the counted bytes.
std::string CountedBuffer(std::size_t count, std::string_view bytes) {
  OutputStream out;
  out.WriteU16BE(static_cast<std::uint16_t>(count));
  out.Write(bytes);
  return out.Contents();
}

// A string part as the renderer takes it: the count, a zero that opens the characters, the
// characters with the part's last byte made the zero that ends them, then the string tag and
// one more zero outside the count.
std::string StringBuffer(std::string_view part) {
  std::string buffer = CountedBuffer(part.size() + 1, std::string_view("\0", 1));
  buffer.append(part);
  if (!part.empty()) buffer.back() = '\0';
  buffer += kStringTag;
  buffer += '\0';
  return buffer;
}

// The counted bytes of a buffer that begins with a big-endian count.
std::size_t CountOf(const std::string& buffer) {
  return InputStream::Over(buffer).ReadU16BE().value_or(0);
}

// Renders an expression buffer. A buffer with no content, or a string buffer without any
// characters, renders as no text at all rather than as whatever the renderer makes of nothing.
std::string Render(const std::string& buffer, std::size_t minimumCount) {
  if (CountOf(buffer) < minimumCount) return {};
  return RenderExpression(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(buffer.data()), buffer.size()));
}

// The rendered text without the line feed the renderer ends it with.
std::string DropLast(std::string text) {
  if (!text.empty()) text.pop_back();
  return text;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a decimal number: optional leading white space and sign, digits with an optional point,
// an optional exponent. Text that does not begin with such a number gives 0; the number is
// taken as far as it goes.
double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      end = j;
    }
  }
  // Only the plain decimal form reaches strtod, so neither hexadecimal nor "inf" or "nan" can.
  std::string number(text.substr(start, end - start));
  return std::strtod(number.c_str(), nullptr);
}

bool OutOfRange(double value) {
  double magnitude = std::fabs(value);
  return !(magnitude <= 1.6999999999999E308) || (magnitude > 0.0 && magnitude < 1.7E-308);
}

void AppendReal(std::string& out, double value) {
  Kv68RealBytes bytes = EncodeReal(value);
  out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

Kv68Cell::Kv68Cell(ConversionContext& context, InputStream& input) : SpreadsheetCell(context) {
  Parse(input);
}

Kv68Cell::Kv68Cell(ConversionContext& context, SpreadsheetCell& owner)
    : SpreadsheetCell(context, owner) {}

Kv68Cell::~Kv68Cell() = default;

void Kv68Cell::Parse(InputStream& input) {
  std::optional<std::uint8_t> length = input.Get();
  if (!length || *length == 0) return;
  // The whole record must be there and hold at least its fixed bytes.
  if (*length < kKv68RecordOverhead) return;
  std::optional<std::string_view> body = input.Slice(*length - 1u);
  if (!body) return;
  // The body holds exactly the fixed bytes and the content, so these reads cannot fail.
  InputStream record = InputStream::Over(*body);
  const std::uint16_t offset = record.ReadU16BE().value_or(0);
  const std::uint8_t type = record.Get().value_or(0);
  // Content lies between the flags byte and the two reference-count bytes.
  const std::string_view content = record.Slice(*length - kKv68RecordOverhead).value_or("");
  const std::uint8_t referenceHigh = record.Get().value_or(0);
  const std::uint8_t referenceLow = record.Get().value_or(0);

  switch (type & 3) {
    case kKv68KindNumber:
      text = CountedBuffer(content.size(), content);
      break;
    case kKv68KindText:
      text = StringBuffer(content);
      break;
    default: {
      // The value's byte count N comes first; N - 1 value bytes and the formula text follow.
      if (content.empty()) return;
      std::size_t n = static_cast<std::uint8_t>(content[0]);
      if (n < 1 || n > content.size()) return;
      text = CountedBuffer(n - 1, content.substr(1, n - 1));
      text += '\0';
      data2_ = StringBuffer(content.substr(n));
      break;
    }
  }
  cellLength_ = *length;
  offset_ = offset;
  type_ = type;
  referenceCount_ = {referenceHigh, referenceLow};
}

void Kv68Cell::TranslateToIntermediate() {
  CellData& cell = CreateRecord(static_cast<std::int16_t>(offset_ % 1000),
                                static_cast<std::int16_t>(offset_ / 1000 + 1));
  std::uint8_t kind = type_ & 3;
  cell.type = kind == kKv68KindFormula ? static_cast<std::uint8_t>(type_ | 3) : type_;

  switch (kind) {
    case kKv68KindNumber: {
      std::string rendered = Kv68ToNeutralText(DropLast(Render(text, 1)));
      // An empty record, or one the renderer gives no text for, is an empty cell rather than
      // the formula "=".
      if (rendered.find_first_of("0123456789,1.-") == std::string::npos) {
        cell.value = std::move(rendered);
      } else {
        // Anything that looks like a number comes over as a formula giving that number.
        cell.type = CELL_FORMULA;
        cell.formula = "=" + rendered;
        cell.value = "0";
      }
      break;
    }
    case kKv68KindText: {
      Context().Trace(kKv68TextTrace);
      std::string rendered = Render(text, 2);
      // The renderer shows the stored quotes; take them off again. A lone quote and its line
      // feed hold no text.
      if (rendered.size() >= 2 && rendered.front() == '"' &&
          rendered.compare(rendered.size() - 2, 2, "\"\n") == 0) {
        cell.value = rendered.size() >= 3 ? rendered.substr(1, rendered.size() - 3) : "";
      } else {
        cell.value = DropLast(std::move(rendered));
      }
      break;
    }
    default:
      cell.value = DropLast(Render(text, 1));
      cell.formula = DropLast(data2_ ? Render(*data2_, 2) : std::string());
      data2_.reset();
      Kv68ToNeutral(cell);
      break;
  }
  ReleaseText();
}

void Kv68Cell::TranslateFromIntermediate() {
  if (!record) return;
  offset_ = static_cast<std::uint16_t>((record->column - 1) * 1000 + record->row);
  std::uint8_t kind = record->type & 3;
  if (kind == kKv68KindFormulaRead) kind = kKv68KindFormula;
  type_ = kind;
  text.clear();
  data2_.reset();
  data2Length_ = 0;

  switch (kind) {
    case kKv68KindNumber:
      WriteNumber(std::string(UpToNul(record->value)));
      break;
    case kKv68KindText:
      WriteText(std::string(UpToNul(record->value)));
      break;
    default:
      WriteFormula(record->formula);
      break;
  }
  // At most 255: 243 text bytes with their quotes and zero, or 11 value bytes and 237 + 1
  // formula bytes, plus the fixed bytes.
  cellLength_ = static_cast<std::uint8_t>(text.size() + static_cast<std::size_t>(data2Length_) +
                                          kKv68RecordOverhead);
}

void Kv68Cell::WriteNumber(const std::string& value) {
  // Plain decimals, nearly every number of a sheet, are encoded from their digits.
  if (const std::optional<Kv68RealBytes> plain = EncodePlainDecimal(value)) {
    text.append(reinterpret_cast<const char*>(plain->data()), plain->size());
    return;
  }
  double number = ParseDecimal(value);
  if (OutOfRange(number)) {
    Context().ShowMessage(kKv68RangeMessage, std::nullopt, message::kOk);
    // A number beyond every double has no real to stand for it.
    if (!std::isfinite(number)) number = 0.0;
  }
  AppendReal(text, number);
}

void Kv68Cell::WriteText(const std::string& value) {
  std::string rewritten = NeutralToKv68Text(value);
  if (rewritten.size() > kKv68MaxText) {
    rewritten.resize(kKv68MaxText);
    Context().CellCut(Row(), Column());
  }
  text.reserve(rewritten.size() + 3);
  text += '"';
  text += rewritten;
  text += '"';
  text += '\0';
}

void Kv68Cell::WriteFormula(const std::optional<std::string>& formula) {
  // The value part: its byte count 11, then the real 0.0; the calculator computes the value.
  text += static_cast<char>(11);
  AppendReal(text, 0.0);
  // The record's formula stays as it is; only the written copy is rewritten.
  std::string rewritten(UpToNul(formula));
  AsciiToLower(rewritten);
  rewritten = NeutralToKv68Text(rewritten);
  // Longer formula text would make a record longer than its length byte can count.
  if (rewritten.size() > kKv68MaxFormula) {
    rewritten.resize(kKv68MaxFormula);
    Context().CellCut(Row(), Column());
  }
  data2Length_ = static_cast<std::int16_t>(rewritten.size() + 1);
  rewritten.append(2, '\0');
  data2_ = std::move(rewritten);
}

std::string Kv68Cell::GetOutput() {
  OutputStream out;
  WriteTo(out);
  return out.Contents();
}

void Kv68Cell::WriteTo(OutputStream& out) const {
  if (cellLength_ == 0) return;
  const std::size_t start = out.Tell();
  out.Put(cellLength_);
  out.WriteU16BE(offset_);
  out.Put(type_);
  const std::size_t contentLength = cellLength_ - kKv68RecordOverhead;
  if ((type_ & 3) == kKv68KindFormula && data2_) {
    const std::size_t textLength = static_cast<std::size_t>(data2Length_);
    out.Write(std::string_view(text).substr(0, contentLength - textLength));
    out.Write(std::string_view(*data2_).substr(0, textLength));
  } else {
    out.Write(std::string_view(text).substr(0, contentLength));
  }
  // Zero bytes fill the record; the last two are the reference count.
  out.WriteZeros(start + cellLength_ - out.Tell());
}

void Kv68Cell::ReleaseText() {
  SpreadsheetCell::ReleaseText();
  data2_.reset();
}

std::string Kv68Cell::Describe() const {
  std::string out = "Calculator Data\n";
  out += "Offset: " + std::to_string(offset_) + "\t\t";
  out += "CellLength: " + std::to_string(cellLength_) + "\t\t";
  out += "Type: " + std::to_string(type_) + "\t\t";
  out += "Reference count: " +
         std::to_string((static_cast<unsigned>(referenceCount_[0]) << 8) | referenceCount_[1]) +
         "\n";
  out += "Data: ";
  out += UpToNul(text);
  out += "\nData2: ";
  out += UpToNul(data2_);
  out += '\n';
  return out + SpreadsheetCell::Describe();
}

}  // namespace tabulex
