// The roots of every sheet and cell class. The virtual operations are declared in the order of
// the components' object layout, so keep new ones behind them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "converter/model/Arena.h"
#include "converter/model/ByteStream.h"
#include "converter/model/CellData.h"
#include "converter/model/CellList.h"
#include "converter/model/ConversionContext.h"

namespace tabulex {

// The type tag the variable-file component stores with a variable's data: a 32-bit number or a
// string.
using VarTag = std::variant<std::monostate, std::uint32_t, std::string>;

class SpreadsheetObject {
 public:
  explicit SpreadsheetObject(ConversionContext& context) : context_(&context) {}
  SpreadsheetObject(const SpreadsheetObject&) = delete;
  SpreadsheetObject& operator=(const SpreadsheetObject&) = delete;

  // The operations in layout order: the destructor first.
  virtual ~SpreadsheetObject();
  // Own-format content to intermediate records.
  virtual void TranslateToIntermediate() = 0;
  // A diagnostic description.
  virtual std::string Describe() const = 0;
  // Intermediate records to own-format content.
  virtual void TranslateFromIntermediate() = 0;
  // A new buffer with the object's output bytes.
  virtual std::string GetOutput() = 0;

  ConversionContext& Context() const { return *context_; }

 protected:
  // The bytes being parsed; null when not in use.
  std::unique_ptr<InputStream> input;

 private:
  ConversionContext* context_;
};

class SpreadsheetCell : public SpreadsheetObject {
 public:
  // A cell with no record yet (a source cell creates its own with CreateRecord).
  explicit SpreadsheetCell(ConversionContext& context) : SpreadsheetObject(context) {}
  // A target cell: takes over the record of `owner` (see TakeRecord).
  SpreadsheetCell(ConversionContext& context, SpreadsheetCell& owner);

  std::string Describe() const override;
  // Behind the inherited operations: the number of bytes GetOutput returns.
  virtual std::size_t GetOutputLength() const { return 0; }

  // Points at the record of `owner` and becomes its owner; `owner` keeps a pointer that it no
  // longer frees. The record moves, it is not copied.
  void TakeRecord(SpreadsheetCell& owner);
  // Drops the cell's own-format text after a writer has taken its output.
  virtual void ReleaseText();

  std::int16_t Row() const { return record ? record->row : 0; }
  std::int16_t Column() const { return record ? record->column : 0; }
  CellData* Record() const { return record; }
  bool OwnsRecord() const { return ownedRecord_ != nullptr; }

 protected:
  // Creates a new record that this cell owns and points at.
  CellData& CreateRecord(std::int16_t row, std::int16_t column);

  CellData* record = nullptr;
  // The cell's own-format text or bytes.
  std::string text;

 private:
  ArenaPtr<CellData> ownedRecord_;
};

// Makes a cell of class T in the conversion's memory; the first constructor argument is the
// context.
template <typename T, typename... Args>
ArenaPtr<T> MakeCell(ConversionContext& context, Args&&... args) {
  return MakeIn<T>(context.Memory(), context, std::forward<Args>(args)...);
}

// Where and why a reader stopped before the end of its data.
struct ReadStop {
  // Bytes from the start of the sheet's data.
  std::size_t offset = 0;
  std::string_view reason;
};

inline constexpr std::string_view kRecordPastEnd = "record runs past the end";
inline constexpr std::string_view kHeaderPastEnd = "header runs past the end";

class Spreadsheet : public SpreadsheetObject {
 public:
  // A source sheet over a copy of the input bytes.
  Spreadsheet(ConversionContext& context, const void* bytes, std::size_t count);
  // A target sheet: takes over the header of `source`. Its cells take over the source's
  // records one by one (SpreadsheetCell::TakeRecord).
  Spreadsheet(ConversionContext& context, Spreadsheet& source);
  ~Spreadsheet() override;

  // The cells' descriptions, each followed by a line feed.
  std::string Describe() const override;

  void SetName(std::string_view newName) { name = std::string(newName); }
  std::size_t GetOutputSize() const { return outputSize; }

  CellList* Cells() const { return cells.get(); }
  SheetHeader* Header() const { return header; }
  bool OwnsHeader() const { return ownedHeader_ != nullptr; }
  const std::optional<std::string>& Name() const { return name; }
  // Set when reading stopped early; the cells read before that point are kept.
  const std::optional<ReadStop>& StoppedEarly() const { return stoppedEarly; }

  // For a calculator target sheet after TranslateFromIntermediate: the variable data the
  // variable-file component wraps into a file, and the type tag stored with it. Other sheets
  // hold no variable data.
  virtual std::string VariableData() { return {}; }
  virtual VarTag ComponentTag() const { return {}; }
  // Takes the variable name the device accepted, for formats that store it in their data.
  virtual void SetDeviceName(std::string_view /*deviceName*/) {}

 protected:
  // Creates the header that this sheet owns, with the sheet's name moved into it.
  SheetHeader& CreateHeader(std::uint16_t source);
  // Starts an empty cell list. A list that still holds cells is a programming error, reported
  // here rather than in a destructor, where an exception would end the process.
  CellList& NewCellList();
  // Starts the cell list with one target cell per cell of `source`, in list order; `make` builds
  // each from its source cell.
  template <typename MakeCell>
  void NewTargetCells(const Spreadsheet& source, MakeCell make) {
    NewCellList();
    if (!source.Cells()) return;
    for (CellListNode* node = source.Cells()->Head(); node; node = node->next) {
      cells->Append(make(*node->cell));
    }
  }
  // Destroys every cell and the list; for destructors, so it never throws.
  void DestroyCells() noexcept;
  // Keeps where the input failed, if it did, with `reason`.
  void NoteInputStop(std::string_view reason);

  std::unique_ptr<CellList> cells;
  SheetHeader* header = nullptr;
  std::optional<std::string> name;
  std::size_t outputSize = 0;
  std::unique_ptr<OutputStream> output;
  std::optional<ReadStop> stoppedEarly;

 private:
  std::unique_ptr<SheetHeader> ownedHeader_;
};

}  // namespace tabulex
