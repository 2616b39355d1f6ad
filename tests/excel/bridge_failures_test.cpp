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

// Makes one member of the stand-in fail while it lives.
class FailingMember {
 public:
  explicit FailingMember(const wchar_t* member) { SetStandInSetting(L"FailMember", member); }
  ~FailingMember() { ClearStandInSetting(L"FailMember"); }
};

class BridgeFailures : public BridgeTest {
 protected:
  void ExpectQuitAfterRestoringAlerts() const {
    const std::vector<std::string> calls = log.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "Application#1 put DisplayAlerts(I2:1)");
    EXPECT_EQ(calls.back(), "Application#1 call Quit()");
    EXPECT_THAT(log.Leaks(), IsEmpty());
  }
};

TEST_F(BridgeFailures, AWorkbookThatCannotBeOpenedLeavesTheNamesUntouched) {
  std::vector<std::string> names = {"kept"};
  EXPECT_EQ(engine->GetExcelSheetNames(context, temp.PathOf("missing.sbk"), &names), kFail);
  EXPECT_THAT(names, ElementsAre("kept"));
  EXPECT_THAT(context.errors, ElementsAre(ERR_EXCEL_FAILED));
  EXPECT_EQ(log.Calls().back(), "Application#1 call Quit()");
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(BridgeFailures, ATextThatCannotBeSavedIsAWriteFailure) {
  temp.Write("book.sbk", kStandInBook);
  std::filesystem::create_directory(temp.PathOf("out.txt"));
  EXPECT_EQ(
      engine->ExcelSheetToText(context, temp.PathOf("book.sbk"), temp.PathOf("out.txt"), "Budget"),
      kFail);
  EXPECT_THAT(context.errors, ElementsAre(ERR_WRITE_FAILED));
  EXPECT_TRUE(log.Contains(kCloseWithoutSaving));
  ExpectQuitAfterRestoringAlerts();
}

TEST_F(BridgeFailures, AFailingCloseStillRestoresTheAlertsAndQuits) {
  temp.Write("book.sbk", kStandInBook);
  temp.Write("out.txt", "");
  FailingMember failing(L"Close");
  EXPECT_EQ(
      engine->ExcelSheetToText(context, temp.PathOf("book.sbk"), temp.PathOf("out.txt"), "Budget"),
      0);
  EXPECT_THAT(context.errors, ElementsAre(ERR_EXCEL_FAILED));
  EXPECT_TRUE(log.Contains("Workbook#1 call Close(I2:0, missing, missing) failed 0x800A03EC"));
  ExpectQuitAfterRestoringAlerts();
}

TEST_F(BridgeFailures, ATextThatCannotBeOpenedWritesNoWorkbook) {
  EXPECT_EQ(
      engine->TextToExcelWorkbook(context, temp.PathOf("missing.txt"), temp.PathOf("out.sbk")), 0);
  EXPECT_THAT(context.errors, ElementsAre(ERR_EXCEL_FAILED));
  EXPECT_FALSE(temp.Exists("out.sbk"));
  ExpectQuitAfterRestoringAlerts();
}

TEST_F(BridgeFailures, AFailureAfterOpeningEndsSilentlyWithMinusOne) {
  temp.Write("in.txt", "1\r\n");
  FailingMember failing(L"SaveAs");
  EXPECT_EQ(engine->TextToExcelWorkbook(context, temp.PathOf("in.txt"), temp.PathOf("out.sbk")),
            -1);
  EXPECT_THAT(context.errors, IsEmpty());
  EXPECT_FALSE(temp.Exists("out.sbk"));
  EXPECT_TRUE(log.Contains(kCloseWithoutSaving));
  ExpectQuitAfterRestoringAlerts();
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
