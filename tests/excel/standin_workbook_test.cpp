// The host stand-in's workbook files and its tab-delimited text, byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/excel/Workbook.h"

namespace tabulex::standin {
namespace {

using ::testing::ElementsAre;
using ::testing::Optional;
using ::testing::Pair;

TEST(StandInWorkbook, CellNamesAreRowAndColumn) {
  EXPECT_THAT(ParseCellName("A1"), Optional(CellRef{1, 1}));
  EXPECT_THAT(ParseCellName("b12"), Optional(CellRef{12, 2}));
  EXPECT_THAT(ParseCellName("AA3"), Optional(CellRef{3, 27}));
  EXPECT_EQ(CellName({3, 27}), "AA3");
  EXPECT_EQ(CellName({7, 26}), "Z7");
  for (const char* bad : {"", "A", "12", "A0", "A1B", "1A", "XFE1"}) {
    EXPECT_EQ(ParseCellName(bad), std::nullopt) << bad;
  }
}

TEST(StandInWorkbook, ReadsAndWritesItsFileFormat) {
  const std::string file =
      "standin-workbook 1\n"
      "sheet worksheet Budget\n"
      "cell A1 two\\tparts\\nand a \\\\\n"
      "cell B1 =A2*2\n"
      "value B1 8\n"
      "cell A2 4\n"
      "sheet chart Trend\n";
  std::string error;
  std::optional<Workbook> book = ReadWorkbook(file, &error);
  ASSERT_TRUE(book) << error;
  ASSERT_EQ(book->sheets.size(), 2u);
  EXPECT_EQ(book->sheets[1].kind, SheetKind::kChart);
  const Sheet& budget = book->sheets[0];
  EXPECT_EQ(budget.cells.at({1, 1}).content, "two\tparts\nand a \\");
  EXPECT_EQ(budget.cells.at({1, 2}).value, "8");
  // Written in row order, the formula's value after its cell: the file as it was read.
  EXPECT_EQ(WriteWorkbook(*book), file);
}

TEST(StandInWorkbook, RejectsDamagedFilesSayingWhy) {
  // A file and the error it gets.
  const std::pair<const char*, const char*> cases[] = {
      {"sheet worksheet A\n", "not a stand-in workbook"},
      {"standin-workbook 1\n", "the workbook has no sheet"},
      {"standin-workbook 1\ncell A1 1\nsheet worksheet A\n", "line 2 is not understood"},
      {"standin-workbook 1\nsheet chart C\ncell A1 1\n", "line 3 is not understood"},
      {"standin-workbook 1\nsheet worksheet A\ncell A1 \\x\n", "line 3 is not understood"},
      {"standin-workbook 1\nsheet worksheet A\ncell 1A 1\n", "line 3 is not understood"},
      {"standin-workbook 1\nsheet worksheet A\nrow 1\n", "line 3 is not understood"},
  };
  for (const auto& [file, why] : cases) {
    SCOPED_TRACE(file);
    std::string error;
    EXPECT_EQ(ReadWorkbook(file, &error), std::nullopt);
    EXPECT_EQ(error, why);
  }
}

TEST(StandInWorkbook, SavesTextAsTheHostDoes) {
  Sheet sheet;
  sheet.cells[{1, 1}] = {"=B2+1", "3"};
  sheet.cells[{1, 3}] = {"say \"hi\"", ""};
  sheet.cells[{2, 2}] = {"\"quoted", ""};
  sheet.cells[{3, 1}] = {"two\nlines", ""};
  // Every row runs to the last used column; fields with a quote or a line break are quoted.
  const std::string rows23 = "\t\"\"\"quoted\"\t\r\n\"two\nlines\"\t\t\r\n";
  EXPECT_EQ(SheetToText(sheet, true), "=B2+1\t\t\"say \"\"hi\"\"\"\r\n" + rows23);
  EXPECT_EQ(SheetToText(sheet, false), "3\t\t\"say \"\"hi\"\"\"\r\n" + rows23);
  EXPECT_EQ(SheetToText(Sheet{}, true), "");
}

TEST(StandInWorkbook, OpensTabDelimitedText) {
  const std::string text =
      std::string("1\t=A1*3\r\n\t\"a \"\"b\"\"\tc\"\t\"two\nlines\"\nlast\rx") + '\0';
  const Sheet sheet = TextToSheet(text, "in");
  EXPECT_EQ(sheet.name, "in");
  std::vector<std::pair<CellRef, std::string>> cells;
  for (const auto& [ref, cell] : sheet.cells) cells.emplace_back(ref, cell.content);
  EXPECT_THAT(cells,
              ElementsAre(Pair(CellRef{1, 1}, "1"), Pair(CellRef{1, 2}, "=A1*3"),
                          Pair(CellRef{2, 2}, "a \"b\"\tc"), Pair(CellRef{2, 3}, "two\nlines"),
                          Pair(CellRef{3, 1}, "last"), Pair(CellRef{4, 1}, "x")));
  EXPECT_TRUE(sheet.cells.at({1, 2}).IsFormula());
}

}  // namespace
}  // namespace tabulex::standin
