// The KV-52 Plus spreadsheet image: reading it into cells and building it from cells.
#include "converter/appvar/AppVarSheet.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "converter/model/CString.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

namespace {

constexpr std::size_t kHeaderPadSize = 2;
constexpr std::size_t kFillerOffset = 16;
constexpr std::size_t kZeroAreaSize = 165;
constexpr std::uint8_t kFillerByte = 0xAA;
// The data length counts everything after its own two bytes; the end marker adds two more.
constexpr std::size_t kLengthFieldSize = 2;
constexpr std::size_t kSignatureSize = 4;
constexpr std::size_t kEndMarkerSize = 2;
// The image holds rows 1 to 999 and columns A to Z only.
constexpr int kLastRow = 999;
constexpr int kLastColumn = 26;

bool OnGrid(const SpreadsheetCell& cell) {
  return cell.Row() >= 1 && cell.Row() <= kLastRow && cell.Column() >= 1 &&
         cell.Column() <= kLastColumn;
}

// At most the first 8 bytes of `name`, up to its first zero byte.
std::string ShortName(std::string_view name) {
  return std::string(UpToNul(name).substr(0, kAppVarNameSize));
}

}  // namespace

AppVarSheet::AppVarSheet(ConversionContext& context, const void* bytes, std::size_t size)
    : Spreadsheet(context, bytes, size) {
  Parse();
}

AppVarSheet::AppVarSheet(ConversionContext& context, Spreadsheet& source)
    : Spreadsheet(context, source) {
  NewTargetCells(source,
                 [&context](SpreadsheetCell& cell) { return MakeCell<AppVarCell>(context, cell); });
}

AppVarSheet::~AppVarSheet() = default;

void AppVarSheet::Parse() {
  InputStream& in = *input;
  outputSize = in.ReadU16LE().value_or(0);

  // The name ends at its first zero byte or after 8 bytes.
  std::string nameBytes;
  if (in.Seek(kAppVarNameOffset)) {
    const std::size_t available = std::min(kAppVarNameSize, in.Remaining());
    nameBytes = ShortName(in.Read(available).value_or(std::string()));
  }
  name = std::move(nameBytes);
  if (in.Seek(kFillerOffset)) fillerBlock = in.Read(kAppVarFillerSize);

  NewCellList();
  // An image too short for its header holds no cells.
  if (in.Seek(kAppVarHeaderSize)) {
    for (;;) {
      auto cell = MakeCell<AppVarCell>(Context(), in);
      if (cell->GetOutputLength() == 0) break;
      cell->TranslateToIntermediate();
      outputSize += cell->GetOutputLength();
      cells->Append(std::move(cell));
    }
  }
  cells->SortByPosition();
  const bool inHeader = in.Failure() && in.Failure()->offset < kAppVarHeaderSize;
  NoteInputStop(inHeader ? kHeaderPastEnd : kRecordPastEnd);
  input.reset();
}

void AppVarSheet::TranslateToIntermediate() {
  const std::string sheetName = name.value_or(std::string());
  CreateHeader(SOURCE_KV52P).name = sheetName;
  name.reset();
}

void AppVarSheet::TranslateFromIntermediate() {
  std::string sheetName;
  if (header && header->name) sheetName = ShortName(*header->name);
  AsciiToUpper(sheetName);
  name = std::move(sheetName);
  fillerBlock = std::string(kAppVarFillerSize, static_cast<char>(kFillerByte));

  outputSize = kAppVarHeaderSize - kLengthFieldSize;
  output = std::make_unique<OutputStream>();
  output->Write(std::string(kAppVarHeaderSize, 'a'));

  CellListNode* node = cells ? cells->Head() : nullptr;
  for (; node != nullptr && outputSize < kAppVarDataLimit; node = node->next) {
    SpreadsheetCell& cell = *node->cell;
    cell.TranslateFromIntermediate();
    if (!OnGrid(cell)) {
      Context().LeaveOutCell(cell.Row(), cell.Column());
      continue;
    }
    const std::string bytes = cell.GetOutput();
    outputSize += bytes.size();
    output->Write(bytes);
    cell.ReleaseText();
  }
  if (outputSize >= kAppVarDataLimit) Context().ReportErrorCodeOnce(ERR_SHEET_TOO_LARGE);
  // Cells past the size limit that lie off the grid would be lost even in a smaller sheet.
  for (; node != nullptr; node = node->next) {
    if (!OnGrid(*node->cell)) Context().LeaveOutCell(node->cell->Row(), node->cell->Column());
  }
  outputSize += kEndMarkerSize;
}

void AppVarSheet::SetDeviceName(std::string_view deviceName) {
  if (deviceName.data() == nullptr) throw std::invalid_argument("SetDeviceName");
  std::string shortName = ShortName(deviceName);
  AsciiToUpper(shortName);
  for (char& c : shortName) {
    const bool valid = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
    if (!valid) c = 'A';
  }
  name = std::move(shortName);
}

std::string AppVarSheet::GetOutput() {
  if (!output) {
    // Not translated yet: the image of an empty sheet.
    output = std::make_unique<OutputStream>();
    output->Write(std::string(kAppVarHeaderSize, 'a'));
    outputSize = kAppVarHeaderSize;
  }
  const std::string sheetName = ShortName(name.value_or(std::string()));

  output->Seek(0);
  output->WriteU16LE(static_cast<std::uint16_t>(outputSize));
  output->WriteU32LE(kAppVarSheetSignature);
  std::string nameField = sheetName;
  if (nameField.size() < kAppVarNameSize) {
    nameField.push_back('\0');
    nameField.resize(kAppVarNameSize, ' ');
  }
  output->Write(nameField);
  output->Write(std::string(kHeaderPadSize, '\0'));
  std::string filler = fillerBlock.value_or(std::string());
  filler.resize(kAppVarFillerSize, static_cast<char>(kFillerByte));
  output->Write(filler);
  output->Write(std::string(kZeroAreaSize, '\0'));
  output->Seek(outputSize);
  output->Write(std::string(kEndMarkerSize, '\0'));

  std::string image = output->Contents().substr(0, outputSize + kEndMarkerSize);
  image.resize(outputSize + kEndMarkerSize, '\0');
  image.push_back('\0');
  return image;
}

std::string AppVarSheet::VariableData() {
  return GetOutput().substr(kLengthFieldSize + kSignatureSize);
}

std::string AppVarSheet::Describe() const {
  return Spreadsheet::Describe();
}

}  // namespace tabulex
