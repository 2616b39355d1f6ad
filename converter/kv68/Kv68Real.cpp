// The KV-68 family's 10-byte real number: its decimal digits, conversion to and from doubles and
// text.
#include "converter/kv68/Kv68Real.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
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

Kv68RealBytes ZeroReal() {
  Kv68RealBytes bytes{};
  bytes[0] = 0x40;
  bytes[9] = kRealTag;
  return bytes;
}

}  // namespace

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

Kv68RealBytes EncodeReal(double value) {
  const std::optional<Decimal14> decimal = ToDecimal14(value);
  if (!decimal) return ZeroReal();
  const auto& digits = decimal->digits;
  const int exponent = decimal->exponent;
  Kv68RealBytes bytes{};
  const auto word =
      static_cast<std::uint16_t>((value < 0 ? kNegativeBase : kPositiveBase) + exponent);
  bytes[0] = static_cast<std::uint8_t>(word >> 8);
  bytes[1] = static_cast<std::uint8_t>(word & 0xFF);
  for (int i = 0; i < kRealDigits; i += 2) {
    bytes[2 + i / 2] = static_cast<std::uint8_t>((digits[i] << 4) | digits[i + 1]);
  }
  bytes[9] = kRealTag;
  return bytes;
}

}  // namespace tabulex
