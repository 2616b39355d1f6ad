// The 14-digit decimal form both calculator families store their reals in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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

}  // namespace tabulex
