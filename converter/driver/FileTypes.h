// The file types a conversion reads and writes, their extensions and device type codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace tabulex {

enum TABULEX_FILE_TYPES : std::int32_t {
  ZQ_EXCEL = 0,
  ZQ_TAB_TEXT = 1,
  ZQ_TABULEX_52P = 2,
  ZQ_TABULEX_68 = 3,
  ZQ_TABULEX_74 = 4,
  ZQ_TABULEX_RB200 = 5,
  ZQ_TABULEX_NULL = 6,
};

// The device type code handed to the variable-file component: 2 gives 5, 3 gives 7, 4 gives 9,
// 5 gives 10; any other value is returned unchanged.
constexpr std::int32_t DeviceTypeOf(std::int32_t type) {
  switch (type) {
    case ZQ_TABULEX_52P:
      return 5;
    case ZQ_TABULEX_68:
      return 7;
    case ZQ_TABULEX_74:
      return 9;
    case ZQ_TABULEX_RB200:
      return 10;
    default:
      return type;
  }
}

// The output extension of a type; empty for ZQ_TABULEX_NULL and unknown values.
constexpr std::string_view ExtensionOf(std::int32_t type) {
  switch (type) {
    case ZQ_EXCEL:
      return ".xls";
    case ZQ_TAB_TEXT:
      return ".txt";
    case ZQ_TABULEX_52P:
      return ".5xv";
    case ZQ_TABULEX_68:
      return ".68y";
    case ZQ_TABULEX_74:
      return ".7xy";
    case ZQ_TABULEX_RB200:
      return ".r2y";
    default:
      return "";
  }
}

constexpr bool IsKv68Family(std::int32_t type) {
  return type == ZQ_TABULEX_68 || type == ZQ_TABULEX_74 || type == ZQ_TABULEX_RB200;
}

constexpr bool IsCalculatorType(std::int32_t type) {
  return type == ZQ_TABULEX_52P || IsKv68Family(type);
}

// Text and workbooks: the types whose formulas are in the spreadsheet's own syntax.
constexpr bool IsSpreadsheetType(std::int32_t type) {
  return type == ZQ_EXCEL || type == ZQ_TAB_TEXT;
}

constexpr bool IsKnownSourceType(std::int32_t type) {
  return type >= ZQ_EXCEL && type < ZQ_TABULEX_NULL;
}

}  // namespace tabulex
