// The file types a conversion reads and writes, and the layout of each calculator file type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/appvar/AppVarSheet.h"
#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/ConversionContext.h"

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

// The calculator families, numbered as the variable-file component reports them.
enum class CalculatorFamily : std::int32_t { kNone = 0, kKv52 = 1, kKv68 = 2 };

// One calculator file type: how its file is laid out around the variable data and how the
// variable-file component knows it.
struct CalculatorFileType {
  std::int32_t fileType;
  // The device type code handed to the variable-file component.
  std::int32_t deviceType;
  std::string_view extension;
  CalculatorFamily family;
  // Where the file keeps the 8-byte variable name the sheet takes; 0 when the sheet's own data
  // holds the name.
  std::size_t nameOffset;
  // Where the sheet's data starts in the file; it ends before the 2-byte checksum.
  std::size_t dataOffset;
  // The smallest file that can hold a sheet.
  std::size_t minimumSize;
  // The tag stored with the variable data: a number for one family, a string for the other.
  std::uint32_t numberTag;
  std::string_view stringTag;
  // The icon of a message that reports a failure of the variable-file component.
  std::uint32_t componentErrorIcon;
};

inline constexpr std::size_t kCalculatorNameLength = 8;
inline constexpr std::size_t kCalculatorChecksumLength = 2;

// clang-format off
inline constexpr CalculatorFileType kCalculatorFileTypes[] = {
  // file type        device  ext     family                    name  data  min   tags                                         error icon
  {ZQ_TABULEX_52P,    5,      ".5xv", CalculatorFamily::kKv52,  0,    72,   272,  kAppVarSheetSignature, "",           message::kIconError},
  {ZQ_TABULEX_68,     7,      ".68y", CalculatorFamily::kKv68,  64,   88,   243,  0,                     kKv68SheetTag, message::kIconInformation},
  {ZQ_TABULEX_74,     9,      ".7xy", CalculatorFamily::kKv68,  64,   88,   243,  0,                     kKv68SheetTag, message::kIconInformation},
  {ZQ_TABULEX_RB200,  10,     ".r2y", CalculatorFamily::kKv68,  64,   88,   243,  0,                     kKv68SheetTag, message::kIconInformation},
};
// clang-format on

// The description of a calculator file type; null for the other types.
constexpr const CalculatorFileType* CalculatorFileTypeOf(std::int32_t type) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.fileType == type) return &entry;
  }
  return nullptr;
}

// The calculator file type of a device type code; null for unknown codes.
constexpr const CalculatorFileType* CalculatorFileTypeOfDevice(std::int32_t deviceType) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.deviceType == deviceType) return &entry;
  }
  return nullptr;
}

// The device type code handed to the variable-file component; other values are returned
// unchanged. (These look-ups loop over the table rather than test a found pointer for null, which
// some sanitizer builds do not accept in constant expressions.)
constexpr std::int32_t DeviceTypeOf(std::int32_t type) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.fileType == type) return entry.deviceType;
  }
  return type;
}

// The output extension of a type; empty for ZQ_TABULEX_NULL and unknown values.
constexpr std::string_view ExtensionOf(std::int32_t type) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.fileType == type) return entry.extension;
  }
  if (type == ZQ_EXCEL) return ".xls";
  if (type == ZQ_TAB_TEXT) return ".txt";
  return "";
}

constexpr CalculatorFamily FamilyOf(std::int32_t type) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.fileType == type) return entry.family;
  }
  return CalculatorFamily::kNone;
}

constexpr bool IsKv68Family(std::int32_t type) {
  return FamilyOf(type) == CalculatorFamily::kKv68;
}

constexpr bool IsCalculatorType(std::int32_t type) {
  return FamilyOf(type) != CalculatorFamily::kNone;
}

// The first bytes of a workbook file, whatever its name: a zip package (.xlsx, .ods) or a
// compound document (.xls).
inline constexpr std::string_view kWorkbookSignatures[] = {
    "PK\x03\x04",
    "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1",
};

// Text and workbooks: the types whose formulas are in the spreadsheet's own syntax.
constexpr bool IsSpreadsheetType(std::int32_t type) {
  return type == ZQ_EXCEL || type == ZQ_TAB_TEXT;
}

constexpr bool IsKnownSourceType(std::int32_t type) {
  return type >= ZQ_EXCEL && type < ZQ_TABULEX_NULL;
}

}  // namespace tabulex
