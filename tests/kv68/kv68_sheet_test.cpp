// KV-68 family sheets and cell records, against byte vectors worked out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "converter/kv68/Kv68Cell.h"
#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/ErrorCodes.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/CellRows.h"
#include "tests/support/MessageRows.h"
#include "tests/support/RecordSheet.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

using namespace std::string_literals;
using testing::CellRow;
using testing::Kv68SheetHeader;
using testing::RecordFields;
using testing::RecordingContext;
using testing::RecordSheet;

// A cell record: its length, its position ((column - 1) * 1000 + row, big-endian), its flags
// (the kind in bits 0-1), its content and a 2-byte reference count. A number is a 10-byte real; a
// text is quoted and ends in a zero; a formula is a count N, N - 1 bytes of value, its text and a
// zero.

// The image of a sheet holding `records`, with its 2-byte size field.
std::string Image(const std::string& records) {
  return testing::Le16(144 + records.size() + 8) + Kv68SheetHeader() + records + "\0\0"s;
}

struct Written {
  std::string image;
  std::size_t outputSize = 0;
};

Written Write(RecordingContext& context, const std::vector<RecordFields>& records) {
  RecordSheet source(context, records);
  Kv68Sheet target(context, source);
  target.TranslateFromIntermediate();
  return {target.GetOutput(), target.GetOutputSize()};
}

const std::string kRealZero = "\x40\x00\x00\x00\x00\x00\x00\x00\x00\x23"s;

TEST(Kv68SheetWrite, RecordsOfEachKind) {
  const std::pair<std::vector<RecordFields>, std::string> cases[] = {
      // An empty sheet is the header behind its size, then two zeros.
      {{}, ""},
      {{{1, 1, CELL_NUMBER, "1", {}},
        {1, 2, CELL_NUMBER, "-25.5", {}},
        {5, 3, CELL_TEXT, "ab", {}},
        {2, 1, CELL_FORMULA, "\0\0\0\0\0\0\0\0"s, "=SUM(A1:B2)"}},
       "\x10\x00\x01\x00\x40\x00\x10\x00\x00\x00\x00\x00\x00\x23\x00\x00"s +
           // (2 - 1) * 1000 + 1 = 1001 = 0x03E9
           "\x10\x03\xE9\x00\xC0\x01\x25\x50\x00\x00\x00\x00\x00\x23\x00\x00"s +
           // (3 - 1) * 1000 + 5 = 2005 = 0x07D5
           "\x0B\x07\xD5\x01\x22\x61\x62\x22\x00\x00\x00"s +
           // 11 bytes of formula text + 18 = 29; the value is the real 0.0 behind its count 11.
           "\x1D\x00\x02\x02\x0B"s + kRealZero + "=sum(a1:b2)\0\0\0"s},
      // A string record is a formula record without text; a text is rewritten, its formula
      // ignored.
      {{{1, 1, CELL_STRING, "s", {}}, {2, 1, CELL_TEXT, "30_degrees_ _pi_", "ignored"}},
       "\x12\x00\x01\x02\x0B"s + kRealZero + "\0\0\0"s +
           "\x0E\x00\x02\x01\x22\x33\x30\xB0\x20\x8C\x22\x00\x00\x00"s},
  };
  for (const auto& [cells, records] : cases) {
    RecordingContext context;
    const Written w = Write(context, cells);
    EXPECT_EQ(w.image, Image(records));
    EXPECT_EQ(w.outputSize, 144u + records.size() + 8u);
    EXPECT_TRUE(context.errors.empty());
  }
}

TEST(Kv68SheetWrite, FormulaIsLowerCasedAndRewrittenWithTheRecordKept) {
  RecordingContext context;
  RecordSheet source(context, {{1, 1, CELL_FORMULA, "0", "=AVERAGE(A1:A3)*PI()"}});
  Kv68Sheet target(context, source);
  target.TranslateFromIntermediate();
  std::string image = target.GetOutput();
  // "=mean(a1:a3)*" then the code of pi: 14 bytes.
  std::string records = "\x20\x00\x01\x02\x0B"s + kRealZero + "=mean(a1:a3)*\x8C\0\0\0"s;
  EXPECT_EQ(image, Image(records));
  const CellData* record = target.Cells()->Head()->cell->Record();
  EXPECT_EQ(record->formula, "=AVERAGE(A1:A3)*PI()");
  EXPECT_EQ(record->type, CELL_FORMULA);
}

