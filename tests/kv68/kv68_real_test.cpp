// The 10-byte calculator real: encoding rounded to 14 digits and decoding, against byte vectors
// worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "converter/kv68/Kv68Real.h"

namespace tabulex {
namespace {

using Real = Kv68RealBytes;

const Real kZero = {0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x23};

using Limits = std::numeric_limits<double>;

TEST(Kv68RealEncode, AgainstBytesWorkedOutByHand) {
  const std::pair<double, Real> cases[] = {
      // The format's own examples.
      {1.0, {0x40, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0x23}},
      {-25.5, {0xC0, 0x01, 0x25, 0x50, 0, 0, 0, 0, 0, 0x23}},
      {12.5, {0x40, 0x01, 0x12, 0x50, 0, 0, 0, 0, 0, 0x23}},
      {0.0, kZero},
      // Negative exponents sit below the bias. 0.5 = 5.0 x 10^-1: word 0x4000 - 1.
      {0.5, {0x3F, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0x23}},
      // -0.001 = -1.0 x 10^-3: word 0xC000 - 3 keeps the sign bit.
      {-0.001, {0xBF, 0xFD, 0x10, 0, 0, 0, 0, 0, 0, 0x23}},
      // Rounded to fourteen significant digits.
      {1.0 / 3.0, {0x3F, 0xFF, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x23}},
      {2.0 / 3.0, {0x3F, 0xFF, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x67, 0x23}},
      {123456789012346.0, {0x40, 0x0E, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35, 0x23}},
      // Rounding up carries into a new leading digit and raises the exponent.
      {9.999999999999999, {0x40, 0x01, 0x10, 0, 0, 0, 0, 0, 0, 0x23}},
      // The extremes of the double range.
      {Limits::max(), {0x41, 0x34, 0x17, 0x97, 0x69, 0x31, 0x34, 0x86, 0x23, 0x23}},
      {Limits::denorm_min(), {0x3E, 0xBC, 0x49, 0x40, 0x65, 0x64, 0x58, 0x41, 0x25, 0x23}},
      // Negative zero and values that are not finite give zero.
      {-0.0, kZero},
      {Limits::infinity(), kZero},
      {-Limits::infinity(), kZero},
      {Limits::quiet_NaN(), kZero},
  };
  for (const auto& [value, bytes] : cases) EXPECT_EQ(EncodeReal(value), bytes) << value;
}

TEST(Kv68RealDecode, FieldsAndValueWithinAndBeyondTheDoubleRange) {
  const Real bytes = {0xC0, 0x01, 0x25, 0x50, 0, 0, 0, 0, 0, 0x23};
  const Kv68Real real = Kv68Real::FromBytes(bytes);
  EXPECT_TRUE(real.negative);
  EXPECT_EQ(real.exponent, 1);
  EXPECT_EQ(real.digits, (decltype(real.digits){2, 5, 5}));
  EXPECT_FALSE(real.IsZero());
  EXPECT_EQ(real.ToLongDouble(), -25.5L);
  const Real small = {0x3F, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0x23};
  EXPECT_EQ(Kv68Real::FromBytes(small).ToLongDouble(), 0.5L);
  EXPECT_TRUE(Kv68Real::FromBytes(kZero).IsZero());
  EXPECT_EQ(Kv68Real::FromBytes(kZero).ToLongDouble(), 0.0L);
  // Input shorter than a real reads as zero.
  const std::uint8_t shortInput[] = {0x40, 0x00, 0x10};
  EXPECT_TRUE(Kv68Real::FromBytes(shortInput).IsZero());
  // 1 x 10^400: word 0x4000 + 400 = 0x4190.
  const Real big = {0x41, 0x90, 0x10, 0, 0, 0, 0, 0, 0, 0x23};
  const long double value = Kv68Real::FromBytes(big).ToLongDouble();
  if constexpr (std::numeric_limits<long double>::max_exponent10 > 400) {
    EXPECT_GT(value, static_cast<long double>(std::numeric_limits<double>::max()));
    EXPECT_NEAR(static_cast<double>(std::log10(value)), 400.0, 1e-9);
  }
  // The largest exponent field overflows even a long double: an infinity, not a crash.
  const Real huge = {0x7F, 0xFF, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x23};
  EXPECT_TRUE(std::isinf(Kv68Real::FromBytes(huge).ToLongDouble()));
  const Real tiny = {0x80, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0x23};
  EXPECT_EQ(Kv68Real::FromBytes(tiny).ToLongDouble(), 0.0L);
}

}  // namespace
}  // namespace tabulex
