// The LibreOffice engine: sheet lists, export and import of workbooks of each format, and
// workbooks through the whole conversion.
#include <gtest/gtest.h>

#include "components/ErrorTextStandIn.h"
#include "converter/model/ErrorCodes.h"
#include "converter/platform/Process.h"
#include "tests/libreoffice/SharedEngine.h"
#include "tests/support/DriverFixture.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

using libreoffice::LibreOfficeEngine;
using testing::RecordingContext;
using testing::SharedEngine;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SharedEngine);

std::string Fixture(const std::string& name) {
  return std::string(TABULEX_TEST_DATA) + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class LibreOfficeTest : public testing::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    services.engine = engine;
  }

  std::vector<std::string> Names(const std::string& book) {
    std::vector<std::string> names{"untouched"};
    EXPECT_EQ(engine->GetExcelSheetNames(context, book, &names), kOk) << engine->LastFailure();
    return names;
  }

  std::string Export(const std::string& book, const std::string& sheet) {
    const std::string text = PathOf("export.txt");
    EXPECT_EQ(engine->ExcelSheetToText(context, book, text, sheet), 0);
    return Read("export.txt");
  }

  // Text through the engine into a workbook of the extension and back to text.
  std::string ThroughWorkbook(const std::string& text, const std::string& extension) {
    Write("in.txt", text);
    const std::string book = PathOf("book" + extension);
    EXPECT_EQ(engine->TextToExcelWorkbook(context, PathOf("in.txt"), book), 0)
        << engine->LastFailure();
    return Export(book, Names(book).at(0));
  }

  std::shared_ptr<LibreOfficeEngine> engine = SharedEngine::Get();
  RecordingContext context;
};

TEST_F(LibreOfficeTest, OneOfficeListsAndExportsAndIsStartedAgainWhenItDied) {
  // Chart sheets are left out of the list; hidden worksheets are worksheets.
  EXPECT_EQ(Names(Fixture("chart-sheet.xlsx")),
            (std::vector<std::string>{"Data", "Notes", "Summary"}));
  const std::optional<int> office = engine->OfficeProcessId();
  ASSERT_TRUE(office.has_value());
  // Formulas export as their text, a reference to another sheet in Excel's A1 syntax, whatever
  // the user's locale.
  EXPECT_EQ(Export(Fixture("chart-sheet.xlsx"), "Summary"), "=SUM(Data!A1:A3)\r\n");
  EXPECT_EQ(Export(Fixture("hidden-sheet.xlsx"), "Secret"), "42\t=A1*2\r\n");
  EXPECT_EQ(engine->OfficeProcessId(), office);
  platform::KillChild(*office);
  EXPECT_EQ(Names(Fixture("hidden-sheet.xlsx")), (std::vector<std::string>{"Shown", "Secret"}));
  EXPECT_NE(engine->OfficeProcessId(), office);
  EXPECT_TRUE(context.errors.empty());
}

TEST_F(LibreOfficeTest, EmptyA1ExportsAsZeroAndTheWorkbookStaysAsItWas) {
  const std::string book = Fixture("empty-a1.xlsx");
  const std::string before = ReadFile(book);
  EXPECT_EQ(Export(book, "Sheet1"), "0\t7\r\nbelow\t\r\n");
  EXPECT_EQ(ReadFile(book), before);
}

