// Text to .5xv and back through the conversion driver and the stand-in components.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/DriverFixture.h"

namespace tabulex {
namespace {

using AppVarRoundTripTest = testing::DriverTest;

TEST_F(AppVarRoundTripTest, CellsComeBackInTheCalculatorsSpelling) {
  const std::string text =
      "hello\t12.5\t=SUM(A1:A5)\r\n"
      "$12\t3 apples\t1500000000000\r\n"
      "0.00002\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\r\n"
      "$0.5\t=$A$1*2\t-0.05\r\n";
  // Text is upper-cased; "$12" is stored as the number 12; numbers outside fixed notation come
  // back in scientific form; formulas come back in the dialect's spelling, which the text writer
  // turns into Excel's ("If(" becomes "IF("); the "$" of a text that is no amount has no token
  // and reads "?".
  EXPECT_EQ(RoundTrip(text, "ROUND", ZQ_TABULEX_52P),
            "HELLO\t12.5\t=SUM(A1:A5)\t\t\r\n"
            "12\t3 APPLES\t1.5E12\t\t\r\n"
            "2E-5\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\t\t\r\n"
            "?0.5\t=$A$1*2\t-0.05\t");
  EXPECT_TRUE(ui->messages.empty());
}

}  // namespace
}  // namespace tabulex
