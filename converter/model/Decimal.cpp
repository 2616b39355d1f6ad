// Rounding a double to the calculators' 14 significant decimal digits, and reading plain decimal
// text without a conversion to double.
#include "converter/model/Decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace tabulex {

namespace {

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The digits before and after the point of "digits[.digits]"; nothing for any other text.
std::optional<std::pair<std::string_view, std::string_view>> SplitAtPoint(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view integer = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (integer.empty() || !AllDigits(integer) || !AllDigits(fraction)) return std::nullopt;
  if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
  return std::pair(integer, fraction);
}

}  // namespace

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

std::optional<PlainDecimal> ParsePlainDecimal(std::string_view text) {
  PlainDecimal plain;
  if (!text.empty() && text.front() == '-') {
    plain.negative = true;
    text.remove_prefix(1);
  }
  const auto parts = SplitAtPoint(text);
  if (!parts) return std::nullopt;
  // Named copies: lambdas cannot capture structured bindings in every compiler we build with.
  const std::string_view integer = parts->first;
  const std::string_view fraction = parts->second;
  // The digits read as one run, integer part first; the run's digit k stands for
  // 10^(integer.size() - 1 - k).
  const auto digitAt = [&](std::size_t k) {
    return k < integer.size() ? integer[k] : fraction[k - integer.size()];
  };
  const std::size_t count = integer.size() + fraction.size();
  std::size_t first = 0;
  while (first < count && digitAt(first) == '0') ++first;
  if (first == count) return plain;  // zero
  std::size_t last = count - 1;
  while (digitAt(last) == '0') --last;
  if (last - first >= static_cast<std::size_t>(kDecimalDigits)) return std::nullopt;
  // Compared before narrowing: a text of thousands of zeros must not wrap the exponent.
  const auto exponent =
      static_cast<std::ptrdiff_t>(integer.size()) - 1 - static_cast<std::ptrdiff_t>(first);
  if (exponent < -kPlainExponentLimit || exponent > kPlainExponentLimit) return std::nullopt;

  Decimal14 decimal;
  decimal.exponent = static_cast<int>(exponent);
  for (std::size_t k = first; k <= last; ++k) {
    decimal.digits[k - first] = static_cast<std::uint8_t>(digitAt(k) - '0');
  }
  plain.magnitude = decimal;
  return plain;
}

}  // namespace tabulex
