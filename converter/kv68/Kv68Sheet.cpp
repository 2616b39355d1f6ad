// The sheet of a KV-68 family spreadsheet variable: the variable data's header, its cell records
// and the output image the variable-file component is handed.
#include "converter/kv68/Kv68Sheet.h"

#include <algorithm>
#include <memory>

#include "converter/kv68/Kv68Cell.h"
#include "converter/model/CString.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

namespace {

// The image starts with the size of what follows, in front of the variable data.
constexpr std::size_t kSizeFieldSize = 2;
// A record's length is one byte.
constexpr std::size_t kMaxRecordSize = 255;
// Behind the last record: the terminator and the image's trailing bytes.
constexpr std::size_t kClosingBytes = 8;

// The fixed header of the variable data, ending with the extension length 2.
std::string HeaderBytes() {
  std::string header("TabLex\0\0\0", 9);
  header += '\x00';
  header += '\x01';
  header.append(32, '\x66');
  header.append(32, '\x00');
  header.append(64, '\x14');
  header.append("\x01\x00\x01", 3);
  // The extension length: the block holds just these two bytes.
  header.append("\x00\x02", 2);
  return header;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsNameByte(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '{';
}

bool Writable(const SpreadsheetCell& cell) {
  if (cell.Record() == nullptr) return false;
  return cell.Row() >= 0 && cell.Row() <= kKv68MaxRow && cell.Column() >= 0 &&
         cell.Column() <= kKv68MaxColumn;
}

// A cell with a record whose position the sheet cannot hold.
void LeaveOut(ConversionContext& context, const SpreadsheetCell& cell) {
  if (cell.Record() != nullptr) context.LeaveOutCell(cell.Row(), cell.Column());
}

}  // namespace

Kv68Sheet::Kv68Sheet(ConversionContext& context, const void* bytes, std::size_t size)
    : Spreadsheet(context, bytes, size) {
  ReadCells();
}

Kv68Sheet::Kv68Sheet(ConversionContext& context, Spreadsheet& source)
    : Spreadsheet(context, source) {
  NewTargetCells(source,
                 [&context](SpreadsheetCell& cell) { return MakeCell<Kv68Cell>(context, cell); });
}

Kv68Sheet::~Kv68Sheet() {
  DestroyCells();
}

void Kv68Sheet::ReadCells() {
  NewCellList();
  // The extension block starts at its own length field; a length below 2 would point back into
  // the header, so the records are then read from just behind the field.
  std::optional<std::uint16_t> extension;
  if (input->Seek(kKv68ExtensionOffset)) extension = input->ReadU16BE();
  if (extension) {
    int length = static_cast<std::int16_t>(*extension);
    if (length < 2) length = 2;
    if (input->Seek(kKv68ExtensionOffset + static_cast<std::size_t>(length))) {
      // Every record takes at least one byte, so this ends at the end of the input at the latest.
      for (;;) {
        auto cell = MakeCell<Kv68Cell>(Context(), *input);
        if (cell->EndsList()) break;
        cell->TranslateToIntermediate();
        cells->Append(std::move(cell));
      }
    }
  }
  // Writers rely on the cells coming in row and column order, whatever order the file had.
  cells->SortByPosition();
  const bool inHeader = input->Failure() && input->Failure()->offset < kKv68HeaderSize;
  NoteInputStop(inHeader ? kHeaderPastEnd : kRecordPastEnd);
  input.reset();
}

bool Kv68Sheet::SetVarName(std::string_view name8) {
  // At most the 8 bytes of the file's name field, and only up to a zero byte.
  std::string_view given = UpToNul(name8);
  bool cut = given.size() > 8;
  given = given.substr(0, std::min<std::size_t>(given.size(), 8));
  std::string valid(given);
  for (char& c : valid) {
    if (!IsNameByte(c)) c = '_';
  }
  if (!valid.empty() && !IsLetter(valid[0])) valid[0] = 'A';
  bool changed = cut || valid != given;
  name = std::move(valid);
  return changed;
}

void Kv68Sheet::TranslateToIntermediate() {
  CreateHeader(SOURCE_KV68);
}

std::string Kv68Sheet::Describe() const {
  return {};
}

void Kv68Sheet::TranslateFromIntermediate() {
  std::string_view headerName;
  if (header != nullptr && header->name) {
    headerName = UpToNul(*header->name);
  }
  name = std::string(headerName.substr(0, std::min<std::size_t>(headerName.size(), 8)));

  outputSize = kKv68HeaderSize;
  output = std::make_unique<OutputStream>();
  // Room for a full sheet: the size field, the header, the records and the closing bytes.
  output->Reserve(kSizeFieldSize + kKv68SheetLimit + kMaxRecordSize + kClosingBytes);
  // Placeholder for the size field and the header, written once the records are in place.
  output->Write(std::string(kKv68HeaderSize + 2, 'a'));

  CellListNode* node = cells ? cells->Head() : nullptr;
  for (; node != nullptr && outputSize < kKv68SheetLimit; node = node->next) {
    if (!Writable(*node->cell)) {
      LeaveOut(Context(), *node->cell);
      continue;
    }
    auto& cell = static_cast<Kv68Cell&>(*node->cell);
    cell.TranslateFromIntermediate();
    outputSize += cell.GetOutputLength();
    cell.WriteTo(*output);
    cell.ReleaseText();
  }
  // A cell left over that would have been written is lost: say so, as when the limit is passed.
  bool cellsLeft = false;
  for (; node != nullptr; node = node->next) {
    if (Writable(*node->cell)) {
      cellsLeft = true;
    } else {
      LeaveOut(Context(), *node->cell);
    }
  }
  if (outputSize > kKv68SheetLimit || cellsLeft) Context().ReportErrorCodeOnce(ERR_SHEET_TOO_LARGE);
  outputSize += 8;
}

std::string Kv68Sheet::GetOutput() {
  if (!output) return {};
  output->Seek(0);
  output->WriteU16LE(static_cast<std::uint16_t>(outputSize & 0xFFFF));
  output->Write(HeaderBytes());
  // Behind the last record: the terminator and the image's trailing byte.
  output->Seek(outputSize - 6);
  output->Put(0);
  output->Put(0);
  std::string image = output->Contents();
  image.back() = '\0';
  return image;
}

std::string Kv68Sheet::VariableData() {
  const std::string image = GetOutput();
  if (image.size() <= kSizeFieldSize) return {};
  return image.substr(kSizeFieldSize, image.size() - kSizeFieldSize - 1);
}

}  // namespace tabulex
