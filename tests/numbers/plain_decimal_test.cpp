// Plain decimals read straight from their digits, and KV-68 reals written straight as text,
// against values and bytes worked out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "converter/appvar/AppVarReal.h"
#include "converter/kv68/Kv68Real.h"
#include "converter/model/Decimal.h"
#include "tests/support/Bytes.h"

namespace tabulex {
namespace {

using testing::Bytes;

TEST(ParsePlainDecimal, CountsOnlySignificantDigits) {
  // Fourteen significant digits between zeros are plain; fifteen are not.
  EXPECT_TRUE(ParsePlainDecimal("000.0012345678901234000"));
  EXPECT_TRUE(ParsePlainDecimal("12345678901234000000"));
  EXPECT_FALSE(ParsePlainDecimal("123456789012345"));
  EXPECT_FALSE(ParsePlainDecimal("1.00000000000001"));
}

TEST(ParsePlainDecimal, RefusesEveryOtherFormAndStaysWithinTheExponentLimit) {
  for (const char* text : {"", "-", "+5", " 5", "5 ", ".5", "5.", "-.5", "1e5", "1E5", "0x10",
                           "inf", "nan", "1,5", "1.2.3", "--5", "5-", "\t5"}) {
    EXPECT_FALSE(ParsePlainDecimal(text)) << text;
  }
  // 10^300 and 10^-300 are plain; one more zero either way is not.
  EXPECT_TRUE(ParsePlainDecimal("1" + std::string(300, '0')));
  EXPECT_FALSE(ParsePlainDecimal("1" + std::string(301, '0')));
  EXPECT_TRUE(ParsePlainDecimal("0." + std::string(299, '0') + "1"));
  EXPECT_FALSE(ParsePlainDecimal("0." + std::string(300, '0') + "1"));
  // Far too many zeros to fit an int must not wrap around into range.
  EXPECT_FALSE(ParsePlainDecimal("0." + std::string(100000, '0') + "1"));
}

TEST(PlainDecimalToReal, WritesTheNineByteReal) {
  // sign, exponent byte 0x80 + 1, digits 2 5 5 0 ...
  EXPECT_EQ(PlainDecimalToReal("-25.5")->bytes, Bytes({0x80, 0x81, 0x25, 0x50, 0, 0, 0, 0, 0}));
  // 0.001 = 1 x 10^-3: exponent byte 0x7D.
  EXPECT_EQ(PlainDecimalToReal("0.001")->bytes, Bytes({0x00, 0x7D, 0x10, 0, 0, 0, 0, 0, 0}));
  // All fourteen digits.
  EXPECT_EQ(PlainDecimalToReal("12345678901234")->bytes,
            Bytes({0x00, 0x8D, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}));
  // Zero, of either sign: positive, exponent byte 0x80, no digits.
  EXPECT_EQ(PlainDecimalToReal("-0.00")->bytes, Bytes({0x00, 0x80, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(EncodePlainDecimal, WritesTheTenByteReal) {
  using Real = Kv68RealBytes;
  // exponent word 0xC000 + 1, digits 2 5 5 0 ..., tag
  EXPECT_EQ(EncodePlainDecimal("-25.5"), (Real{0xC0, 0x01, 0x25, 0x50, 0, 0, 0, 0, 0, 0x23}));
  // 0.5: word 0x4000 - 1.
  EXPECT_EQ(EncodePlainDecimal("0.5"), (Real{0x3F, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0x23}));
  // 10^300: word 0x4000 + 0x12C.
  EXPECT_EQ(EncodePlainDecimal("1" + std::string(300, '0')),
            (Real{0x41, 0x2C, 0x10, 0, 0, 0, 0, 0, 0, 0x23}));
  // Zero, of either sign, is 0.0.
  EXPECT_EQ(EncodePlainDecimal("-0"), (Real{0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x23}));
  EXPECT_FALSE(EncodePlainDecimal("1.5e3"));
}

// A real with the given digits (zeros after them) and exponent.
Kv68Real RealOf(bool negative, int exponent, std::vector<std::uint8_t> digits) {
  Kv68Real real;
  real.negative = negative;
  real.exponent = exponent;
  for (std::size_t i = 0; i < digits.size(); ++i) real.digits[i] = digits[i];
  return real;
}

TEST(PlainRealText, FixedFromTenToTheMinusFourToTheThirteenthAndScientificOutside) {
  const std::pair<Kv68Real, std::string> cases[] = {
      {RealOf(false, 1, {2, 5, 5}), "25.5"},
      {RealOf(true, 2, {1, 2}), "-120"},
      {RealOf(false, -4, {1, 5}), "0.00015"},
      {RealOf(false, 13, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4}), "12345678901234"},
      {RealOf(false, 0, {7}), "7"},
      {RealOf(false, -5, {1, 5}), "1.5E-05"},
      {RealOf(true, 14, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4}), "-1.2345678901234E+14"},
      {RealOf(false, 100, {1}), "1E+100"},
      {RealOf(false, -999, {9, 9}), "9.9E-999"},
      // Zero keeps its sign at any exponent.
      {RealOf(false, 0, {}), "0"},
      {RealOf(true, 0, {}), "-0"},
      {RealOf(false, 5000, {}), "0"},
  };
  for (const auto& [real, text] : cases) EXPECT_EQ(PlainRealText(real), text) << text;
}

TEST(PlainRealText, LeavesOddDigitsToTheGeneralFormatting) {
  // A leading zero, a nibble above 9 and exponents past the limit.
  EXPECT_FALSE(PlainRealText(RealOf(false, 0, {0, 5})));
  EXPECT_FALSE(PlainRealText(RealOf(false, 0, {1, 12})));
  EXPECT_FALSE(PlainRealText(RealOf(false, 1000, {1})));
  // ToText still gives what the C library prints for them.
  EXPECT_EQ(RealOf(false, 0, {0, 5}).ToText(), "0.5");
  EXPECT_EQ(RealOf(false, 1000, {1}).ToText(), "1E+1000");
}

}  // namespace
}  // namespace tabulex
