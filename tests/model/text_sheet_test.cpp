// Reading and writing tab-delimited text.
#include <gtest/gtest.h>

#include "converter/model/ErrorCodes.h"
#include "converter/model/TextSheet.h"
#include "tests/support/CellRows.h"
#include "tests/support/RecordSheet.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

using testing::RecordFields;
using testing::RecordingContext;
using testing::RecordSheet;

using Cell = testing::CellRow;

template <class Sheet = TextSheet>
std::vector<Cell> Parse(RecordingContext& context, std::string_view bytes) {
  Sheet sheet(context, bytes.data(), bytes.size());
  sheet.SetName("grades");
  sheet.TranslateToIntermediate();
  EXPECT_EQ(sheet.Header()->source, SOURCE_TEXT);
  EXPECT_EQ(sheet.Header()->name, "grades");
  return testing::RowsOf(sheet);
}

template <class Sheet = TextSheet>
std::vector<Cell> Parse(std::string_view bytes) {
  RecordingContext context;
  return Parse<Sheet>(context, bytes);
}

template <class Sheet = TextSheet>
std::string Write(const std::vector<RecordFields>& records, bool rewritesFormulas = true) {
  RecordingContext context;
  context.SetRewritesFormulas(rewritesFormulas);
  RecordSheet source(context, records);
  Sheet target(context, source);
  target.TranslateFromIntermediate();
  std::string out = target.GetOutput();
  EXPECT_EQ(out.size(), target.GetOutputSize() + 1);
  EXPECT_EQ(out.back(), '\0');
  out.resize(target.GetOutputSize());
  return out;
}

TEST(TextRead, RowsAndColumnsFromTabsAndLineEnds) {
  EXPECT_EQ(Parse("A\tB\r\nC\r\n"),
            (std::vector<Cell>{{1, 1, 1, "A"}, {1, 2, 1, "B"}, {2, 1, 1, "C"}}));
  EXPECT_EQ(Parse("A\t\tC"), (std::vector<Cell>{{1, 1, 1, "A"}, {1, 3, 1, "C"}}));
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("\t\t\r\n").empty());
  // Files written on Linux end their rows with a line feed alone.
  EXPECT_EQ(Parse("A\tB\nC\n\nD"),
            (std::vector<Cell>{{1, 1, 1, "A"}, {1, 2, 1, "B"}, {2, 1, 1, "C"}, {4, 1, 1, "D"}}));
  // Once a carriage return ends rows, a line feed inside a field is data (a multi-line cell).
  EXPECT_EQ(Parse("A\nB\tC\r\nD"),
            (std::vector<Cell>{{1, 1, 1, "A\nB"}, {1, 2, 1, "C"}, {2, 1, 1, "D"}}));
  // Rows ended by a carriage return alone keep their first byte.
  EXPECT_EQ(Parse("Ab\rCd\rEf"),
            (std::vector<Cell>{{1, 1, 1, "Ab"}, {2, 1, 1, "Cd"}, {3, 1, 1, "Ef"}}));
  EXPECT_EQ(Parse("A\r\tB\r\r\nC"),
            (std::vector<Cell>{{1, 1, 1, "A"}, {2, 2, 1, "B"}, {4, 1, 1, "C"}}));
  // Rows of one field each, then a row of several: the next tab lies far behind every field
  // read before it.
  EXPECT_EQ(Parse("x\r\ny\r\n\r\nz\tw\r\n\tv"),
            (std::vector<Cell>{
                {1, 1, 1, "x"}, {2, 1, 1, "y"}, {4, 1, 1, "z"}, {4, 2, 1, "w"}, {5, 2, 1, "v"}}));
  // One long row, then rows: the next row end lies far behind every field before it.
  EXPECT_EQ(Parse("a\tb\t\tc\rd\r\ne"),
            (std::vector<Cell>{
                {1, 1, 1, "a"}, {1, 2, 1, "b"}, {1, 4, 1, "c"}, {2, 1, 1, "d"}, {3, 1, 1, "e"}}));
  // A row end as the very last byte ends the last field, and no empty row follows.
  EXPECT_EQ(Parse("a\tb\r"), (std::vector<Cell>{{1, 1, 1, "a"}, {1, 2, 1, "b"}}));
}

