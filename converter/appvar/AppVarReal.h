// The 9-byte decimal real of the KV-52 Plus: sign byte, exponent byte (0x80 for 10^0) and 14
// packed BCD digits, the first of them the units digit of the mantissa.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex {

inline constexpr std::size_t kRealSize = 9;
// Zero: positive, exponent byte 0x80, all digits zero.
inline constexpr std::string_view kZeroReal{"\x00\x80\x00\x00\x00\x00\x00\x00\x00", kRealSize};

struct EncodedReal {
  // Always 9 bytes; the zero real when the value cannot be encoded.
  std::string bytes;
  // 0, or ERR_NUMBER_OUT_OF_RANGE.
  std::uint32_t status = 0;
};

// Decimal text of a real: fixed notation for exponent bytes 125 to 137, scientific otherwise,
// without trailing zero digits. Missing bytes of a short input read as zero.
std::string RealToText(std::string_view real);

// Encodes the number at the start of `text` (C-library decimal conversion, up to the first zero
// byte), rounded to 14 significant digits. Magnitudes of 9.9999999999999E99 or more and NaN give
// ERR_NUMBER_OUT_OF_RANGE and the zero real; magnitudes too small for the exponent byte give zero.
// Plain decimals are encoded from their digits (PlainDecimalToReal), the rest from their value.
EncodedReal TextToReal(std::string_view text);

// Encodes `value` rounded to 14 significant digits, with the range rules of TextToReal.
EncodedReal DoubleToReal(double value);

// The same bytes as DoubleToReal of the value of `text`, made straight from the digits, when the
// whole text is a plain decimal ("[-]digits[.digits]", at most 14 significant digits) within the
// exponent byte's range; nothing otherwise.
std::optional<EncodedReal> PlainDecimalToReal(std::string_view text);

}  // namespace tabulex
