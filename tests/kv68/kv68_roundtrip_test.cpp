// Text through KV-68 family files and back, with the conversion driver and the stand-in
// components.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/model/Spreadsheet.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/DriverFixture.h"

namespace tabulex {
namespace {

using namespace std::string_literals;
using testing::Kv68SheetHeader;

using Kv68RoundTripTest = testing::DriverTest;

TEST_F(Kv68RoundTripTest, CellsComeBackInTheFamilysSpelling) {
  const std::string text =
      "3\tTotal\t=SUM(A1:B2)\r\n"
      "-2.5\t=AVERAGE(A1:B1)\t=PI()*2\r\n"
      "\t=IF(A1>0,1,2)\tx\r\n";
  // Numbers come back as formulas giving the calculator's rendering of them; formulas come back
  // lower-cased, with the family's own names turned back into the neutral ones.
  EXPECT_EQ(RoundTrip(text, "round", ZQ_TABULEX_68),
            "=3.\tTotal\t=sum(a1:b2)\t\t\r\n"
            "=-2.5\t=average(a1:b1)\t=PI()*2\t\t\r\n"
            "\t=if(a1>0,1,2)\tx\t");
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Kv68RoundTripTest, HandMadeFileIsReadFromItsNameAndData) {
  // The variable data: header, two records out of order, terminator; named "9lives".
  const std::string records =
      "\x0B\x03\xE9\x01\x22hi\x22\x00\x00\x00"s +                           // B1
      "\x10\x00\x01\x00\x40\x01\x12\x50\x00\x00\x00\x00\x00\x23\x00\x00"s;  // A1
  const std::string file =
      testing::Kv68File("**KV68**", Kv68SheetHeader() + records + "\0"s, "9lives");
  ASSERT_GT(file.size(), 242u);
  Write("hand.68y", file);
  LoadedSource loaded = Conv().ReadSource(PathOf("hand.68y"), ZQ_TABULEX_68, "", "ignored");
  ASSERT_EQ(loaded.Result(), kOk);
  ASSERT_NE(loaded.Sheet(), nullptr);
  EXPECT_EQ(loaded.Sheet()->Header()->name, "Alives");
  EXPECT_EQ(loaded.Sheet()->Header()->source, SOURCE_KV68);
  ASSERT_EQ(Convert("hand.68y", ZQ_TABULEX_68, "back", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("back.txt"), "=12.5\thi\t");
}

}  // namespace
}  // namespace tabulex
