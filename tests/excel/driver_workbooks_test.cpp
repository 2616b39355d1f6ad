// Workbook conversions through the driver with the host bridge as its engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "converter/driver/excel/ExcelBridge.h"
#include "tests/excel/StandInHarness.h"
#include "tests/support/DriverFixture.h"

namespace tabulex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DriverWorkbooks : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    services.engine = MakeExcelEngine();
  }

  CallLog log{PathOf("calls.log")};
};

TEST_F(DriverWorkbooks, ListsTheWorksheets) {
  Write("grades.xls", kStandInBook);
  std::vector<std::string> names;
  EXPECT_EQ(Conv().GetExcelSheetNames(PathOf("grades.xls"), &names), kOk);
  EXPECT_THAT(names, ElementsAre("Budget", "Grades", "Notes"));
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(DriverWorkbooks, ConvertsAWorksheetToText) {
  Write("grades.xls", kStandInBook);
  EXPECT_EQ(Convert("grades.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT, "Grades"), kOk);
  EXPECT_THAT(ui->Texts(), IsEmpty());
  // The layout of the text is the text writer's; the cells are the sheet's, with the filled A1
  // and the formula's text.
  const std::string text = Read("out.txt");
  EXPECT_EQ(text.substr(0, 8), "0\t=A1+1\t") << text;
  EXPECT_EQ(text.substr(text.find('\n') + 1, 2), "7\t") << text;
  EXPECT_EQ(Read("grades.xls"), kStandInBook);
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(DriverWorkbooks, ConvertsTextToAWorkbook) {
  Write("in.txt", "1\t=A1*3\r\nsay\r\n");
  EXPECT_EQ(Convert("in.txt", ZQ_TAB_TEXT, "book", ZQ_EXCEL), kOk);
  EXPECT_THAT(ui->Texts(), IsEmpty());
  const std::string book = Read("book.xls");
  EXPECT_EQ(book.substr(0, book.find('\n')), "standin-workbook 1");
  EXPECT_NE(book.find("cell B1 =A1*3\n"), std::string::npos) << book;
  EXPECT_NE(book.find("cell A2 say\n"), std::string::npos) << book;
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(DriverWorkbooks, AMissingWorksheetIsReportedAndNothingIsWritten) {
  Write("grades.xls", kStandInBook);
  EXPECT_EQ(Convert("grades.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT, "Summary"),
            CONVERT_E_SOURCE_TOO_SMALL);
  EXPECT_EQ(ui->messages.size(), 2u);
  EXPECT_THAT(Listing(), ElementsAre("calls.log", "grades.xls"));
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_EQ(log.Calls().back(), "Application#1 call Quit()");
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

}  // namespace
}  // namespace tabulex::testing
