// The spreadsheet image: reading records into intermediate cells and building images from them.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "converter/appvar/AppVarSheet.h"
#include "converter/model/ErrorCodes.h"
#include "tests/support/Bytes.h"
#include "tests/support/CellRows.h"
#include "tests/support/RecordSheet.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

using testing::Bytes;
using testing::CellRow;
using testing::RecordFields;
using testing::RecordingContext;
using testing::RecordSheet;

// A cell record: its length, its position ((column - 1) * 1000 + row, big-endian), its type, its
// content and a 4-byte reference count. A number is a 9-byte real (sign, exponent byte, seven
// bytes of packed digits); a string is its tokens behind the quote token 0x2A; a formula is the
// real of its value, then its tokens from "=" (0x6A).

// The 194-byte header area with the given 8 name bytes and data length.
std::string Header(const std::string& nameField, int dataLength) {
  std::string h = Bytes({dataLength & 0xFF, dataLength >> 8, 0xF3, 0x47, 0xBF, 0xAA});
  h += nameField;
  h += Bytes({0x00, 0x00});
  h += std::string(13, '\xAA');
  h += std::string(165, '\0');
  return h;
}

const std::string kAbcName = Bytes({0x41, 0x42, 0x43, 0x00, 0x20, 0x20, 0x20, 0x20});
const std::string kEnd = Bytes({0x00, 0x00});
// C5 = 12.5
const std::string kNumberC5 =
    Bytes({0x11, 0x07, 0xD5, 0x00, 0x00, 0x81, 0x12, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0});
// A1 = "HELLO"
const std::string kStringA1 =
    Bytes({0x0E, 0x00, 0x01, 0x01, 0x2A, 0x48, 0x45, 0x4C, 0x4C, 0x4F, 0, 0, 0, 0});
// B2 = sum(A1:A5), cached value 15
const std::string kFormulaB2 = Bytes({0x19, 0x03, 0xEA, 0x03, 0x00, 0x81, 0x15, 0,    0, 0, 0, 0, 0,
                                      0x6A, 0xB6, 0x41, 0x31, 0x3E, 0x41, 0x35, 0x11, 0, 0, 0, 0});

// Builds the target image of `source` under `deviceName`; the result is the image without the
// extra byte that follows it.
std::string Image(RecordingContext& context, RecordSheet& source, std::string_view deviceName,
                  std::size_t* outputSize = nullptr) {
  AppVarSheet target(context, source);
  target.TranslateFromIntermediate();
  target.SetDeviceName(deviceName);
  std::string out = target.GetOutput();
  if (outputSize) *outputSize = target.GetOutputSize();
  EXPECT_EQ(out.size(), target.GetOutputSize() + 3);
  EXPECT_EQ(out.back(), '\0');
  out.pop_back();
  return out;
}

// The records of an image: everything between the header area and the end marker.
std::string Records(const std::string& image) {
  return image.substr(kAppVarHeaderSize, image.size() - kAppVarHeaderSize - 2);
}

// A source sheet the test adds cells to, written as the device variable ABC.
class AppVarWriteTest : public ::testing::Test {
 protected:
  std::string Written() { return Image(context, source, "ABC", &size); }
  std::string WrittenRecords() { return Records(Written()); }

  RecordingContext context;
  RecordSheet source{context, {}, "ABC"};
  std::size_t size = 0;
};

using AppVarLimitTest = AppVarWriteTest;

TEST(AppVarReadTest, ReadsNumberStringAndFormulaRecords) {
  RecordingContext context;
  const std::string image =
      Header(kAbcName, 194 + 17 + 14 + 25) + kNumberC5 + kStringA1 + kFormulaB2 + kEnd;
  AppVarSheet sheet(context, image.data(), image.size());
  sheet.TranslateToIntermediate();
  EXPECT_EQ(testing::RowsOf(sheet),
            (std::vector<CellRow>{{1, 1, CELL_TEXT, "HELLO", std::nullopt},
                                  {2, 2, CELL_FORMULA, "15", "=SUM(A1:A5)"},
                                  {5, 3, CELL_NUMBER, "12.5", std::nullopt}}));
  ASSERT_NE(sheet.Header(), nullptr);
  EXPECT_EQ(sheet.Header()->source, SOURCE_KV52P);
  EXPECT_EQ(sheet.Header()->name, "ABC");
  EXPECT_EQ(sheet.FillerBlock(), std::string(13, '\xAA'));
  EXPECT_TRUE(context.errors.empty());
}