TEST(Kv68SheetWrite, LongTextAndLongFormulasAreCutToFitTheirRecords) {
  RecordingContext context;
  Written w = Write(context, {{1, 1, CELL_TEXT, std::string(300, 'x'), {}},
                              {2, 1, CELL_FORMULA, "0", "=" + std::string(299, 'y')},
                              {3, 1, CELL_FORMULA, "0", "=" + std::string(236, 'z')}});
  // 252 bytes of text record; 255 bytes of formula record, the most a length byte holds.
  std::string text = "\xFC\x00\x01\x01\x22"s + std::string(243, 'x') + "\x22\0\0\0"s;
  std::string longFormula =
      "\xFF\x00\x02\x02\x0B"s + kRealZero + "=" + std::string(236, 'y') + "\0\0\0"s;
  std::string fitting =
      "\xFF\x00\x03\x02\x0B"s + kRealZero + "=" + std::string(236, 'z') + "\0\0\0"s;
  EXPECT_EQ(w.image, Image(text + longFormula + fitting));
  // The cut cells are told of; the fitting one is not.
  EXPECT_EQ(context.cut, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}}));
}

TEST(Kv68SheetWrite, CellsOutsideRowsAndColumnsAreLeftOutAndReportedOnce) {
  RecordingContext context;
  Written w = Write(context, {{1000, 1, CELL_TEXT, "a", {}},
                              {999, 64, CELL_TEXT, "b", {}},
                              {1, 65, CELL_TEXT, "c", {}},
                              {-1, 1, CELL_TEXT, "d", {}}});
  // 63 * 1000 + 999 = 63999 = 0xF9FF
  EXPECT_EQ(w.image, Image("\x0A\xF9\xFF\x01\x22\x62\x22\x00\x00\x00"s));
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_SHEET_TOO_LARGE});
  EXPECT_EQ(context.leftOut, (std::vector<std::pair<int, int>>{{1000, 1}, {1, 65}, {-1, 1}}));
}

TEST(Kv68SheetWrite, NumbersOutOfRangeAreReportedAndWritten) {
  RecordingContext context;
  const std::string image = Write(context, {{1, 1, CELL_NUMBER, "1.7e308", {}},
                                            {2, 1, CELL_NUMBER, "1e400", {}},
                                            {3, 1, CELL_NUMBER, "-1e-320", {}},
                                            {4, 1, CELL_NUMBER, "1.6999999999999e308", {}},
                                            {5, 1, CELL_NUMBER, "  +2.5e1xyz", {}},
                                            {6, 1, CELL_NUMBER, "abc", {}},
                                            {7, 1, CELL_NUMBER, "1.7e-308", {}}})
                                .image;
  EXPECT_EQ(testing::Shown(context),
            testing::MessageRows(
                3, {"Cell Data Value out of range", std::nullopt, message::kOk, std::nullopt}));
  auto real = [&image](int index) { return image.substr(146 + 16 * index + 4, 10); };
  EXPECT_EQ(real(0), "\x41\x34\x17\x00\x00\x00\x00\x00\x00\x23"s);
  // No double holds 1e400: the real 0.0 stands in.
  EXPECT_EQ(real(1), kRealZero);
  EXPECT_EQ(real(3), "\x41\x34\x16\x99\x99\x99\x99\x99\x99\x23"s);
  EXPECT_EQ(real(4), "\x40\x01\x25\x00\x00\x00\x00\x00\x00\x23"s);
  EXPECT_EQ(real(5), kRealZero);
  EXPECT_EQ(real(6), "\x3E\xCC\x17\x00\x00\x00\x00\x00\x00\x23"s);
}

// `count` number records of 16 bytes each, then `more`.
std::vector<RecordFields> Numbers(int count, const std::vector<RecordFields>& more = {}) {
  std::vector<RecordFields> records;
  for (int i = 0; i < count; ++i) {
    records.push_back({std::int16_t(i % 999 + 1), std::int16_t(i / 999 + 1), CELL_NUMBER, "1", {}});
  }
  records.insert(records.end(), more.begin(), more.end());
  return records;
}

TEST(Kv68SheetWrite, SheetIsCutAfterTheRecordThatPassesTheLimitOrStopsAtIt) {
  {
    RecordingContext context;
    // 144 + 4072 * 16 = 65296 takes one more record: 65312.
    Written w = Write(context, Numbers(4074));
    EXPECT_EQ(w.outputSize, 65312u + 8u);
    EXPECT_EQ(w.image.size(), 65316u);
    EXPECT_EQ(w.image.substr(0, 2), "\x28\xFF"s);
    EXPECT_EQ(w.image.substr(w.image.size() - 2), "\0\0"s);
    EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_SHEET_TOO_LARGE});
  }
  // 144 + 4071 * 16 + (11 + 9) = 65300 exactly: nothing more is taken.
  const RecordFields last{999, 64, CELL_TEXT, "abcdefghijk", {}};
  const RecordFields dropped{999, 65, CELL_TEXT, "x", {}};
  const RecordFields lost{1, 1, CELL_NUMBER, "2", {}};
  {
    RecordingContext context;
    EXPECT_EQ(Write(context, Numbers(4071, {last})).outputSize, 65308u);
    EXPECT_TRUE(context.errors.empty());
  }
  // A cell off the grid is lost whether or not the limit was reached; the error comes once.
  for (const auto& more :
       {std::vector<RecordFields>{last, dropped}, std::vector<RecordFields>{last, dropped, lost}}) {
    RecordingContext context;
    EXPECT_EQ(Write(context, Numbers(4071, more)).outputSize, 65308u);
    EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_SHEET_TOO_LARGE});
    EXPECT_EQ(context.leftOut, (std::vector<std::pair<int, int>>{{999, 65}}));
  }
}

