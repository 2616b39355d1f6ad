// The 9-byte real: encoding decimal text and formatting it back.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "converter/appvar/AppVarReal.h"
#include "converter/model/ErrorCodes.h"
#include "tests/support/Bytes.h"

namespace tabulex {
namespace {

using testing::Bytes;

const std::string kZero = Bytes({0x00, 0x80, 0, 0, 0, 0, 0, 0, 0});

TEST(AppVarRealTest, TextToRealAgainstBytesWorkedOutByHand) {
  const struct {
    std::string text;
    std::string bytes;  // sign, exponent byte 0x80 + exponent, seven bytes of packed digits
    std::uint32_t status = 0;
  } cases[] = {
      {"12.5", Bytes({0x00, 0x81, 0x12, 0x50, 0, 0, 0, 0, 0})},
      {"-0.05", Bytes({0x80, 0x7E, 0x50, 0, 0, 0, 0, 0, 0})},
      {"1000", Bytes({0x00, 0x83, 0x10, 0, 0, 0, 0, 0, 0})},
      {"0", kZero},
      {"-0", kZero},
      // Rounded to fourteen significant digits; the carry of the rounding moves into the exponent.
      {"1.234567890123456", Bytes({0x00, 0x80, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35})},
      {"99999999999999.5", Bytes({0x00, 0x8E, 0x10, 0, 0, 0, 0, 0, 0})},
      // Parsed like the C library, up to the first zero byte.
      {"  7", Bytes({0x00, 0x80, 0x70, 0, 0, 0, 0, 0, 0})},
      {"3 APPLES", Bytes({0x00, 0x80, 0x30, 0, 0, 0, 0, 0, 0})},
      {"", kZero},
      {"ABC", kZero},
      {std::string("5\0009", 3), Bytes({0x00, 0x80, 0x50, 0, 0, 0, 0, 0, 0})},
      // Out of range: zero and the status; the largest real still fits.
      {"9.9999999999999E99", kZero, ERR_NUMBER_OUT_OF_RANGE},
      {"-1E100", kZero, ERR_NUMBER_OUT_OF_RANGE},
      {"1E300", kZero, ERR_NUMBER_OUT_OF_RANGE},
      {"NAN", kZero, ERR_NUMBER_OUT_OF_RANGE},
      {"INF", kZero, ERR_NUMBER_OUT_OF_RANGE},
      {"9.9999999999998E99", Bytes({0x00, 0xE3, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x98})},
      // Tiny magnitudes become zero without a status.
      {"1E-128", Bytes({0x00, 0x00, 0x10, 0, 0, 0, 0, 0, 0})},
      {"1E-129", kZero},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const EncodedReal real = TextToReal(c.text);
    EXPECT_EQ(real.bytes, c.bytes);
    EXPECT_EQ(real.status, c.status);
  }
}

TEST(AppVarRealTest, RealToTextAgainstBytesWorkedOutByHand) {
  const std::pair<std::string, std::string> cases[] = {
      // Fixed notation for exponent bytes 125 to 137.
      {Bytes({0x00, 0x81, 0x12, 0x50, 0, 0, 0, 0, 0}), "12.5"},
      {Bytes({0x80, 0x7E, 0x50, 0, 0, 0, 0, 0, 0}), "-0.05"},
      {Bytes({0x00, 0x83, 0x10, 0, 0, 0, 0, 0, 0}), "1000"},
      {Bytes({0x00, 0x7D, 0x10, 0, 0, 0, 0, 0, 0}), "0.001"},
      {Bytes({0x00, 0x7F, 0x50, 0, 0, 0, 0, 0, 0}), "0.5"},
      {Bytes({0x00, 0x89, 0x10, 0, 0, 0, 0, 0, 0}), "1000000000"},
      {Bytes({0x00, 0x80, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35}), "1.2345678901235"},
      // Scientific notation outside that range.
      {Bytes({0x00, 0x8C, 0x15, 0, 0, 0, 0, 0, 0}), "1.5E12"},
      {Bytes({0x00, 0x7B, 0x20, 0, 0, 0, 0, 0, 0}), "2E-5"},
      {Bytes({0x00, 0x8A, 0x10, 0, 0, 0, 0, 0, 0}), "1E10"},
      {Bytes({0x00, 0x7C, 0x10, 0, 0, 0, 0, 0, 0}), "1E-4"},
      {Bytes({0x80, 0xE3, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}), "-9.9999999999999E99"},
      // Zero is judged by the first digit byte.
      {kZero, "0"},
      {Bytes({0x80, 0x85, 0x00, 0x12, 0, 0, 0, 0, 0}), "0"},
      // Any sign byte of 0x80 or more is negative.
      {Bytes({0xFF, 0x80, 0x20, 0, 0, 0, 0, 0, 0}), "-2"},
      // Missing bytes read as zero.
      {Bytes({0x00, 0x80}), "0"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(RealToText(bytes), text) << text;
}

}  // namespace
}  // namespace tabulex
