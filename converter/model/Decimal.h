// The 14-digit decimal form both calculator families store their reals in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tabulex {

inline constexpr int kDecimalDigits = 14;

// A magnitude rounded to 14 significant digits: d0.d1...d13 x 10^exponent.
struct Decimal14 {
  // Digit values 0 to 9, the most significant first.
  std::array<std::uint8_t, kDecimalDigits> digits{};
  // The decimal exponent of the first digit.
  int exponent = 0;
};

// The correctly rounded digits of |value|; nothing for zero, infinities and NaN.
std::optional<Decimal14> ToDecimal14(double value);

// Decimal exponents a plain decimal may have. Within them every value of at most 14 significant
// digits is a normal double, whose 14 correctly rounded digits are the written ones again.
inline constexpr int kPlainExponentLimit = 300;

// A number written as "[-]digits[.digits]" with at most 14 significant digits.
struct PlainDecimal {
  bool negative = false;
  // The written digits, zeros appended; nothing when every digit is zero.
  std::optional<Decimal14> magnitude;
};

// Reads `text` when the whole of it is a plain decimal whose exponent lies within
// kPlainExponentLimit: such a number needs no rounding, so it is encoded straight from its
// digits, with the value a C-library conversion would give. Nothing for any other text.
std::optional<PlainDecimal> ParsePlainDecimal(std::string_view text);

}  // namespace tabulex
