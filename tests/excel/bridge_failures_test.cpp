// The bridge's failure paths: each reports what it should, writes nothing, and still closes
// the workbook, restores the alerts and quits the host, releasing every object.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "converter/driver/excel/ExcelBridge.h"
#include "tests/excel/StandInHarness.h"
#include "tests/support/RecordingContext.h"

namespace tabulex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using BridgeFailures = BridgeTest;

TEST_F(BridgeFailures, AWorkbookThatCannotBeOpenedLeavesTheNamesUntouched) {
  std::vector<std::string> names = {"kept"};
  EXPECT_EQ(engine->GetExcelSheetNames(context, temp.PathOf("missing.sbk"), &names), kFail);
  EXPECT_THAT(names, ElementsAre("kept"));
  EXPECT_THAT(context.errors, ElementsAre(ERR_EXCEL_FAILED));
  EXPECT_EQ(log.Calls().back(), "Application#1 call Quit()");
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(BridgeFailures, AConversionThatFailsSaysSoAndStillRestoresTheAlertsAndQuits) {
  temp.Write("book.sbk", kStandInBook);
  temp.Write("in.txt", "1\r\n");
  std::filesystem::create_directory(temp.PathOf("dir.txt"));
  struct Row {
    const wchar_t* failing;  // the member of the stand-in made to fail, if any
    const char* source;      // a workbook is exported to text, a text imported to out.sbk
    const char* target;
    int result;
    std::vector<std::uint32_t> errors;
    std::string call;  // a call the log shows
  };
  const std::string closeFailed = "Workbook#1 call Close(I2:0, missing, missing) failed 0x800A03EC";
  const std::string openFailed =
      "Workbooks#1 call Open(BSTR:" + temp.PathOf("missing.txt") + kTextOpen + " failed 0x800A03EC";
  const Row rows[] = {
      // A text that cannot be saved is a write failure.
      {nullptr, "book.sbk", "dir.txt", kFail, {ERR_WRITE_FAILED}, kCloseWithoutSaving},
      {L"Close", "book.sbk", "out.txt", 0, {ERR_EXCEL_FAILED}, closeFailed},
      {nullptr, "missing.txt", "out.sbk", 0, {ERR_EXCEL_FAILED}, openFailed},
      // A failure after opening ends silently with -1.
      {L"SaveAs", "in.txt", "out.sbk", -1, {}, kCloseWithoutSaving},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.source) + " to " + row.target);
    if (row.failing) SetStandInSetting(L"FailMember", row.failing);
    const CallLog calls(temp.PathOf("row.log"));
    context.errors.clear();
    const std::string source = temp.PathOf(row.source);
    EXPECT_EQ(source.ends_with(".sbk")
                  ? engine->ExcelSheetToText(context, source, temp.PathOf(row.target), "Budget")
                  : engine->TextToExcelWorkbook(context, source, temp.PathOf(row.target)),
              row.result);
    ClearStandInSetting(L"FailMember");
    EXPECT_EQ(context.errors, row.errors);
    EXPECT_FALSE(temp.Exists("out.sbk"));
    EXPECT_TRUE(calls.Contains(row.call));
    const std::vector<std::string> made = calls.Calls();
    ASSERT_GE(made.size(), 2u);
    EXPECT_EQ(made[made.size() - 2], "Application#1 put DisplayAlerts(I2:1)");
    EXPECT_EQ(made.back(), "Application#1 call Quit()");
    EXPECT_THAT(calls.Leaks(), IsEmpty());
  }
}

TEST_F(BridgeFailures, AHostThatCannotBeStartedIsReportedByEveryOperation) {
  // A ProgID nobody registered. (A class registered without a server takes the same path
  // through the bridge, but the platform waits half a minute for a server first.)
  std::unique_ptr<SpreadsheetEngine> missing = MakeExcelEngine("Tabulex.NoSuchHost");
  std::vector<std::string> names = {"kept"};
  EXPECT_EQ(missing->GetExcelSheetNames(context, temp.PathOf("a.sbk"), &names), kFail);
  EXPECT_THAT(names, ElementsAre("kept"));
  EXPECT_EQ(
      missing->ExcelSheetToText(context, temp.PathOf("a.sbk"), temp.PathOf("a.txt"), "Budget"), -1);
  EXPECT_EQ(missing->TextToExcelWorkbook(context, temp.PathOf("a.txt"), temp.PathOf("a.sbk")), -1);
  EXPECT_THAT(context.errors,
              ElementsAre(ERR_EXCEL_NOT_STARTED, ERR_EXCEL_NOT_STARTED, ERR_EXCEL_NOT_STARTED));
  EXPECT_THAT(log.Lines(), IsEmpty());
}

}  // namespace
}  // namespace tabulex::testing
