// The KV-68 family's 10-byte real number: its decimal digits, conversion to and from doubles and
// text.
#include "converter/kv68/Kv68Real.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>

#include "converter/model/ByteStream.h"
#include "converter/model/Decimal.h"

namespace tabulex {

namespace {

constexpr std::uint16_t kPositiveBase = 0x4000;
constexpr std::uint16_t kNegativeBase = 0xC000;
constexpr std::uint16_t kExponentMask = 0x7FFF;
constexpr std::uint16_t kSignBit = 0x8000;
// Largest n for which 10^n is exact in a long double: 5^27 < 2^64 for a 64-bit mantissa,
// 5^22 < 2^53 where a long double is only a double.
constexpr int kExactPowers = std::numeric_limits<long double>::digits >= 64 ? 27 : 22;

// "%G" writes a value in fixed notation when its exponent lies from -4 to the precision less one.
constexpr int kLowestFixedExponent = -4;

Kv68RealBytes ZeroReal() {
  Kv68RealBytes bytes{};
  bytes[0] = 0x40;
  bytes[9] = kRealTag;
  return bytes;
}

// The exponent word with its sign bit, the 14 digits packed two to a byte, the tag.
Kv68RealBytes PackReal(bool negative, const Decimal14& decimal) {
  Kv68RealBytes bytes{};
  const auto word =
      static_cast<std::uint16_t>((negative ? kNegativeBase : kPositiveBase) + decimal.exponent);
  bytes[0] = static_cast<std::uint8_t>(word >> 8);
  bytes[1] = static_cast<std::uint8_t>(word & 0xFF);
  for (int i = 0; i < kRealDigits; i += 2) {
    bytes[2 + i / 2] = static_cast<std::uint8_t>((decimal.digits[i] << 4) | decimal.digits[i + 1]);
  }
  bytes[9] = kRealTag;
  return bytes;
}

bool Printable(const Kv68Real& real) {
  if (real.digits[0] == 0) return false;
  for (const std::uint8_t digit : real.digits) {
    if (digit > 9) return false;
  }
  return real.exponent >= -kPlainRealTextExponent && real.exponent <= kPlainRealTextExponent;
}

// "%G"'s exponent: a sign and at least two digits.
void AppendExponent(std::string& text, int exponent) {
  text += 'E';
  text += exponent < 0 ? '-' : '+';
  const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
  if (magnitude.size() < 2) text += '0';
  text += magnitude;
}

}  // namespace

std::optional<std::string> PlainRealText(const Kv68Real& real) {
  // Zero, the value of every formula cell as written, at any exponent; its sign stays.
  if (real.IsZero()) return real.negative ? "-0" : "0";
  if (!Printable(real)) return std::nullopt;
  // "%G" drops trailing zeros, and the point when no fraction is left.
  int count = kRealDigits;
  while (real.digits[count - 1] == 0) --count;
  // Digits past `count` are zeros, which the fixed notation of a large integer shows.
  const auto digit = [&](int i) { return static_cast<char>('0' + real.digits[i]); };
  std::string text;
  if (real.negative) text += '-';
  const int exponent = real.exponent;
  if (exponent < kLowestFixedExponent || exponent >= kRealDigits) {
    text += digit(0);
    if (count > 1) text += '.';
    for (int i = 1; i < count; ++i) text += digit(i);
    AppendExponent(text, exponent);
  } else if (exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    for (int i = 0; i < count; ++i) text += digit(i);
  } else {
    for (int i = 0; i <= exponent; ++i) text += digit(i);
    if (count > exponent + 1) text += '.';
    for (int i = exponent + 1; i < count; ++i) text += digit(i);
  }
  return text;
}

Kv68Real Kv68Real::FromBytes(std::span<const std::uint8_t> bytes) {
  Kv68Real real;
  InputStream in = InputStream::Over(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  const std::optional<std::uint16_t> word = in.ReadU16BE();
  const std::optional<std::string_view> packed = in.Slice(kRealDigits / 2);
  if (in.Failed()) return real;
  real.negative = (*word & kSignBit) != 0;
  real.exponent = static_cast<int>(*word & kExponentMask) - static_cast<int>(kPositiveBase);
  for (int i = 0; i < kRealDigits; ++i) {
    const auto pair = static_cast<std::uint8_t>((*packed)[static_cast<std::size_t>(i / 2)]);
    real.digits[i] = (i % 2 == 0) ? static_cast<std::uint8_t>(pair >> 4)
                                  : static_cast<std::uint8_t>(pair & 0x0F);
  }
  return real;
}

bool Kv68Real::IsZero() const {
  for (const std::uint8_t digit : digits) {
    if (digit != 0) {
      return false;
    }
  }
  return true;
}

long double Kv68Real::ToLongDouble() const {
  // The 14 digits as one integer (exact in a long double, even with nibbles above 9), scaled
  // by a power of ten chosen so that the digit string reads d0.d1...d13.
  std::uint64_t mantissa = 0;
  for (const std::uint8_t digit : digits) {
    mantissa = mantissa * 10 + digit;
  }
  long double value = static_cast<long double>(mantissa);
  const int scale = exponent - (kRealDigits - 1);
  if (mantissa == 0 || scale == 0) {
    // nothing to scale
  } else if (scale >= -kExactPowers && scale <= kExactPowers) {
    // Small powers of ten are exact in a long double, so one correctly rounded multiply
    // or divide gives the nearest value on every platform (25.5 stays exactly 25.5).
    long double power = 1.0L;
    for (int i = 0; i < (scale < 0 ? -scale : scale); ++i) power *= 10.0L;
    value = scale < 0 ? value / power : value * power;
  } else if (scale < -4000) {
    // Split very small scales so the power itself does not underflow before the multiply.
    value *= std::pow(10.0L, -4000.0L);
    value *= std::pow(10.0L, static_cast<long double>(scale + 4000));
  } else {
    value *= std::pow(10.0L, static_cast<long double>(scale));
  }
  return negative ? -value : value;
}

std::string Kv68Real::ToText() const {
  if (std::optional<std::string> text = PlainRealText(*this)) return *std::move(text);
  std::array<char, 64> text{};
  const int length = std::snprintf(text.data(), text.size(), "%.14LG", ToLongDouble());
  return std::string(text.data(), static_cast<std::size_t>(std::clamp(length, 0, 63)));
}

Kv68RealBytes EncodeReal(double value) {
  const std::optional<Decimal14> decimal = ToDecimal14(value);
  if (!decimal) return ZeroReal();
  return PackReal(value < 0, *decimal);
}

std::optional<Kv68RealBytes> EncodePlainDecimal(std::string_view text) {
  const std::optional<PlainDecimal> plain = ParsePlainDecimal(text);
  if (!plain) return std::nullopt;
  // Zero, of either sign, is written as 0.0.
  if (!plain->magnitude) return ZeroReal();
  return PackReal(plain->negative, *plain->magnitude);
}

}  // namespace tabulex