TEST_F(LibreOfficeTest, UnreadableWorkbooksAndSheetsFailSayingWhyAndWriteNoText) {
  Write("empty.ods", "");  // the office would open an empty file as a new workbook
  struct Row {
    std::string book;
    const char* sheet;
    std::string failure;
  };
  const Row rows[] = {
      {Fixture("garbage.xls"), "Sheet1",
       Fixture("garbage.xls") +
           ": cannot be loaded: the file is damaged or is not a workbook of its type"},
      {PathOf("empty.ods"), "Sheet1",
       PathOf("empty.ods") + ": cannot be loaded: the file is empty"},
      {Fixture("chart-sheet.xlsx"), "Nope",
       "the workbook has no worksheet named \"Nope\"; its worksheets are \"Data\", \"Notes\", "
       "\"Summary\""},
      // Refused before its text is written.
      {Fixture("far-cell.xlsx"), "Sheet1",
       "the sheet \"Sheet1\" is too large to convert: its cells reach row 1,048,576 and column "
       "16,384 (17,179,869,184 cells; the most is 33,554,432)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.book);
    context.errors.clear();
    EXPECT_EQ(engine->ExcelSheetToText(context, row.book, PathOf("export.txt"), row.sheet), 0);
    EXPECT_EQ(context.errors, (std::vector<std::uint32_t>{ERR_EXCEL_FAILED}));
    EXPECT_EQ(engine->LastFailure(), row.failure);
    EXPECT_FALSE(Exists("export.txt"));
  }
  // The list of sheets of a workbook that cannot be read, or of none, stays as it was.
  for (const std::string& book : {rows[0].book, rows[1].book, PathOf("none.xlsx")}) {
    SCOPED_TRACE(book);
    context.errors.clear();
    std::vector<std::string> names{"untouched"};
    EXPECT_EQ(engine->GetExcelSheetNames(context, book, &names), kFail);
    EXPECT_EQ(names, (std::vector<std::string>{"untouched"}));
    EXPECT_EQ(context.errors, (std::vector<std::uint32_t>{ERR_EXCEL_FAILED}));
    EXPECT_EQ(engine->LastFailure().rfind(book + ": cannot be loaded: ", 0), 0u);
  }
  EXPECT_EQ(Names(Fixture("hidden-sheet.xlsx")).size(), 2u);  // the engine keeps working
}

TEST_F(LibreOfficeTest, TextWiderThanTheWorkbookTypeIsRefusedNotCut) {
  // Column IW, the 257th, is one more than an .xls sheet holds; the text ends as the driver
  // writes it, with a tab after every cell and a zero byte.
  Write("wide.txt", "a" + std::string(256, '\t') + "last\t" + std::string(1, '\0'));
  EXPECT_EQ(engine->TextToExcelWorkbook(context, PathOf("wide.txt"), PathOf("wide.xls")), 0);
  EXPECT_EQ(context.errors, (std::vector<std::uint32_t>{ERR_EXCEL_FAILED}));
  EXPECT_EQ(engine->LastFailure(),
            "the sheet has cells in column 257, and a sheet of an .xls workbook holds 256 columns");
  EXPECT_FALSE(Exists("wide.xls"));
  EXPECT_EQ(engine->TextToExcelWorkbook(context, PathOf("wide.txt"), PathOf("wide.xlsx")), 0);
  EXPECT_TRUE(Exists("wide.xlsx")) << engine->LastFailure();
}

class EveryFormat : public LibreOfficeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryFormat, TextSurvivesAWorkbookThatReplacesAnEarlierOne) {
  ThroughWorkbook("old\r\n", GetParam());
  // Numbers, a formula, a quoted string with quotes inside, and an empty A1 that exports as 0.
  EXPECT_EQ(
      ThroughWorkbook("\tScore\tTwice\r\nAnn\t1.5\t=B2*2\r\n\"say \"\"hi\"\"\"\t-3\t=ACOS(B3)",
                      GetParam()),
      "0\tScore\tTwice\r\nAnn\t1.5\t=B2*2\r\n\"say \"\"hi\"\"\"\t-3\t=ACOS(B3)\r\n");
  EXPECT_TRUE(context.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(LibreOffice, EveryFormat, ::testing::Values(".xls", ".xlsx", ".ods"),
                         [](const auto& info) { return std::string(info.param + 1); });

TEST_F(LibreOfficeTest, ALineFeedInACellStaysInItsCell) {
  // A calculator string or a multi-line cell can hold a line feed; the rows after it stay put.
  services.workbookExtension = ".xlsx";
  Write("lines.txt", "\"two\nlines\"\tnext\r\nbelow\r\n");
  ASSERT_EQ(Convert("lines.txt", ZQ_TAB_TEXT, "lines", ZQ_EXCEL), kOk);
  EXPECT_EQ(Export(PathOf("lines.xlsx"), "Sheet1"), "\"two\nlines\"\tnext\r\nbelow\t\r\n");
  ASSERT_EQ(Convert("lines.xlsx", ZQ_EXCEL, "copy", ZQ_TAB_TEXT, "Sheet1"), kOk);
  EXPECT_EQ(Read("copy.txt"), "two\nlines\tnext\t\t\r\nbelow\t");
}

TEST_F(LibreOfficeTest, ATabOrLineBreakInACellMovesNoOtherCell) {
  // The tab becomes a blank; the CR LF of the second cell comes out of the office as a line feed.
  EXPECT_EQ(Export(Fixture("tab-in-cell.xlsx"), "Sheet1"), "\"x y\"\tz\r\n\"two\nlines\"\tw\r\n");
}

TEST_F(LibreOfficeTest, WorkbookToWorkbookKeepsFormulas) {
  services.workbookExtension = ".ods";
  Write("f.txt", "1\t=ACOS(A1)\t=IF(A1>0,\"yes\",\"no\")\r\n");
  ASSERT_EQ(Convert("f.txt", ZQ_TAB_TEXT, "f", ZQ_EXCEL), kOk);
  services.workbookExtension = ".xls";
  Make();
  ASSERT_EQ(Convert("f.ods", ZQ_EXCEL, "g", ZQ_EXCEL, "Sheet1"), kOk);
  EXPECT_EQ(Export(PathOf("g.xls"), "Sheet1"),
            "1\t=ACOS(A1)\t\"=IF(A1>0,\"\"yes\"\",\"\"no\"\")\"\r\n");
}

TEST(LibreOfficeMissing, ReportsNotStartedAndThePackage) {
  LibreOfficeEngine missing("/nonexistent/program/soffice.bin");
  RecordingContext context;
  std::vector<std::string> names{"untouched"};
  EXPECT_EQ(missing.GetExcelSheetNames(context, Fixture("hidden-sheet.xlsx"), &names), kFail);
  EXPECT_EQ(names, (std::vector<std::string>{"untouched"}));
  EXPECT_EQ(missing.ExcelSheetToText(context, Fixture("hidden-sheet.xlsx"), "/dev/null", "Shown"),
            -1);
  EXPECT_EQ(missing.TextToExcelWorkbook(context, "/dev/null", "/nonexistent/out.xlsx"), -1);
  EXPECT_EQ(context.errors, (std::vector<std::uint32_t>(3, ERR_EXCEL_NOT_STARTED)));
  EXPECT_NE(missing.LastFailure().find("libreoffice-calc-nogui"), std::string::npos);
  EXPECT_FALSE(missing.OfficeProcessId().has_value());
}

}  // namespace
}  // namespace tabulex