TEST(Kv68SheetName, SetVarNameMakesAValidVariableName) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"my var", "my_var", true},
      {"9lives", "Alives", true},
      {"abcdefghij", "abcdefgh", true},
      {"a/b{c_9", "a/b{c_9", false},
      {"x.y", "x_y", true},
      {"ab\0cd\0\0\0"s, "ab", false},
      {"_a", "Aa", true},
      {"abcdefgh", "abcdefgh", false},
      {"\0\0\0\0\0\0\0\0"s, "", false},
  };
  for (const auto& [given, expected, changed] : cases) {
    RecordingContext context;
    Kv68Sheet sheet(context, "", 0);
    EXPECT_EQ(sheet.SetVarName(given), changed) << given;
    EXPECT_EQ(sheet.Name(), expected) << given;
    sheet.TranslateToIntermediate();
    ASSERT_NE(sheet.Header(), nullptr);
    EXPECT_EQ(sheet.Header()->source, SOURCE_KV68);
    EXPECT_EQ(sheet.Header()->name, expected);
    EXPECT_FALSE(sheet.Name().has_value());
  }
}

// Variable data: a header of 142 bytes, the extension length, the records and a terminator.
std::string VariableData(const std::string& records, std::string extension = "\x00\x02"s,
                         bool terminated = true) {
  return Kv68SheetHeader().substr(0, 142) + extension + records + (terminated ? "\0"s : ""s);
}

std::vector<CellRow> Read(RecordingContext& context, const std::string& data) {
  Kv68Sheet sheet(context, data.data(), data.size());
  return testing::RowsOf(sheet);
}

const std::string kNumberRecord12_5 =
    "\x10\x00\x01\x00\x40\x01\x12\x50\x00\x00\x00\x00\x00\x23\x00\x00"s;

TEST(Kv68SheetRead, RecordsOfEachKindComeOutInRowThenColumnOrder) {
  RecordingContext context;
  std::string records = "\x0E\x00\x01\x01\x22Total\x22\x00\x00\x00"s +
                        "\x0A\x00\x02\x01"
                        "ab\x22\x00\x00\x00"s +
                        "\x08\x00\x03\x01\x22\x00\x00\x00"s + "\x06\x00\x04\x01\x00\x00"s;
  // Without a leading quote only the line feed goes; a lone quote, and an empty text part,
  // hold no text.
  EXPECT_EQ(Read(context, VariableData(records)), (std::vector<CellRow>{{1, 1, CELL_TEXT, "Total"},
                                                                        {2, 1, CELL_TEXT, "ab\""},
                                                                        {3, 1, CELL_TEXT, ""},
                                                                        {4, 1, CELL_TEXT, ""}}));
  std::string trace;
  for (int i = 0; i < 4; ++i) trace += "Mac version changed, remove quote\n";
  EXPECT_EQ(context.traces, trace);
  // Kind 2 with an upper flag bit; the value is the real -2, the text "mean(a1:a3)".
  records =
      "\x1D\x00\x01\x42\x0B\xC0\x00\x20\x00\x00\x00\x00\x00\x00\x23"
      "mean(a1:a3)\x00\x00\x00"s +
      // Kind 3 with no value bytes (N = 1) and the text "=sum(a1)".
      "\x10\x00\x02\x03\x01"
      "=sum(a1)\x00\x00\x00"s;
  EXPECT_EQ(Read(context, VariableData(records)),
            (std::vector<CellRow>{{1, 1, 0x43,
                                   "\xAD"
                                   "2.",
                                   "average(a1:a3)"},
                                  {2, 1, CELL_FORMULA, "", "=sum(a1)"}}));
  auto text = [](std::uint16_t offset, char c) {
    return "\x0A"s + static_cast<char>(offset >> 8) + static_cast<char>(offset & 0xFF) +
           "\x01\x22"s + c + "\x22\x00\x00\x00"s;
  };
  // Row 2 column 1, row 1 column 26, row 1 column 1.
  EXPECT_EQ(Read(context, VariableData(text(2, 'a') + text(25001, 'b') + text(1, 'c'))),
            (std::vector<CellRow>{
                {1, 1, CELL_TEXT, "c"}, {1, 26, CELL_TEXT, "b"}, {2, 1, CELL_TEXT, "a"}}));
  // Number records become formulas unless they show no number: 12.5 at row 1, column 1; -2 at
  // row 5, column 3; the letter x with an upper flag bit.
  records = kNumberRecord12_5 +
            "\x10\x07\xD5\x00\xC0\x00\x20\x00\x00\x00\x00\x00\x00\x23\x00\x00"s +
            "\x07\x00\x02\x40\x08\x00\x00"s;
  // The minus sign is the calculator's, which becomes its escape name.
  EXPECT_EQ(Read(context, VariableData(records)),
            (std::vector<CellRow>{{1, 1, CELL_FORMULA, "0", "=12.5"},
                                  {2, 1, 0x40, "x"},
                                  {5, 3, CELL_FORMULA, "0", "=_neg_2."}}));
  // A number record without content is an empty cell.
  EXPECT_EQ(Read(context, VariableData("\x06\x00\x01\x00\x00\x00"s)),
            (std::vector<CellRow>{{1, 1, CELL_NUMBER, ""}}));
}

