// Text to .5xv and back through the conversion driver and the stand-in components.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/Spreadsheet.h"
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

TEST_F(AppVarRoundTripTest, LongTextAndDroppedCells) {
  // 45 characters keep 39 after the quote token; a cell in column AA is not written.
  std::string text = std::string(45, 'x') + "\r\n";
  text += std::string(26, '\t') + "7\r\n";
  EXPECT_EQ(RoundTrip(text, "LONG", ZQ_TABULEX_52P), std::string(39, 'X') + "\t");
}

TEST_F(AppVarRoundTripTest, DeviceNameIsTheSheetName) {
  Write("source.txt", "1\r\n");
  ASSERT_EQ(Convert("source.txt", ZQ_TAB_TEXT, "sales-q1", ZQ_TABULEX_52P), kOk);
  // The component changed the name, so the user was told.
  EXPECT_EQ(ui->messages.size(), 1u);
  LoadedSource loaded = Conv().ReadSource(PathOf("SALESQ1.5xv"), ZQ_TABULEX_52P, "", "ignored");
  ASSERT_EQ(loaded.Result(), kOk);
  ASSERT_NE(loaded.Sheet(), nullptr);
  EXPECT_EQ(loaded.Sheet()->Header()->name, "SALESQ1");
}

}  // namespace
}  // namespace tabulex
