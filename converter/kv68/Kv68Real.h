// The KV-68 family's 10-byte real number, held as sign, exponent and 14 decimal digits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tabulex {

// The 10 bytes of a calculator real: exponent word (big-endian), 7 BCD bytes, tag 0x23.
using Kv68RealBytes = std::array<std::uint8_t, 10>;

// Tag byte that ends a real in calculator expression data.
inline constexpr std::uint8_t kRealTag = 0x23;

// Number of significant decimal digits a real carries.
inline constexpr int kRealDigits = 14;

// A decoded calculator real: value = d0.d1...d13 x 10^exponent, negated when `negative`.
// Digits read from hostile data may hold nibble values above 9; they are kept as read.
struct Kv68Real {
  bool negative = false;
  int exponent = 0;  // the 15-bit exponent field less its bias 0x4000
  std::array<std::uint8_t, kRealDigits> digits{};

  // Reads the exponent word and the 7 BCD bytes; `bytes` must hold at least 9 bytes
  // (the tag byte, when present, is not examined).
  static Kv68Real FromBytes(std::span<const std::uint8_t> bytes);

  // True when every digit is zero.
  bool IsZero() const;

  // The value as a long double, which covers far more of the exponent range than a double;
  // exponents beyond even that give an infinity or zero of the right sign.
  long double ToLongDouble() const;

  // The value as the C library's "%.14LG" prints ToLongDouble(): straight from the digits
  // (PlainRealText) when they allow it, through the long double otherwise.
  std::string ToText() const;
};

// The text "%.14LG" gives for `real`, written from its digits, when it is zero or its digits are
// all decimal with a non-zero first digit and the exponent lies within kPlainRealTextExponent;
// nothing otherwise.
std::optional<std::string> PlainRealText(const Kv68Real& real);

// Exponents PlainRealText writes: the long double holds every such real to far more than 14
// digits, so printing it to 14 gives back exactly the stored digits.
inline constexpr int kPlainRealTextExponent = 999;

// Rounds `value` to 14 significant digits and encodes it. Zero (of either sign) and values
// that are not finite are encoded as 0.0: 40 00, seven zero bytes, 23.
Kv68RealBytes EncodeReal(double value);

// The bytes EncodeReal gives for the value of `text`, made straight from the digits, when the
// whole text is a plain decimal ("[-]digits[.digits]", at most 14 significant digits); nothing
// otherwise.
std::optional<Kv68RealBytes> EncodePlainDecimal(std::string_view text);

}  // namespace tabulex
