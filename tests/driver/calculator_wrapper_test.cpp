// The check of a calculator file's wrapper before its data is read, on files built by hand, and
// what the driver does with its verdict.
#include <gtest/gtest.h>

#include "components/ErrorTextStandIn.h"
#include "converter/driver/CalculatorWrapper.h"
#include "converter/driver/Messages.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/DriverFixture.h"

namespace tabulex {
namespace {

using testing::DriverTest;
using testing::Kv52File;
using testing::Kv68File;

TEST(CalculatorWrapper, WholeFilesGiveTheirData) {
  const WrapperCheck kv52 = CheckWrapper(ZQ_TABULEX_52P, Kv52File("abc"));
  EXPECT_FALSE(kv52.refusal || kv52.warning);
  EXPECT_EQ(kv52.dataOffset, 72u);
  EXPECT_EQ(kv52.dataSize, 3u);
  // Every KV-68 family type takes both of the family's signatures.
  for (std::int32_t type : {ZQ_TABULEX_68, ZQ_TABULEX_74, ZQ_TABULEX_RB200}) {
    for (std::string_view signature : {"**KV68**", "**KV74P*"}) {
      const WrapperCheck kv68 = CheckWrapper(type, Kv68File(signature, "12345"));
      EXPECT_FALSE(kv68.refusal || kv68.warning) << type << signature;
      EXPECT_EQ(kv68.dataOffset, 88u);
      EXPECT_EQ(kv68.dataSize, 5u);
    }
  }
}

TEST(CalculatorWrapper, ForeignAndCutShortFilesAreRefused) {
  EXPECT_EQ(CheckWrapper(ZQ_TABULEX_52P, Kv68File("**KV68**", "x")).refusal,
            "not a KV-52 Plus spreadsheet file");
  EXPECT_EQ(CheckWrapper(ZQ_TABULEX_68, Kv52File("x")).refusal,
            "not a KV-68 family spreadsheet file");
  EXPECT_EQ(CheckWrapper(ZQ_TABULEX_74, std::string(300, 'A')).refusal,
            "not a KV-68 family spreadsheet file");
  EXPECT_EQ(CheckWrapper(ZQ_TAB_TEXT, Kv52File("x")).refusal, "not a calculator spreadsheet file");
  // Either family is known by its signature alone, whatever type the file was given.
  EXPECT_EQ(CalculatorFamilyOf(Kv52File("x")), "KV-52 Plus");
  EXPECT_EQ(CalculatorFamilyOf("**KV74P*"), "KV-68 family");
  EXPECT_EQ(CalculatorFamilyOf("**KV68*"), std::nullopt);
  // So are files cut short.
  const std::string file = Kv68File("**KV68**", std::string(1126 - 90, 'd'));
  EXPECT_EQ(CheckWrapper(ZQ_TABULEX_68, file.substr(0, 400)).refusal,
            "file is cut short: 400 of 1,126 bytes");
  // Too short to hold the size fields themselves: the header and checksum are the least.
  EXPECT_EQ(CheckWrapper(ZQ_TABULEX_52P, Kv52File("abc").substr(0, 50)).refusal,
            "file is cut short: 50 of 74 bytes");
}

TEST(CalculatorWrapper, DamageIsAWarning) {
  std::string file = Kv52File("abc");
  // The sum is 3 for the length at 57 and 294 for "abc": 0x0129. 'b' becomes 'B': 32 less.
  file[73] = 'B';
  const WrapperCheck flipped = CheckWrapper(ZQ_TABULEX_52P, file);
  EXPECT_FALSE(flipped.refusal);
  EXPECT_EQ(flipped.warning,
            "checksum mismatch (stored 0x0129, computed 0x0109): the file is "
            "damaged, and the cells read from it may be wrong");
  EXPECT_EQ(flipped.dataSize, 3u);

  // Bytes after the checksum: the data still ends where the size fields say.
  const WrapperCheck longer = CheckWrapper(ZQ_TABULEX_68, Kv68File("**KV68**", "xy") + "zz");
  EXPECT_FALSE(longer.refusal);
  EXPECT_EQ(longer.warning,
            "its size fields say 92 and 92 bytes, but it has 94: the file is "
            "damaged, and the cells read from it may be wrong");
  EXPECT_EQ(longer.dataSize, 2u);
}

TEST(Messages, GroupedDigits) {
  EXPECT_EQ(messages::GroupedDigits(0), "0");
  EXPECT_EQ(messages::GroupedDigits(999), "999");
  EXPECT_EQ(messages::GroupedDigits(1000), "1,000");
  EXPECT_EQ(messages::GroupedDigits(1234567), "1,234,567");
}

using DamagedSources = DriverTest;

TEST_F(DamagedSources, RefusedFilesWriteNothingAndDamagedFilesWarnOnce) {
  Write("grades.txt", "1\t2\r\n3\t4\r\n");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_68), kOk);
  const std::string whole = Read("g.68y");
  // 88 wrapper bytes, the 144-byte header, four 16-byte number records, the two zeros that end
  // them, the 6-byte tag and the 2-byte checksum.
  ASSERT_EQ(whole.size(), 306u);
  Write("cut.68y", whole.substr(0, whole.size() - 1));
  std::string flipped = whole;
  flipped[whole.size() - 1] ^= 0x01;  // the checksum's high byte
  Write("flipped.68y", flipped);

  EXPECT_EQ(Convert("cut.68y", ZQ_TABULEX_68, "cut", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(Convert("g.68y", ZQ_TABULEX_52P, "wrong", ZQ_TAB_TEXT), kFail);
  // A calculator file or a workbook given as text would become cells of its bytes.
  EXPECT_EQ(Convert("g.68y", ZQ_TAB_TEXT, "wrong", ZQ_TABULEX_52P), kFail);
  Write("book.txt", std::string("PK\x03\x04\x14\0\x06\0", 8));  // a zip's first entry
  EXPECT_EQ(Convert("book.txt", ZQ_TAB_TEXT, "wrong", ZQ_TABULEX_52P), kFail);
  Write("old.txt", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");  // a compound document
  EXPECT_EQ(Convert("old.txt", ZQ_TAB_TEXT, "wrong", ZQ_TABULEX_52P), kFail);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"book.txt", "cut.68y", "flipped.68y", "g.68y",
                                                 "grades.txt", "old.txt"}));
  const std::string workbook = ": a workbook, not text; convert it from its own type";
  EXPECT_EQ(ui->Texts(), (std::vector<std::string>{
                             PathOf("cut.68y") + ": file is cut short: 305 of 306 bytes",
                             PathOf("g.68y") + ": not a KV-52 Plus spreadsheet file",
                             PathOf("g.68y") + ": a KV-68 family spreadsheet file, not text; "
                                               "convert it from its own type",
                             PathOf("book.txt") + workbook, PathOf("old.txt") + workbook}));
  EXPECT_EQ(ui->messages[1].style, 0x2010u);

  ui->messages.clear();
  EXPECT_EQ(Convert("flipped.68y", ZQ_TABULEX_68, "flipped", ZQ_TAB_TEXT), kOk);
  ASSERT_EQ(Convert("g.68y", ZQ_TABULEX_68, "whole", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("flipped.txt"), Read("whole.txt"));
  ASSERT_EQ(ui->messages.size(), 1u);
  EXPECT_EQ(ui->messages[0].text.rfind(PathOf("flipped.68y") + ": checksum mismatch", 0), 0u);
  EXPECT_EQ(ui->messages[0].style, 0x30u);
}

}  // namespace
}  // namespace tabulex
