// Result codes and error codes shared by the converter's parts.
#pragma once

#include <cstdint>

namespace tabulex {

// A COM-style result: negative values are failures.
using HResult = std::int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);

// Results of a conversion besides kOk and kFail.
inline constexpr HResult CONVERT_CANCELLED = 2;
inline constexpr HResult CONVERT_SKIPPED = 3;
inline constexpr HResult CONVERT_E_SOURCE_TOO_SMALL = static_cast<HResult>(0xF0000001u);

// Error codes shown to the user through ReportErrorCode.
inline constexpr std::uint32_t ERR_WRITE_FAILED = 0x8C050001u;
inline constexpr std::uint32_t ERR_DEVICE_NOT_SUPPORTED = 0x8C050012u;
inline constexpr std::uint32_t ERR_NOT_A_SPREADSHEET = 0x8C050019u;
inline constexpr std::uint32_t ERR_EXCEL_NOT_STARTED = 0x8C05001Bu;
inline constexpr std::uint32_t ERR_SOURCE_TOO_SMALL = 0x8C05001Cu;
inline constexpr std::uint32_t ERR_SOURCE_OPEN = 0x8C05001Du;
inline constexpr std::uint32_t ERR_EXCEL_FAILED = 0x8C05001Fu;
inline constexpr std::uint32_t ERR_SHEET_TOO_LARGE = 0x8C050021u;
inline constexpr std::uint32_t ERR_NUMBER_OUT_OF_RANGE = 0x8C020012u;
inline constexpr std::uint32_t ERR_ASSEMBLY_TOKENS = 0x8C020014u;

}  // namespace tabulex
