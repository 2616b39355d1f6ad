// The 9-byte real: encoding decimal text and formatting it back.
#include <gtest/gtest.h>

#include <string>

#include "converter/appvar/AppVarReal.h"
#include "converter/model/ErrorCodes.h"
#include "tests/support/Bytes.h"

namespace tabulex {
namespace {

using testing::Bytes;

const std::string kZero = Bytes({0x00, 0x80, 0, 0, 0, 0, 0, 0, 0});

TEST(AppVarRealTest, EncodesSignExponentAndPackedDigits) {
  EXPECT_EQ(TextToReal("12.5").bytes, Bytes({0x00, 0x81, 0x12, 0x50, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TextToReal("-0.05").bytes, Bytes({0x80, 0x7E, 0x50, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TextToReal("1000").bytes, Bytes({0x00, 0x83, 0x10, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TextToReal("0").bytes, kZero);
  EXPECT_EQ(TextToReal("-0").bytes, kZero);
}

TEST(AppVarRealTest, RoundsToFourteenSignificantDigits) {
  EXPECT_EQ(TextToReal("1.234567890123456").bytes,
            Bytes({0x00, 0x80, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35}));
  // The carry of the rounding moves into the exponent.
  EXPECT_EQ(TextToReal("99999999999999.5").bytes, Bytes({0x00, 0x8E, 0x10, 0, 0, 0, 0, 0, 0}));
}

TEST(AppVarRealTest, ParsesLikeTheCLibrary) {
  EXPECT_EQ(TextToReal("  7").bytes, Bytes({0x00, 0x80, 0x70, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TextToReal("3 APPLES").bytes, Bytes({0x00, 0x80, 0x30, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TextToReal("").bytes, kZero);
  EXPECT_EQ(TextToReal("ABC").bytes, kZero);
  // A value is read up to its first zero byte.
  EXPECT_EQ(TextToReal(std::string("5\0"
                                   "9",
                                   3))
                .bytes,
            Bytes({0x00, 0x80, 0x50, 0, 0, 0, 0, 0, 0}));
}

TEST(AppVarRealTest, OutOfRangeGivesZeroAndStatus) {
  for (const char* text : {"9.9999999999999E99", "-1E100", "1E300", "NAN", "INF"}) {
    EncodedReal real = TextToReal(text);
    EXPECT_EQ(real.bytes, kZero) << text;
    EXPECT_EQ(real.status, ERR_NUMBER_OUT_OF_RANGE) << text;
  }
  EncodedReal largest = TextToReal("9.9999999999998E99");
  EXPECT_EQ(largest.status, 0u);
  EXPECT_EQ(largest.bytes, Bytes({0x00, 0xE3, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x98}));
}

TEST(AppVarRealTest, TinyMagnitudesBecomeZero) {
  EXPECT_EQ(TextToReal("1E-128").bytes, Bytes({0x00, 0x00, 0x10, 0, 0, 0, 0, 0, 0}));
  EncodedReal tiny = TextToReal("1E-129");
  EXPECT_EQ(tiny.bytes, kZero);
  EXPECT_EQ(tiny.status, 0u);
}

TEST(AppVarRealTest, FixedNotationForExponentBytes125To137) {
  EXPECT_EQ(RealToText(Bytes({0x00, 0x81, 0x12, 0x50, 0, 0, 0, 0, 0})), "12.5");
  EXPECT_EQ(RealToText(Bytes({0x80, 0x7E, 0x50, 0, 0, 0, 0, 0, 0})), "-0.05");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x83, 0x10, 0, 0, 0, 0, 0, 0})), "1000");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x7D, 0x10, 0, 0, 0, 0, 0, 0})), "0.001");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x7F, 0x50, 0, 0, 0, 0, 0, 0})), "0.5");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x89, 0x10, 0, 0, 0, 0, 0, 0})), "1000000000");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x80, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35})),
            "1.2345678901235");
}

TEST(AppVarRealTest, ScientificNotationOutsideThatRange) {
  EXPECT_EQ(RealToText(Bytes({0x00, 0x8C, 0x15, 0, 0, 0, 0, 0, 0})), "1.5E12");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x7B, 0x20, 0, 0, 0, 0, 0, 0})), "2E-5");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x8A, 0x10, 0, 0, 0, 0, 0, 0})), "1E10");
  EXPECT_EQ(RealToText(Bytes({0x00, 0x7C, 0x10, 0, 0, 0, 0, 0, 0})), "1E-4");
  EXPECT_EQ(RealToText(Bytes({0x80, 0xE3, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99})),
            "-9.9999999999999E99");
}

TEST(AppVarRealTest, ZeroIsJudgedByTheFirstDigitByte) {
  EXPECT_EQ(RealToText(kZero), "0");
  EXPECT_EQ(RealToText(Bytes({0x80, 0x85, 0x00, 0x12, 0, 0, 0, 0, 0})), "0");
  // Any sign byte of 0x80 or more is negative.
  EXPECT_EQ(RealToText(Bytes({0xFF, 0x80, 0x20, 0, 0, 0, 0, 0, 0})), "-2");
  // Missing bytes read as zero.
  EXPECT_EQ(RealToText(Bytes({0x00, 0x80})), "0");
}

}  // namespace
}  // namespace tabulex
