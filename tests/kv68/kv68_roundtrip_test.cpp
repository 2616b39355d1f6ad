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

TEST_F(Kv68RoundTripTest, LongFormulaIsCutAndTheCellsBehindItSurvive) {
  const std::string text = "=" + std::string(299, 'B') + "\t7\r\n";
  EXPECT_EQ(RoundTrip(text, "long", ZQ_TABULEX_68), "=" + std::string(236, 'b') + "\t=7.\t");
}

TEST_F(Kv68RoundTripTest, NumberBeyondEveryRealIsReportedAndWrittenAsZero) {
  const std::string text = "2" + std::string(309, '0') + "\t5\r\n";
  EXPECT_EQ(RoundTrip(text, "range", ZQ_TABULEX_68), "=0.\t=5.\t");
  ASSERT_EQ(ui->messages.size(), 1u);
  EXPECT_EQ(ui->messages[0].text, "Cell Data Value out of range");
  EXPECT_EQ(ui->messages[0].style, message::kOk);
}

TEST_F(Kv68RoundTripTest, FamilyFilesAreResavedWithoutTheModel) {
  const std::string text = "1.5\tabc\r\n\t=MEAN(A1:A2)\r\n";
  Write("source.txt", text);
  ASSERT_EQ(Convert("source.txt", ZQ_TAB_TEXT, "first", ZQ_TABULEX_68), kOk);
  ASSERT_EQ(Convert("first.68y", ZQ_TABULEX_68, "second", ZQ_TABULEX_74), kOk);
  ASSERT_EQ(Convert("second.7xy", ZQ_TABULEX_74, "third", ZQ_TABULEX_RB200), kOk);
  ASSERT_TRUE(Exists("third.r2y"));
  // Every model of the family holds the same variable data.
  std::string first = Read("first.68y");
  std::string third = Read("third.r2y");
  ASSERT_GT(first.size(), 242u);
  EXPECT_EQ(third.substr(88, third.size() - 90), first.substr(88, first.size() - 90));
  ASSERT_EQ(Convert("third.r2y", ZQ_TABULEX_RB200, "back", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("back.txt"), "=1.5\tabc\t\t\r\n\t=average(a1:a2)\t");
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
