// The bridge's essential cases against whichever stand-in server the program registered: the
// calls it makes, the arguments' types and values, the results, and every object released.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/excel/Workbook.h"
#include "converter/driver/excel/ExcelBridge.h"
#include "tests/excel/StandInHarness.h"
#include "tests/support/RecordingContext.h"

namespace tabulex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The names as a COM caller receives them: a BSTR array of one dimension from index 0.
void ExpectNamesArray(const std::vector<std::string>& names) {
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(StoreSheetNames(names, &out), S_OK);
  ASSERT_EQ(out.vt, VT_ARRAY | VT_BSTR);
  ASSERT_EQ(SafeArrayGetDim(out.parray), 1u);
  EXPECT_EQ(out.parray->rgsabound[0].lLbound, 0);
  ASSERT_EQ(out.parray->rgsabound[0].cElements, names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const BSTR name = static_cast<const BSTR*>(out.parray->pvData)[i];
    EXPECT_EQ(std::wstring(name, SysStringLen(name)),
              std::wstring(names[i].begin(), names[i].end()));
  }
  VariantClear(&out);
}

using BridgeCases = BridgeTest;

TEST_F(BridgeCases, ListsTheWorksheetsInOrderWithoutChartSheets) {
  temp.Write("book.sbk", kStandInBook);
  std::vector<std::string> names;
  EXPECT_EQ(engine->GetExcelSheetNames(context, temp.PathOf("book.sbk"), &names), kOk);
  EXPECT_THAT(names, ElementsAre("Budget", "Grades", "Notes"));
  EXPECT_THAT(context.errors, IsEmpty());
  ExpectNamesArray(names);
  EXPECT_THAT(log.Calls(),
              ElementsAre("Application#1 put Visible(I2:0)",
                          "Application#1 put DisplayAlerts(I2:1)", "Application#1 get Workbooks()",
                          "Workbooks#1 call Open(BSTR:" + temp.PathOf("book.sbk") + kReadOnlyOpen,
                          "Workbook#1 call Activate()", "Workbook#1 get Worksheets()",
                          "Worksheets#1 get Count()", "Worksheets#1 get Item(I2:1)",
                          "Worksheet#1 get Name()", "Worksheets#1 get Count()",
                          "Worksheets#1 get Item(I2:2)", "Worksheet#2 get Name()",
                          "Worksheets#1 get Count()", "Worksheets#1 get Item(I2:3)",
                          "Worksheet#3 get Name()", "Worksheets#1 get Count()", kCloseWithoutSaving,
                          "Application#1 call Quit()"));
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(BridgeCases, ExportsFormulaTextAndFillsAnEmptyFirstCellInTheCopyOnly) {
  temp.Write("book.sbk", kStandInBook);
  temp.Write("out.txt", "");
  const std::string workbook = temp.PathOf("book.sbk");
  const std::string text = temp.PathOf("out.txt");
  EXPECT_EQ(engine->ExcelSheetToText(context, workbook, text, "Grades"), 0);
  EXPECT_THAT(context.errors, IsEmpty());
  // A1 was empty; B1 holds a formula whose text, not its value 1, is written; C1's quotes are
  // doubled inside a quoted field.
  EXPECT_EQ(temp.Read("out.txt"), "0\t=A1+1\t\"say \"\"hi\"\"\"\r\n7\t\t\r\n");
  EXPECT_EQ(temp.Read("book.sbk"), kStandInBook);
  EXPECT_THAT(
      log.Calls(),
      ElementsAre("Application#1 get DisplayAlerts()", "Application#1 put DisplayAlerts(I2:0)",
                  "Application#1 get Workbooks()",
                  "Workbooks#1 call Open(BSTR:" + workbook + kReadOnlyOpen,
                  "Workbook#1 call Activate()", "Workbook#1 get Worksheets()",
                  "Worksheets#1 get Item(BSTR:Grades)", "Worksheet#1 call Activate()",
                  "Worksheet#1 get Range(BSTR:A1, BSTR:A1)", "Range#1 get Value()",
                  "Range#1 put Value(BSTR:0)", "Application#1 get ActiveWindow()",
                  "Window#1 put DisplayFormulas(I2:1)",
                  "Workbook#1 call SaveAs(BSTR:" + text +
                      ", I4:-4158, missing, missing, missing, missing, I4:0, missing, I2:1, "
                      "missing, missing)",
                  kCloseWithoutSaving, "Application#1 put DisplayAlerts(I2:1)",
                  "Application#1 call Quit()"));
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(BridgeCases, AMissingSheetReportsTheFailureLeavesTheTextEmptyAndStillQuits) {
  temp.Write("book.sbk", kStandInBook);
  temp.Write("out.txt", "");
  EXPECT_EQ(
      engine->ExcelSheetToText(context, temp.PathOf("book.sbk"), temp.PathOf("out.txt"), "Summary"),
      0);
  EXPECT_THAT(context.errors, ElementsAre(ERR_EXCEL_FAILED));
  EXPECT_EQ(temp.Read("out.txt"), "");
  EXPECT_TRUE(log.Contains("Worksheets#1 get Item(BSTR:Summary) failed 0x8002000B"));
  EXPECT_TRUE(log.Contains(kCloseWithoutSaving));
  EXPECT_TRUE(log.Contains("Application#1 put DisplayAlerts(I2:1)"));
  EXPECT_EQ(log.Calls().back(), "Application#1 call Quit()");
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

TEST_F(BridgeCases, ImportsTextAndReplacesAnExistingWorkbook) {
  // The driver's text ends with the buffer's zero byte.
  temp.Write("in.txt", std::string("1\t=B1*3\r\nsay\r\n") + '\0');
  temp.Write("out.sbk", "an older workbook");
  const std::string text = temp.PathOf("in.txt");
  const std::string workbook = temp.PathOf("out.sbk");
  EXPECT_EQ(engine->TextToExcelWorkbook(context, text, workbook), 0);
  EXPECT_THAT(context.errors, IsEmpty());
  EXPECT_EQ(temp.Read("out.sbk"),
            "standin-workbook 1\n"
            "sheet worksheet in\n"
            "cell A1 1\n"
            "cell B1 =B1*3\n"
            "cell A2 say\n");
  EXPECT_THAT(
      log.Calls(),
      ElementsAre("Application#1 get DisplayAlerts()", "Application#1 put DisplayAlerts(I2:0)",
                  "Application#1 get Workbooks()", "Workbooks#1 call Open(BSTR:" + text + kTextOpen,
                  "Workbook#1 call Activate()", "Application#1 get ActiveWindow()",
                  "Window#1 put DisplayFormulas(I2:0)",
                  "Workbook#1 call SaveAs(BSTR:" + workbook +
                      ", I4:-4143, missing, missing, missing, missing, I4:0, missing, I2:0, "
                      "missing, missing)",
                  kCloseWithoutSaving, "Application#1 put DisplayAlerts(I2:1)",
                  "Application#1 call Quit()"));
  EXPECT_THAT(log.Leaks(), IsEmpty());
}

}  // namespace
}  // namespace tabulex::testing
