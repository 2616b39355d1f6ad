// Cell records of the KV-52 Plus spreadsheet image.
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "converter/appvar/AppVarReal.h"
#include "converter/appvar/AppVarSheet.h"
#include "converter/appvar/AppVarTokenTables.h"
#include "converter/appvar/AppVarTokens.h"
#include "converter/model/CString.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

namespace {

// Bytes of a record besides its content: length, offset, type and reference count.
constexpr std::size_t kRecordOverhead = 8;
constexpr std::size_t kNumberRecordLength = kRecordOverhead + kRealSize;
constexpr std::size_t kReferenceCountSize = 4;

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

[[noreturn]] void ThrowInvalidType() {
  throw std::invalid_argument("Type");
}

}  // namespace

AppVarCell::AppVarCell(ConversionContext& context, InputStream& stream) : SpreadsheetCell(context) {
  const std::optional<std::uint8_t> recordLength = stream.Get();
  if (!recordLength || *recordLength == 0) return;
  const std::size_t total = *recordLength;
  if (total < 4) return;
  // Everything after the length byte must be there, and long enough for the record's type.
  const std::optional<std::string_view> body = stream.Slice(total - 1);
  if (!body) return;
  InputStream record = InputStream::Over(*body);
  const std::optional<std::uint16_t> position = record.ReadU16BE();
  const std::optional<std::uint8_t> typeByte = record.Get();
  if (!position || !typeByte) return;
  const std::uint8_t kind = *typeByte & 3;
  const std::size_t minimum =
      kind == kAppVarFormula || kind == kAppVarNumber ? kNumberRecordLength : kRecordOverhead;
  if (total < minimum) return;

  std::optional<std::string> content;
  if (kind == kAppVarFormula) {
    content = record.Read(kRealSize);
    data2 = record.Read(total - kNumberRecordLength);
  } else {
    content = record.Read(total - kRecordOverhead);
  }
  referenceCount = record.Read(kReferenceCountSize);
  if (!content || !referenceCount || (kind == kAppVarFormula && !data2)) {
    data2.reset();
    referenceCount.reset();
    return;
  }
  length = *recordLength;
  offset = static_cast<std::int16_t>(*position);
  type = *typeByte;
  text = std::move(*content);
}

AppVarCell::AppVarCell(ConversionContext& context, SpreadsheetCell& source)
    : SpreadsheetCell(context, source) {}

void AppVarCell::TranslateToIntermediate() {
  if (length == 0) return;
  CellData& r = CreateRecord(static_cast<std::int16_t>(offset % 1000),
                             static_cast<std::int16_t>(offset / 1000 + 1));
  r.type = type & 3;
  switch (r.type) {
    case kAppVarNumber:
      r.value = RealToText(text);
      break;
    case kAppVarString: {
      const std::string tokenText = TokensToText(UpToNul(text)).text;
      std::string rewritten = RewriteText(tokenText, AppVarToNeutral);
      // The text starts with the quote token, which is not part of the string.
      if (!tokenText.empty() && tokenText.front() == '"') rewritten.erase(0, 1);
      r.value = std::move(rewritten);
      r.formula.reset();
      break;
    }
    case kAppVarFormula: {
      r.value = RealToText(text);
      std::string formula = TokensToText(UpToNul(data2.value_or(std::string()))).text;
      data2.reset();
      r.formula = RewriteText(formula, AppVarToNeutral);
      break;
    }
    default:
      ThrowInvalidType();
  }
  text.clear();
  referenceCount.reset();
}

void AppVarCell::TranslateFromIntermediate() {
  if (!record) return;
  offset = static_cast<std::int16_t>(record->column * 1000 + record->row - 1000);
  type = static_cast<std::uint8_t>(record->type & 3);
  switch (type) {
    case kAppVarNumber:
      NumberFromIntermediate(UpToNul(record->value));
      break;
    case kAppVarString:
      StringFromIntermediate();
      break;
    case kAppVarFormula:
      FormulaFromIntermediate();
      break;
    default:
      ThrowInvalidType();
  }
}