TEST(AppVarReadTest, SortsByRowThenColumnAndReadsQuirks) {
  RecordingContext context;
  auto number = [](int offset) {
    return Bytes(
        {0x11, offset >> 8, offset & 0xFF, 0x00, 0x00, 0x80, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  };
  // B1 (1001), A2 (2), A1 (1), Z1 (25001)
  const std::string image =
      Header(kAbcName, 0) + number(1001) + number(2) + number(1) + number(25001) + kEnd;
  AppVarSheet sheet(context, image.data(), image.size());
  EXPECT_EQ(testing::RowsOf(sheet), (std::vector<CellRow>{{1, 1, CELL_NUMBER, "1"},
                                                          {1, 2, CELL_NUMBER, "1"},
                                                          {1, 26, CELL_NUMBER, "1"},
                                                          {2, 1, CELL_NUMBER, "1"}}));
  // Upper type bits are ignored; a string without its quote token keeps its first character;
  // an assembly program in a formula gives an empty formula.
  const std::string quirks = Header(kAbcName, 0) +
                             Bytes({0x0A, 0x00, 0x01, 0xFD, 0x48, 0x49, 0, 0, 0, 0}) +
                             Bytes({0x15, 0x00, 0x02, 0x03, 0,    0x80, 0, 0, 0, 0, 0,
                                    0,    0,    0x6A, 0x41, 0xBB, 0x6D, 0, 0, 0, 0}) +
                             kEnd;
  AppVarSheet quirky(context, quirks.data(), quirks.size());
  EXPECT_EQ(testing::RowsOf(quirky), (std::vector<CellRow>{{1, 1, CELL_TEXT, "HI", std::nullopt},
                                                           {2, 1, CELL_FORMULA, "0", ""}}));
}

TEST(AppVarReadTest, DamagedRecordEndsTheCellListWhereReadingStopped) {
  RecordingContext context;
  const std::string good = Header(kAbcName, 0) + kStringA1;
  // A record of length 0x30 with only five of its bytes given.
  const std::string pastEnd = good + Bytes({0x30, 0x00, 0x02, 0x01, 0x2A, 0x41});
  // A number shorter than 17 bytes, a string shorter than 8, a formula shorter than 17.
  const std::string shortNumber =
      good + Bytes({0x10, 0, 2, 0, 0, 0x80, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + kStringA1 + kEnd;
  const std::string shortString = good + Bytes({0x07, 0, 2, 1, 0, 0, 0}) + kStringA1 + kEnd;
  const std::string shortFormula =
      good + Bytes({0x10, 0, 2, 3, 0, 0x80, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + kStringA1 + kEnd;
  // No end marker at all.
  const std::string unterminated = good;
  for (const std::string& image : {pastEnd, shortNumber, shortString, shortFormula, unterminated}) {
    AppVarSheet sheet(context, image.data(), image.size());
    EXPECT_EQ(testing::RowsOf(sheet), (std::vector<CellRow>{{1, 1, CELL_TEXT, "HELLO"}}));
  }
  AppVarSheet sheet(context, pastEnd.data(), pastEnd.size());
  ASSERT_TRUE(sheet.StoppedEarly());
  // Behind the header, the string record and the failing record's length byte.
  EXPECT_EQ(sheet.StoppedEarly()->offset, kAppVarHeaderSize + kStringA1.size() + 1);
  EXPECT_EQ(sheet.StoppedEarly()->reason, kRecordPastEnd);
  const std::string complete = good + kEnd;
  EXPECT_FALSE(AppVarSheet(context, complete.data(), complete.size()).StoppedEarly());
}

TEST(AppVarReadTest, NameEndsAtZeroOrAfterEightBytesAndShortImagesHoldNoCells) {
  RecordingContext context;
  const std::string full = Header("ABCDEFGH", 194) + kEnd;
  AppVarSheet eight(context, full.data(), full.size());
  eight.TranslateToIntermediate();
  EXPECT_EQ(eight.Header()->name, "ABCDEFGH");
  const std::string header = Header(kAbcName, 194);
  for (std::size_t size : {0u, 3u, 9u, 20u, 193u, 194u}) {
    AppVarSheet sheet(context, header.data(), size);
    sheet.TranslateToIntermediate();
    EXPECT_TRUE(sheet.Cells()->Empty());
    EXPECT_EQ(sheet.Header()->name, std::string("ABC").substr(0, size > 6 ? size - 6 : 0));
  }
}

TEST(AppVarWriteRecordsTest, RecordsOfEachKind) {
  const std::string zero = Bytes({0x00, 0x80, 0, 0, 0, 0, 0, 0, 0});
  const struct {
    std::vector<RecordFields> cells;
    std::string records;
    std::vector<std::uint32_t> errors = {};
  } cases[] = {
      {{}, ""},
      {{{5, 3, CELL_NUMBER, "12.5", {}}, {6, 3, CELL_NUMBER, "-0.05", {}}},
       kNumberC5 + Bytes({0x11, 0x07, 0xD6, 0x00, 0x80, 0x7E, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
      {{{1, 1, CELL_TEXT, "HELLO", {}}, {2, 1, CELL_TEXT, "abc", {}}},
       kStringA1 + Bytes({0x0C, 0x00, 0x02, 0x01, 0x2A, 0x41, 0x42, 0x43, 0, 0, 0, 0})},
      {{{2, 2, CELL_FORMULA, "15", "=sum(A1:A5)"}}, kFormulaB2},
      // A formula without text is its value alone.
      {{{1, 1, CELL_FORMULA, std::string(8, '\0'), ""}},
       Bytes({0x11, 0x00, 0x01, 0x03, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
      // Numbers that cannot be encoded are zero, and reported once.
      {{{1, 1, CELL_NUMBER, "1E100", {}},
        {2, 1, CELL_FORMULA, "-9.9999999999999E99", "=1"},
        {3, 1, CELL_TEXT, "$1E300", {}}},
       Bytes({0x11, 0x00, 0x01, 0x00}) + zero + std::string(4, '\0') +
           Bytes({0x13, 0x00, 0x02, 0x03}) + zero + "\x6A\x31" + std::string(4, '\0') +
           Bytes({0x11, 0x00, 0x03, 0x00}) + zero + std::string(4, '\0'),
       {ERR_NUMBER_OUT_OF_RANGE}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells.size());
    RecordingContext context;
    RecordSheet source(context, c.cells, "ABC");
    std::size_t size = 0;
    EXPECT_EQ(Image(context, source, "ABC", &size),
              Header(kAbcName, 194 + c.records.size()) + c.records + kEnd);
    EXPECT_EQ(size, 194u + c.records.size());
    EXPECT_EQ(context.errors, c.errors);
  }
}

TEST_F(AppVarWriteTest, DollarAmountsBecomeNumbers) {
  source.Add(1, 1, CELL_TEXT, "$12")
      .Add(2, 1, CELL_TEXT, "$0.5")
      .Add(3, 1, CELL_TEXT, "3 APPLES")
      .Add(4, 1, CELL_TEXT, "$info");
  AppVarSheet target(context, source);
  target.TranslateFromIntermediate();
  target.SetDeviceName("ABC");
  EXPECT_EQ(Records(target.GetOutput().substr(0, target.GetOutputSize() + 2)),
            Bytes({0x11, 0x00, 0x01, 0x00, 0x00, 0x81, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
                // "$" becomes 0x04, which has no token: "?".
                Bytes({0x0D, 0x00, 0x02, 0x01, 0x2A, 0xAF, 0x30, 0x3A, 0x35, 0, 0, 0, 0}) +
                // A number at the start of a text does not make it a number.
                Bytes({0x11, 0x00, 0x03, 0x01, 0x2A, 0x33, 0x29, 0x41, 0x50, 0x50, 0x4C, 0x45, 0x53,
                       0, 0, 0, 0}) +
                // "INF" starts a C-library number, but not a finite one.
                Bytes({0x0E, 0x00, 0x04, 0x01, 0x2A, 0xAF, 0x49, 0x4E, 0x46, 0x4F, 0, 0, 0, 0}));
  // The intermediate cell keeps its text and type.
  EXPECT_EQ(testing::RowsOf(target)[0], (CellRow{1, 1, CELL_TEXT, "$12"}));
}

TEST_F(AppVarWriteTest, TokenBytesAreCutAtForty) {
  source.Add(1, 1, CELL_TEXT, std::string(45, 'A'))
      .Add(2, 1, CELL_TEXT, std::string(38, 'A') + "[A]")
      .Add(3, 1, CELL_FORMULA, std::string(8, '\0'), "=" + std::string(49, 'A'));
  const std::string records = WrittenRecords();
  const std::string zero9 = Bytes({0x00, 0x80, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(records, Bytes({0x30, 0x00, 0x01, 0x01, 0x2A}) + std::string(39, 'A') +
                         std::string(4, '\0') +
                         // The cut separates the two bytes of the token of "[A]".
                         Bytes({0x30, 0x00, 0x02, 0x01, 0x2A}) + std::string(38, 'A') + "\x5C" +
                         std::string(4, '\0') + Bytes({0x39, 0x00, 0x03, 0x03}) + zero9 + "\x6A" +
                         std::string(39, 'A') + std::string(4, '\0'));
  EXPECT_EQ(context.cut, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}}));
  // A text of exactly forty token bytes is kept whole.
  RecordSheet fitting(context, {}, "ABC");
  fitting.Add(1, 1, CELL_TEXT, std::string(39, 'A'));
  context.cut.clear();
  Image(context, fitting, "ABC");
  EXPECT_TRUE(context.cut.empty());
}

TEST_F(AppVarWriteTest, TypeTwoCellFails) {
  source.Add(1, 1, CELL_STRING, "X");
  AppVarSheet target(context, source);
  try {
    target.TranslateFromIntermediate();
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Type");
  }
}

TEST_F(AppVarLimitTest, CellsOutsideTheGridAreLeftOutAndReportedOnce) {
  source.Add(999, 26, CELL_NUMBER, "1")
      .Add(1000, 1, CELL_NUMBER, "1")
      .Add(1, 27, CELL_NUMBER, "1")
      .Add(0, 1, CELL_NUMBER, "1")
      .Add(1, 0, CELL_NUMBER, "1");
  EXPECT_EQ(WrittenRecords(),
            Bytes({0x11, 0x65, 0x8F, 0x00, 0x00, 0x80, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(size, 194u + 17u);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_SHEET_TOO_LARGE});
  EXPECT_EQ(context.leftOut,
            (std::vector<std::pair<int, int>>{{1000, 1}, {1, 27}, {0, 1}, {1, 0}}));
}

TEST_F(AppVarLimitTest, SheetStopsAtTheDataLimit) {
  // 192 + 17 * 1313 = 22513 is below the limit; the 1314th cell carries it to 22530.
  for (int count : {1313, 1314, 1400}) {
    RecordingContext fresh;
    RecordSheet sheet(fresh, {}, "ABC");
    for (int i = 0; i < count; ++i) sheet.Add(i % 999 + 1, i / 999 + 1, CELL_NUMBER, "7");
    // A cell off the grid past the data limit is counted too, under the same error.
    if (count == 1400) sheet.Add(1000, 2, CELL_NUMBER, "7");
    const std::string image = Image(fresh, sheet, "ABC", &size);
    const std::size_t written = std::min(count, 1314);
    EXPECT_EQ(size, 194u + 17u * written) << count;
    EXPECT_EQ(image.substr(0, 2),
              Bytes({static_cast<int>(size & 0xFF), static_cast<int>(size >> 8)}));
    using Errors = std::vector<std::uint32_t>;
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(fresh.errors, count == 1313 ? Errors{} : Errors{ERR_SHEET_TOO_LARGE}) << count;
    EXPECT_EQ(fresh.leftOut, (count == 1400 ? Cells{{1000, 2}} : Cells{}));
  }
}

TEST(AppVarNameTest, DeviceNameOrElseTheSheetName) {
  RecordingContext context;
  const struct {
    std::optional<std::string> device;
    std::optional<std::string> sheet;
    std::string field;
  } cases[] = {
      {"sales-q1", "IGNORED", "SALESAQ1"},
      {"ABCDEFGH", "IGNORED", "ABCDEFGH"},
      {"abcdefghijk", "IGNORED", "ABCDEFGH"},
      {"ABC", "IGNORED", kAbcName},
      {"", "IGNORED", Bytes({0x00, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20})},
      {"1a b", "IGNORED", Bytes({0x31, 0x41, 0x41, 0x42, 0x00, 0x20, 0x20, 0x20})},
      {std::string("AB\0CD", 5), "IGNORED",
       Bytes({0x41, 0x42, 0x00, 0x20, 0x20, 0x20, 0x20, 0x20})},
      // Without a device name the sheet's name is used.
      {std::nullopt, "abcdefghij", "ABCDEFGH"},
      {std::nullopt, std::string("ab\0cdefgh", 9),
       Bytes({0x41, 0x42, 0x00, 0x20, 0x20, 0x20, 0x20, 0x20})},
      {std::nullopt, std::nullopt, Bytes({0x00, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    RecordSheet source(context, {}, c.sheet);
    AppVarSheet target(context, source);
    target.TranslateFromIntermediate();
    if (c.device) target.SetDeviceName(*c.device);
    EXPECT_EQ(target.GetOutput().substr(6, 8), c.field);
  }
}

}  // namespace
}  // namespace tabulex
