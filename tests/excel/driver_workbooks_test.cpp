// Workbook conversions through the driver with the host bridge as its engine: the driver's
// temporary texts reach the bridge and come back. The sheet listing and the failures are the
// bridge's own and are tested there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "converter/driver/excel/ExcelBridge.h"
#include "tests/excel/StandInHarness.h"
#include "tests/support/DriverFixture.h"

namespace tabulex::testing {
namespace {

using ::testing::IsEmpty;

class DriverWorkbooks : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    services.engine = MakeExcelEngine();
  }

  CallLog log{PathOf("calls.log")};
};

TEST_F(DriverWorkbooks, ConvertsAWorksheetToText) {
  Write("grades.xls", kStandInBook);
  EXPECT_EQ(Convert("grades.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT, "Grades"), kOk);
  EXPECT_THAT(ui->Texts(), IsEmpty());
  // The filled A1 and the formula's text in the text writer's layout, which drops a text's
  // leading and trailing double quotes, so the one that closes C1 goes.
  EXPECT_EQ(Read("out.txt"), "0\t=A1+1\tsay \"hi\t\t\r\n7\t");
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(DriverWorkbooks, ConvertsTextToAWorkbook) {
  Write("in.txt", "1\t=A1*3\r\nsay\r\n");
  EXPECT_EQ(Convert("in.txt", ZQ_TAB_TEXT, "book", ZQ_EXCEL), kOk);
  EXPECT_THAT(ui->Texts(), IsEmpty());
  // One worksheet, named after the driver's temporary text, with the three cells.
  const std::string book = Read("book.xls");
  const std::string header = "standin-workbook 1\nsheet worksheet ";
  ASSERT_EQ(book.rfind(header, 0), 0u) << book;
  const std::size_t cells = book.find('\n', header.size()) + 1;
  EXPECT_EQ(book.substr(cells), "cell A1 1\ncell B1 =A1*3\ncell A2 say\n");
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

}  // namespace
}  // namespace tabulex::testing