TEST(TextRead, ClassifiesNumbersFormulasAndText) {
  EXPECT_EQ(Parse("12.5\t-3\t-\t1-2\t1.2.3"), (std::vector<Cell>{{1, 1, 0, "12.5"},
                                                                 {1, 2, 0, "-3"},
                                                                 {1, 3, 0, "-"},
                                                                 {1, 4, 0, "1-2"},
                                                                 {1, 5, 0, "1.2.3"}}));
  EXPECT_EQ(Parse("1e5\t 5\t12%"),
            (std::vector<Cell>{{1, 1, 1, "1e5"}, {1, 2, 1, " 5"}, {1, 3, 1, "12%"}}));
  // Plain text keeps Excel syntax on reading; the value is eight zero bytes.
  EXPECT_EQ(Parse("=SUM(A1:A3)"),
            (std::vector<Cell>{{1, 1, CELL_FORMULA, std::string(8, '\0'), "=SUM(A1:A3)"}}));
}

TEST(TextRead, QuotesAndTheTextLimit) {
  EXPECT_EQ(Parse("\"say \"\"hi\"\"\"")[0].value, "say \"hi\"");
  EXPECT_EQ(Parse("\"")[0], (Cell{1, 1, 1, ""}));
  EXPECT_EQ(Parse("\"\"")[0].value, "");
  EXPECT_EQ(Parse("\"\"\"")[0].value, "");
  EXPECT_EQ(Parse("a\"\"\"\"b")[0].value, "a\"\"b");
  // Cut texts are reported once a sheet.
  RecordingContext context;
  const std::vector<Cell> long_text = Parse(
      context, std::string(300, 'x') + "\t" + std::string(240, 'y') + "\t" + std::string(478, '"'));
  EXPECT_EQ(long_text[0].value, std::string(239, 'x'));
  EXPECT_EQ(long_text[1].value, std::string(239, 'y'));
  EXPECT_EQ(long_text[2].value, std::string(238, '"'));
  ASSERT_EQ(context.messages.size(), 1u);
  EXPECT_EQ(context.messages[0].text,
            "The text has cells holding more than 239 bytes of text. Only the first 239 bytes of "
            "each were kept.");
  // Texts of exactly 239 bytes are not cut, even from longer fields (480 quotes keep 239).
  RecordingContext quiet;
  Parse(quiet,
        std::string(239, 'x') + "\t\"" + std::string(239, 'z') + "\"\t" + std::string(480, '"'));
  EXPECT_TRUE(quiet.messages.empty());
}

TEST(TextRead, LongNumbersAndFormulasKeepEveryByte) {
  const std::string number(70000, '7');
  EXPECT_EQ(Parse(number + "\t1")[0].value, number);
  EXPECT_EQ(Parse(number + "\t1")[1], (Cell{1, 2, 0, "1"}));
  const std::string formula = "=" + std::string(69999, '1');
  EXPECT_EQ(Parse(formula)[0].formula, formula);
}

TEST(TextRead, PositionsPast16BitsAreDroppedAndReportedOnce) {
  RecordingContext context;
  std::string bytes;
  for (int i = 0; i < 32769; ++i) bytes += "\r\n";
  bytes += "late\tlater\r\n";
  std::string wide(32768, '\t');
  wide += "wide";
  std::vector<Cell> cells = Parse(context, "first\r\n" + bytes + wide);
  EXPECT_EQ(cells, (std::vector<Cell>{{1, 1, 1, "first"}}));
  EXPECT_TRUE(context.errors.empty());
  ASSERT_EQ(context.messages.size(), 1u);
  EXPECT_EQ(context.messages[0].text,
            "The text has cells past row or column 32767. They were left out: cell positions "
            "stop there.");
}