TEST(Kv68SheetRead, ExtensionLengthIsSkippedAndBelowTwoReadAsTwo) {
  RecordingContext context;
  EXPECT_EQ(Read(context, VariableData("\xAA\xBB"s + kNumberRecord12_5, "\x00\x04"s)).size(), 1u);
  EXPECT_EQ(Read(context, VariableData(kNumberRecord12_5, "\x00\x00"s)).size(), 1u);
  EXPECT_EQ(Read(context, VariableData(kNumberRecord12_5, "\x80\x00"s)).size(), 1u);
  EXPECT_EQ(Read(context, VariableData(kNumberRecord12_5, "\x7F\xFF"s)).size(), 0u);
  EXPECT_EQ(Read(context, Kv68SheetHeader().substr(0, 143)).size(), 0u);
  EXPECT_EQ(Read(context, "").size(), 0u);
}

TEST(Kv68SheetRead, BrokenRecordsEndTheListAndEarlierCellsStand) {
  const std::string broken[] = {
      "\x05\x00\x02\x00\x00"s,              // shorter than its fixed bytes
      "\x20\x00\x02\x00\x40\x00"s,          // runs past the end
      "\x08\x00\x02\x02\x00\x41\x00\x00"s,  // N of 0
      "\x08\x00\x02\x02\x03\x41\x00\x00"s,  // N beyond the record
      "\x06\x00\x02\x02\x00\x00"s,          // no N at all
      ""s,                                  // no terminator: the end of the bytes
  };
  for (const std::string& record : broken) {
    RecordingContext context;
    std::string records = kNumberRecord12_5 + record + (record.empty() ? "" : kNumberRecord12_5);
    EXPECT_EQ(Read(context, VariableData(records, "\x00\x02"s, false)),
              (std::vector<CellRow>{{1, 1, CELL_FORMULA, "0", "=12.5"}}))
        << ::testing::PrintToString(record);
  }
  // Where and why reading stopped: behind the header, the first record and the length byte of
  // the record that runs past the end; or in the header, at an extension length cut in half.
  RecordingContext context;
  const std::string pastEnd = VariableData(kNumberRecord12_5 + broken[1], "\x00\x02"s, false);
  const std::string inHeader = Kv68SheetHeader().substr(0, 143);
  for (const auto& [data, offset, reason] :
       {std::tuple{pastEnd, 144u + 16u + 1u, kRecordPastEnd}, {inHeader, 142u, kHeaderPastEnd}}) {
    const Kv68Sheet sheet(context, data.data(), data.size());
    ASSERT_TRUE(sheet.StoppedEarly()) << reason;
    EXPECT_EQ(sheet.StoppedEarly()->offset, offset);
    EXPECT_EQ(sheet.StoppedEarly()->reason, reason);
  }
}

TEST(Kv68Cell, DescribeShowsTheRecordFieldsThenTheIntermediateCell) {
  RecordingContext context;
  std::string data = VariableData("\x07\x07\xD5\x40\x08\x12\x34"s);
  Kv68Sheet sheet(context, data.data(), data.size());
  ASSERT_EQ(sheet.Cells()->Count(), 1u);
  EXPECT_EQ(sheet.Cells()->Head()->cell->Describe(),
            "Calculator Data\nOffset: 2005\t\tCellLength: 7\t\tType: 64\t\tReference count: 4660\n"
            "Data: \nData2: \nIntermediate SpreadsheetCell\nRow: 5\t\tColumn: 3\t\tType: 64\t\t"
            "Data: x\n");
  EXPECT_EQ(sheet.Describe(), "");
}

}  // namespace
}  // namespace tabulex