void AppVarCell::NumberFromIntermediate(std::string_view value) {
  EncodedReal real = TextToReal(value);
  if (real.status != 0) Context().ReportErrorCodeOnce(real.status);
  text = std::move(real.bytes);
  length = static_cast<std::uint8_t>(kNumberRecordLength);
}

void AppVarCell::StringFromIntermediate() {
  std::string upper(UpToNul(record->value));
  AsciiToUpper(upper);

  // A currency amount ("$12") is written as its number; any other text stays text, and so does
  // a text whose digits are no finite number ("$INFO", "$NAN").
  std::string withoutDollars;
  for (char c : upper) {
    if (c != '$') withoutDollars.push_back(c);
  }
  if (withoutDollars.size() != upper.size()) {
    const std::string amount = Trimmed(withoutDollars);
    const double number = std::strtod(amount.c_str(), nullptr);
    if (std::isfinite(number) && std::trunc(number) != 0.0) {
      type = kAppVarNumber;
      record->value = upper;
      NumberFromIntermediate(amount);
      return;
    }
  }

  // The calculator has no "$" character; 0x04 stands for it (and reads back as "$").
  std::string value = upper;
  for (char& c : value) {
    if (c == '$') c = '\x04';
  }
  RewriteInPlace(value, NeutralToAppVar);
  record->value = value;
  record->formula.reset();

  std::string tokens(1, static_cast<char>(kQuoteToken));
  tokens += TextToTokens(value).bytes;
  if (tokens.size() > kAppVarMaxTokens) {
    tokens.resize(kAppVarMaxTokens);
    Context().CellCut(Row(), Column());
  }
  tokenLength = static_cast<std::int16_t>(tokens.size());
  text = std::move(tokens);
  length = static_cast<std::uint8_t>(tokenLength + kRecordOverhead);
}

void AppVarCell::FormulaFromIntermediate() {
  EncodedReal real = TextToReal(UpToNul(record->value));
  if (real.status != 0) Context().ReportErrorCodeOnce(real.status);
  text = std::move(real.bytes);

  std::string working(UpToNul(record->formula));
  AsciiToUpper(working);
  RewriteInPlace(working, NeutralToAppVar);
  std::string tokens = TextToTokens(working).bytes;
  if (tokens.size() > kAppVarMaxTokens) {
    tokens.resize(kAppVarMaxTokens);
    Context().CellCut(Row(), Column());
  }
  tokenLength = static_cast<std::int16_t>(tokens.size());
  data2 = std::move(tokens);
  length = static_cast<std::uint8_t>(kNumberRecordLength + tokenLength);
}

std::string AppVarCell::GetOutput() {
  if (length == 0) return {};
  std::string out;
  out.push_back(static_cast<char>(length));
  const auto position = static_cast<std::uint16_t>(offset);
  out.push_back(static_cast<char>(position >> 8));
  out.push_back(static_cast<char>(position & 0xFF));
  out.push_back(static_cast<char>(type));
  const auto tokens = static_cast<std::size_t>(tokenLength);
  switch (type & 3) {
    case kAppVarNumber:
      out.append(text, 0, kRealSize);
      break;
    case kAppVarString:
      out.append(text, 0, tokens);
      break;
    case kAppVarFormula:
      out.append(text, 0, kRealSize);
      if (data2) out.append(*data2, 0, tokens);
      break;
    default:
      ThrowInvalidType();
  }
  out.append(kReferenceCountSize, '\0');
  length = static_cast<std::uint8_t>(out.size());
  return out;
}

void AppVarCell::ReleaseText() {
  SpreadsheetCell::ReleaseText();
  data2.reset();
  referenceCount.reset();
}

std::string AppVarCell::Describe() const {
  std::string out = "Calculator Data\n";
  out += "Offset: " + std::to_string(offset) + "\t\t";
  out += "Length: " + std::to_string(length) + "\t\t";
  out += "Type: " + std::to_string(type) + "\t\t";
  out += "Reference count: ";
  if (referenceCount) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : *referenceCount) {
      const auto b = static_cast<std::uint8_t>(c);
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    }
  }
  out += "\nData: ";
  out += UpToNul(text);
  out += "\nData2: ";
  if (data2) out += UpToNul(*data2);
  out += '\n';
  out += SpreadsheetCell::Describe();
  return out;
}

}  // namespace tabulex