TEST(TextRead, TracesTheProgress) {
  RecordingContext context;
  Parse(context, "a");
  EXPECT_EQ(context.traces,
            "\t TTranslateToIntermediate\nDONE WITH TELLG1TextCell::TranslateToIntermediate4\n"
            "DONE WITH TELLG11\t after Initialise\n");
}

TEST(ExcelTextRead, UnquotesFormulasAndRewritesThem) {
  std::vector<Cell> cells = Parse<ExcelTextSheet>("\"=IF(A1=\"\"x\"\",1,2)\"\t=ACOS(A1)");
  EXPECT_EQ(cells[0].formula, "=If(A1=\"x\",1,2)");
  EXPECT_EQ(cells[1].formula, "=COS_^-1_(A1)");
  EXPECT_EQ(Parse<ExcelTextSheet>("\"plain\"")[0].value, "plain");
}

TEST(TextWrite, EachTypeAsItsFieldWithTabsBlankRowsAndNoFinalLineEnd) {
  EXPECT_EQ(Write({{1, 1, CELL_TEXT, "x", {}}, {2, 3, CELL_TEXT, "y", {}}}), "x\t\t\r\n\t\ty\t");
  EXPECT_EQ(Write({{1, 2, CELL_NUMBER, "5", {}}, {4, 1, CELL_NUMBER, "6", {}}}),
            "\t5\t\t\r\n\t\r\n\t\r\n6\t");
  EXPECT_EQ(Write({}), "");
  EXPECT_EQ(Write({{1, 1, CELL_TEXT, "\"\"quoted\"", {}}}), "quoted\t");
  EXPECT_EQ(Write({{1, 1, CELL_STRING, "gone", {}}, {1, 2, CELL_NUMBER, "1", {}}}), "\t1\t");
  EXPECT_EQ(Write({{1, 1, CELL_FORMULA, std::string(8, '\0'), "=_neg_A1_>=_2"}}), "=-A1>=2\t");
  // Only the two low bits of the type count.
  EXPECT_EQ(Write({{1, 1, 0x41, "t", {}}}), "t\t");
  // Separators inside a text become spaces.
  EXPECT_EQ(Write({{1, 1, CELL_TEXT, "a\tb\rc", {}}}), "a b c\t");
}

TEST(ExcelTextWrite, RewritesEveryCellOnceAndQuotesLineFeedFields) {
  EXPECT_EQ(Write<ExcelTextSheet>({{1, 1, CELL_TEXT, "_pi_", {}},
                                   {1, 2, CELL_FORMULA, std::string(8, '\0'), "=_e_^(1)"}}),
            "PI()\t=EXP(1)\t");
  // Unless the conversion says not to rewrite: then formulas pass unchanged both ways.
  EXPECT_EQ(Write<ExcelTextSheet>({{1, 1, CELL_TEXT, "_pi_", {}},
                                   {1, 2, CELL_FORMULA, std::string(8, '\0'), "=ACOS(B1)"}},
                                  false),
            "_pi_\t=ACOS(B1)\t");
  RecordingContext reading;
  reading.SetRewritesFormulas(false);
  EXPECT_EQ(Parse<ExcelTextSheet>(reading, "=ACOS(A1)")[0].formula, "=ACOS(A1)");
  // The whole field in double quotes, inner quotes doubled; the row ends stay CR LF.
  EXPECT_EQ(Write<ExcelTextSheet>({{1, 1, CELL_TEXT, "two\nlines", {}},
                                   {1, 2, CELL_TEXT, "say \"hi\"\nthen", {}},
                                   {2, 1, CELL_TEXT, "after", {}}}),
            "\"two\nlines\"\t\"say \"\"hi\"\"\nthen\"\t\t\r\nafter\t");
  // Plain text files are not read back by the engine and keep the field as it is.
  EXPECT_EQ(Write({{1, 1, CELL_TEXT, "two\nlines", {}}}), "two\nlines\t");
}

}  // namespace
}  // namespace tabulex
