// The sheet of a KV-68 family spreadsheet variable (".68y", ".7xy", ".r2y"): reads the variable
// data into cells and intermediate records, and builds the variable data from any source sheet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "converter/model/ConversionContext.h"
#include "converter/model/Spreadsheet.h"

namespace tabulex {

// Largest count of record bytes a sheet takes; the sheet stops before a cell once it is reached.
inline constexpr std::size_t kKv68SheetLimit = 65300;
// Bytes of the fixed sheet header in front of the first record.
inline constexpr std::size_t kKv68HeaderSize = 144;
// Position of the signed extension length inside the variable data.
inline constexpr std::size_t kKv68ExtensionOffset = 142;
// Cell positions a sheet writes: rows 0-999, columns 0-64.
inline constexpr int kKv68MaxRow = 999;
inline constexpr int kKv68MaxColumn = 64;
// The type tag the variable-file component stores with a spreadsheet variable.
inline constexpr std::string_view kKv68SheetTag = "CELL";

class Kv68Sheet : public Spreadsheet {
 public:
  // Reading: parses the variable data at once, translating every cell into its record and
  // sorting the cells by position. `size` is an upper bound; parsing ends at the terminator
  // record or at the end of the bytes, whichever comes first.
  Kv68Sheet(ConversionContext& context, const void* bytes, std::size_t size);
  // Converting: one cell per source cell, each taking over the source cell's record.
  Kv68Sheet(ConversionContext& context, Spreadsheet& source);
  ~Kv68Sheet() override;

  // Takes the 8 name bytes of the file (fewer when a zero byte ends them) and makes the sheet's
  // name a valid variable name. Returns whether the name had to be changed.
  bool SetVarName(std::string_view name8);

  // Builds the sheet header; the sheet's name moves into it.
  void TranslateToIntermediate() override;
  // Sheets of this kind have no description of their own.
  std::string Describe() const override;
  // Writes every cell that fits into the output image.
  void TranslateFromIntermediate() override;
  // Completes the image: size field, header bytes and the closing zero bytes.
  std::string GetOutput() override;
  // The image without its size field and its last byte: the variable-file component writes the
  // size itself, and its own zero byte in front of the tag in place of the last one.
  std::string VariableData() override;
  VarTag ComponentTag() const override { return std::string(kKv68SheetTag); }

 private:
  void ReadCells();
};

}  // namespace tabulex
