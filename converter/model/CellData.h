// The format-neutral intermediate cell and sheet header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tabulex {

// The kind of an intermediate cell. Formats may carry flags in the upper bits of CellData::type;
// text cells look only at the two low bits.
enum CellType : std::uint16_t {
  CELL_NUMBER = 0,
  CELL_TEXT = 1,
  CELL_STRING = 2,
  CELL_FORMULA = 3,
};

// Codes of the format that produced an intermediate sheet.
inline constexpr std::uint16_t SOURCE_TEXT = 131;
inline constexpr std::uint16_t SOURCE_KV68 = 132;
inline constexpr std::uint16_t SOURCE_KV52P = 133;

// One intermediate cell. Records move between cells and are never copied, so a record is freed
// exactly once, by the cell that owns it last.
struct CellData {
  CellData() = default;
  CellData(std::int16_t r, std::int16_t c) : row(r), column(c) {}
  CellData(const CellData&) = delete;
  CellData& operator=(const CellData&) = delete;

  std::int16_t row = 0;     // 1-based
  std::int16_t column = 0;  // 1-based, 1 is column A
  std::uint16_t type = CELL_NUMBER;
  // Bytes of the value; may hold zero bytes (text formulas store 8 of them). Null when unset.
  std::optional<std::string> value;
  // Formula text in the neutral syntax; null when the cell has none.
  std::optional<std::string> formula;
  // Length of the text in `value` as last stored by a text cell.
  std::uint32_t length = 0;
};

// The sheet-level part of the intermediate model.
struct SheetHeader {
  SheetHeader() = default;
  SheetHeader(const SheetHeader&) = delete;
  SheetHeader& operator=(const SheetHeader&) = delete;

  std::uint16_t source = 0;
  std::optional<std::string> name;
};

}  // namespace tabulex
