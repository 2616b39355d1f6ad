// Rounding a double to the calculators' 14 significant decimal digits.
#include "converter/model/Decimal.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace tabulex {

std::optional<Decimal14> ToDecimal14(double value) {
  if (!std::isfinite(value) || value == 0.0) return std::nullopt;
  // Scientific notation with 13 digits after the point gives exactly the 14 significant
  // digits, correctly rounded, and the decimal exponent: "d.ddddddddddddde[+-]x".
  std::array<char, 64> buffer{};
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                    std::chars_format::scientific, kDecimalDigits - 1);
  if (error != std::errc()) return std::nullopt;
  const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  const std::size_t mark = text.find('e');
  if (mark == std::string_view::npos) return std::nullopt;

  Decimal14 decimal;
  std::size_t count = 0;
  for (const char c : text.substr(0, mark)) {
    if (c >= '0' && c <= '9' && count < decimal.digits.size()) {
      decimal.digits[count++] = static_cast<std::uint8_t>(c - '0');
    }
  }
  std::string_view exponent = text.substr(mark + 1);
  if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), decimal.exponent);
  return decimal;
}

}  // namespace tabulex
