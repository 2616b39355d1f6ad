// Shared behaviour of the sheet and cell roots: record and header hand-over, descriptions.
#include "converter/model/Spreadsheet.h"

#include <string>

#include "converter/model/CString.h"

namespace tabulex {

SpreadsheetObject::~SpreadsheetObject() = default;

SpreadsheetCell::SpreadsheetCell(ConversionContext& context, SpreadsheetCell& owner)
    : SpreadsheetObject(context) {
  TakeRecord(owner);
}

void SpreadsheetCell::TakeRecord(SpreadsheetCell& owner) {
  record = owner.record;
  ownedRecord_ = std::move(owner.ownedRecord_);
}

CellData& SpreadsheetCell::CreateRecord(std::int16_t row, std::int16_t column) {
  ownedRecord_ = MakeIn<CellData>(Context().Memory(), row, column);
  record = ownedRecord_.get();
  return *record;
}

void SpreadsheetCell::ReleaseText() {
  text.clear();
  text.shrink_to_fit();
}

std::string SpreadsheetCell::Describe() const {
  std::string out = "Intermediate SpreadsheetCell\n";
  if (!record) return out;
  out += "Row: " + std::to_string(record->row) + "\t\t";
  out += "Column: " + std::to_string(record->column) + "\t\t";
  out += "Type: " + std::to_string(record->type) + "\t\t";
  out += "Data: ";
  out += UpToNul(record->value);
  if ((record->type & 3) == CELL_FORMULA) {
    out += "\t\tData2: ";
    out += UpToNul(record->formula);
  }
  out += '\n';
  return out;
}

Spreadsheet::Spreadsheet(ConversionContext& context, const void* bytes, std::size_t count)
    : SpreadsheetObject(context) {
  input = std::make_unique<InputStream>(bytes, count);
}

Spreadsheet::Spreadsheet(ConversionContext& context, Spreadsheet& source)
    : SpreadsheetObject(context) {
  header = source.header;
  ownedHeader_ = std::move(source.ownedHeader_);
}

Spreadsheet::~Spreadsheet() {
  DestroyCells();
}

CellList& Spreadsheet::NewCellList() {
  if (cells) cells->CheckEmpty();
  cells = std::make_unique<CellList>(Context().Memory());
  return *cells;
}

void Spreadsheet::DestroyCells() noexcept {
  if (!cells) return;
  cells->DeleteAll();
  cells.reset();
}

void Spreadsheet::NoteInputStop(std::string_view reason) {
  if (input && input->Failure()) stoppedEarly = ReadStop{input->Failure()->offset, reason};
}

std::string Spreadsheet::Describe() const {
  std::string out;
  if (!cells) return out;
  for (CellListNode* n = cells->Head(); n; n = n->next) {
    out += n->cell->Describe();
    out += '\n';
  }
  return out;
}

SheetHeader& Spreadsheet::CreateHeader(std::uint16_t source) {
  ownedHeader_ = std::make_unique<SheetHeader>();
  header = ownedHeader_.get();
  header->source = source;
  header->name = std::move(name);
  name.reset();
  return *header;
}

}  // namespace tabulex
