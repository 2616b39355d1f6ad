// The driver's calculator branches: output naming and messages, the component's data and tag,
// size limits of calculator sources, the re-save path, component failures, and text through each
// calculator format and back.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/ErrorTextStandIn.h"
#include "components/VarFileStandIn.h"
#include "converter/model/Spreadsheet.h"
#include "tests/support/Bytes.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/DriverFixture.h"
#include "tests/support/MessageRows.h"

namespace tabulex {
namespace {

using namespace std::string_literals;
using components::ErrorTextFor;
using testing::Bytes;
using testing::DriverTest;
using testing::Kv68SheetHeader;
using testing::MessageRows;
using testing::Shown;
using Texts = std::vector<std::string>;

const std::string kOwner = "ZQ Tabulex Converter";

// The variable data of an empty KV-52 Plus sheet named ABC as the driver hands it to the
// component: the image from its name on, and the zero byte behind the image.
std::string EmptyKv52Data() {
  std::string data = Bytes({0x41, 0x42, 0x43, 0x00, 0x20, 0x20, 0x20, 0x20, 0x00, 0x00});
  data += std::string(13, '\xAA') + std::string(165, '\0');
  data += Bytes({0x00, 0x00, 0x00});
  return data;
}

// The variable data of an empty KV-68 family sheet: the header and the terminator.
std::string EmptyKv68Data() {
  return Kv68SheetHeader() + "\0"s;
}

using CalculatorBranches = DriverTest;

TEST_F(CalculatorBranches, Kv52TargetRenamedByTheDevice) {
  Write("grades.txt", "hello");
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_52P), kOk);
  EXPECT_EQ(Shown(*ui), (MessageRows{{"The name of the file has been changed to comply with the "
                                      "device naming conventions. \nThe file name is now "
                                      "GRADES.5xv and can be viewed on the device as GRADES.\n",
                                      "Invalid File Name", 0x40u, kOwner}}));
  EXPECT_EQ(Remembered(), PathOf("GRADES.5xv"));

  const std::string file = Read("GRADES.5xv");
  // 72 header bytes, the count and tag, the image from its name on plus one zero, checksum.
  ASSERT_EQ(file.size(), 72u + 6 + (194 + 14 - 3) + 2);
  EXPECT_EQ(file.substr(72, 6), Bytes({0xD1, 0x00, 0xF3, 0x47, 0xBF, 0xAA}));
  EXPECT_EQ(file.substr(78, 10), Bytes({'G', 'R', 'A', 'D', 'E', 'S', 0x00, 0x20, 0x00, 0x00}));
  EXPECT_EQ(file.substr(72 + 194, 14 + 3), Bytes({0x0E, 0x00, 0x01, 0x01, 0x2A, 0x48, 0x45, 0x4C,
                                                  0x4C, 0x4F, 0, 0, 0, 0, 0x00, 0x00, 0x00}));
}

TEST_F(CalculatorBranches, Kv68TargetsAndTheRamblaFold) {
  Write("grades.txt", "hello");
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_68), kOk);
  EXPECT_TRUE(ui->messages.empty());
  const std::string file = Read("grades.68y");
  EXPECT_EQ(file.substr(0, 8), "**KV68**");
  EXPECT_EQ(file.substr(64, 8), std::string("grades\0\0", 8));
  // The variable data: 144 header bytes, the text record, the terminator, then the tag.
  EXPECT_EQ(file.substr(88, 9), std::string("TabLex\0\0\0", 9));
  EXPECT_EQ(file.substr(88 + 144, 15 + 7),
            Bytes({0x0E, 0x00, 0x01, 0x01, 0x22, 'h', 'e', 'l', 'l', 'o',  0x22,
                   0,    0,    0,    0x00, 0x00, 'C', 'E', 'L', 'L', 0x00, 0xF8}));

  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_RB200), kOk);
  EXPECT_EQ(Read("grades.r2y").substr(0, 8), "**KV74P*");
  EXPECT_EQ(Remembered(), PathOf("grades.r2y"));
  EXPECT_EQ(Convert("grades.r2y", ZQ_TABULEX_RB200, "back", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("back.txt"), "hello\t");
}

TEST_F(CalculatorBranches, FolderPartOfTheDeviceNameBecomesADot) {
  Write("grades.txt", "1");
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "Budget\\Q1 2024", ZQ_TABULEX_68), kOk);
  EXPECT_TRUE(Exists("budget.q12024.68y"));
  EXPECT_EQ(Shown(*ui), (MessageRows{{"The name of the file has been changed to comply with the "
                                      "device naming conventions. \nThe file name is now "
                                      "budget.q12024.68y and can be viewed on the device as "
                                      "budget\\q12024.\n",
                                      "Invalid File Name", 0x40u, kOwner}}));
}

TEST_F(CalculatorBranches, CalculatorSourceSizeLimits) {
  Write("small.5xv", *components::WrapKv52("ABC", kAppVarSheetSignature, EmptyKv52Data()));
  ASSERT_EQ(Read("small.5xv").size(), 271u);
  EXPECT_EQ(Convert("small.5xv", ZQ_TABULEX_52P, "x", ZQ_TAB_TEXT), CONVERT_E_SOURCE_TOO_SMALL);
  Write("ok.5xv", *components::WrapKv52("ABC", kAppVarSheetSignature, EmptyKv52Data() + '\0'));
  ASSERT_EQ(Read("ok.5xv").size(), 272u);
  // The smallest file is read whole: the name comes from the data.
  LoadedSource kv52 = Conv().ReadSource(PathOf("ok.5xv"), ZQ_TABULEX_52P, "", "ignored");
  ASSERT_EQ(kv52.Result(), kOk);
  EXPECT_EQ(kv52.Sheet()->Header()->name, "ABC");
  EXPECT_EQ(kv52.Sheet()->Header()->source, SOURCE_KV52P);

  Write("small.68y", *components::WrapKv68(7, "sheet", kKv68SheetTag, EmptyKv68Data()));
  ASSERT_EQ(Read("small.68y").size(), 242u);
  EXPECT_EQ(Convert("small.68y", ZQ_TABULEX_68, "x", ZQ_TAB_TEXT), CONVERT_E_SOURCE_TOO_SMALL);
  Write("ok.7xy", *components::WrapKv68(9, "sheet", kKv68SheetTag, EmptyKv68Data() + '\0'));
  ASSERT_EQ(Read("ok.7xy").size(), 243u);
  EXPECT_EQ(Convert("ok.7xy", ZQ_TABULEX_74, "x", ZQ_TABULEX_NULL), kOk);
  EXPECT_EQ(ui->Texts(), Texts(2, ErrorTextFor(ERR_SOURCE_TOO_SMALL)));
}

TEST_F(CalculatorBranches, ResaveWithinTheKv68Family) {
  Write("grades.txt", "hello\t2");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_68), kOk);
  EXPECT_EQ(Convert("grades.68y", ZQ_TABULEX_68, "copy", ZQ_TABULEX_74), kOk);
  EXPECT_EQ(Remembered(), PathOf("copy.7xy"));
  const std::string kv74 = Read("copy.7xy");
  EXPECT_EQ(kv74.substr(0, 8), "**KV74P*");
  EXPECT_EQ(kv74.substr(64, 8), std::string("copy\0\0\0\0", 8));
  EXPECT_EQ(kv74.substr(86), Read("grades.68y").substr(86));
  EXPECT_EQ(Convert("copy.7xy", ZQ_TABULEX_74, "again", ZQ_TABULEX_RB200), kOk);
  EXPECT_EQ(Read("again.r2y").substr(86), kv74.substr(86));
  EXPECT_TRUE(ui->messages.empty());  // no renaming message on this path
  EXPECT_EQ(Listing(), (Texts{"again.r2y", "copy.7xy", "grades.68y", "grades.txt"}));
  // An existing output is asked about first.
  Write("c.7xy", "old");
  ui->answers = {message::kAnswerNo};
  EXPECT_EQ(Convert("grades.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), CONVERT_SKIPPED);
  ui->answers = {message::kAnswerCancel};
  EXPECT_EQ(Convert("grades.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), CONVERT_CANCELLED);
  EXPECT_EQ(Read("c.7xy"), "old");
  ui->answers = {message::kAnswerYes};
  EXPECT_EQ(Convert("grades.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kOk);
  EXPECT_EQ(Read("c.7xy").substr(0, 8), "**KV74P*");
}

TEST_F(CalculatorBranches, ResaveOfTheSameType) {
  Write("grades.txt", "1");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "GRADES", ZQ_TABULEX_52P), kOk);
  EXPECT_TRUE(ui->messages.empty());  // a valid device name is not changed
  EXPECT_EQ(Convert("GRADES.5xv", ZQ_TABULEX_52P, "renamed", ZQ_TABULEX_52P), kOk);
  EXPECT_EQ(Read("renamed.5xv").substr(60, 8), std::string("RENAMED\0", 8));
  const std::string before = Read("GRADES.5xv");
  const std::string after = Read("renamed.5xv");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(72, after.size() - 74), before.substr(72, before.size() - 74));
  EXPECT_EQ(Remembered(), PathOf("renamed.5xv"));
}

TEST_F(CalculatorBranches, ResaveFailuresSayWhatFailed) {
  // A missing, foreign or damaged source is the source's problem, not the output's. A missing
  // calculator source is named on the way to text as well.
  Write("grades.txt", "1");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_68), kOk);
  std::string damaged = Read("g.68y");
  damaged[100] ^= 0x01;
  Write("damaged.68y", damaged);
  std::filesystem::rename(PathOf("g.68y"), PathOf("g.5xv"));
  EXPECT_EQ(Convert("absent.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kFail);
  EXPECT_EQ(Convert("grades.txt", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kFail);
  EXPECT_EQ(Convert("g.5xv", ZQ_TABULEX_52P, "c", ZQ_TABULEX_52P), kFail);
  EXPECT_EQ(Convert("damaged.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kFail);
  EXPECT_EQ(Convert("absent.68y", ZQ_TABULEX_68, "x", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(Convert("absent.5xv", ZQ_TABULEX_52P, "x", ZQ_TAB_TEXT), kFail);
  const std::string cannotOpen = ": " + ErrorTextFor(ERR_SOURCE_OPEN);
  EXPECT_EQ(ui->Texts(),
            (Texts{PathOf("absent.68y") + cannotOpen,
                   PathOf("grades.txt") + ": not a KV-68 family spreadsheet file",
                   PathOf("g.5xv") + ": not a KV-52 Plus spreadsheet file",
                   PathOf("damaged.68y") + ": " + ErrorTextFor(components::kInvalidData),
                   PathOf("absent.68y") + cannotOpen, PathOf("absent.5xv") + cannotOpen}));
  EXPECT_EQ(Listing(), (Texts{"damaged.68y", "g.5xv", "grades.txt"}));
}

TEST_F(CalculatorBranches, MissingVariableFileComponent) {
  services.createVarFile = [] { return std::unique_ptr<IVarFileData>(); };
  Write("grades.txt", "1");
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "G", ZQ_TABULEX_52P), kFail);
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_74), kFail);
  // An error for the KV-52 Plus, information for the KV-68 family.
  const std::string missing = ErrorTextFor(kPointer);
  EXPECT_EQ(Shown(*ui), (MessageRows{{missing, std::nullopt, 0x2010u, kOwner},
                                     {missing, std::nullopt, 0x2040u, kOwner}}));
  EXPECT_EQ(Listing(), (Texts{"grades.txt"}));
  // The re-save path says the component is missing, not that the output failed.
  Write("g.68y", *components::WrapKv68(7, "g", kKv68SheetTag, EmptyKv68Data()));
  EXPECT_EQ(Convert("g.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kFail);
  EXPECT_EQ(ui->messages.back().text, ErrorTextFor(kPointer));
}

// Writes part of the file it was asked for, then fails, as on a full disk.
class PartialSave : public components::VarFileStandIn {
 public:
  HResult SaveFile(const std::string& path, std::int32_t flag, std::int32_t) override {
    std::ofstream(path + (flag == 1 ? ".7xy" : ""), std::ios::binary) << "partial";
    return components::kWriteFault;
  }
};

TEST_F(CalculatorBranches, FailedSavesLeaveTheExistingFileAndNoPartialOne) {
  Write("grades.txt", "1");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_68), kOk);
  services.createVarFile = [] { return std::make_unique<PartialSave>(); };
  Make();
  EXPECT_EQ(Convert("g.68y", ZQ_TABULEX_68, "c", ZQ_TABULEX_74), kFail);
  EXPECT_EQ(ui->Texts(), (Texts{ErrorTextFor(ERR_WRITE_FAILED)}));
  Write("old.68y", "precious");
  ui->answers = {message::kAnswerYes};
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "old", ZQ_TABULEX_68), kFail);
  EXPECT_EQ(Read("old.68y"), "precious");
  EXPECT_EQ(ui->messages.back().text, ErrorTextFor(components::kWriteFault));
  EXPECT_EQ(Listing(), (Texts{"g.68y", "grades.txt", "old.68y"}));
  EXPECT_EQ(Remembered(), "");
}

TEST_F(CalculatorBranches, UnknownRecordTypeNamesTheDamagedFile) {
  // An empty sheet's image, one record of type 2 (length, position 1, type, "A", reference
  // count), the end of the records, and one byte to reach the minimum size.
  const std::string data = EmptyKv52Data().substr(0, 188) +
                           Bytes({0x09, 0x00, 0x01, 0x02, 0x41, 0, 0, 0, 0}) +
                           Bytes({0x00, 0x00, 0x00, 0x00});
  Write("bad.5xv", *components::WrapKv52("ABC", kAppVarSheetSignature, data));
  EXPECT_EQ(Convert("bad.5xv", ZQ_TABULEX_52P, "x", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(ui->Texts(), (Texts{PathOf("bad.5xv") +
                                ": The file is damaged: one of its cell records has a type that no "
                                "cell can have, so it cannot be converted."}));
  EXPECT_FALSE(Exists("x.txt"));
}

using RoundTripTest = DriverTest;

TEST_F(RoundTripTest, Kv52CellsComeBackInTheCalculatorsSpelling) {
  const std::string text =
      "hello\t12.5\t=SUM(A1:A5)\r\n"
      "$12\t3 apples\t1500000000000\r\n"
      "0.00002\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\r\n"
      "$0.5\t=$A$1*2\t-0.05\r\n";
  // Text is upper-cased; "$12" is stored as the number 12; numbers outside fixed notation come
  // back in scientific form; formulas come back in the dialect's spelling, which the text writer
  // turns into Excel's ("If(" becomes "IF("); the "$" of a text that is no amount has no token
  // and reads "?".
  EXPECT_EQ(RoundTrip(text, "ROUND", ZQ_TABULEX_52P),
            "HELLO\t12.5\t=SUM(A1:A5)\t\t\r\n"
            "12\t3 APPLES\t1.5E12\t\t\r\n"
            "2E-5\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\t\t\r\n"
            "?0.5\t=$A$1*2\t-0.05\t");
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(RoundTripTest, Kv68CellsComeBackInTheFamilysSpelling) {
  const std::string text =
      "3\tTotal\t=SUM(A1:B2)\r\n"
      "-2.5\t=AVERAGE(A1:B1)\t=PI()*2\r\n"
      "\t=IF(A1>0,1,2)\tx\r\n";
  // Numbers come back as formulas giving the calculator's rendering of them; formulas come back
  // lower-cased, with the family's own names turned back into the neutral ones.
  EXPECT_EQ(RoundTrip(text, "round", ZQ_TABULEX_68),
            "=3.\tTotal\t=sum(a1:b2)\t\t\r\n"
            "=-2.5\t=average(a1:b1)\t=PI()*2\t\t\r\n"
            "\t=if(a1>0,1,2)\tx\t");
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(RoundTripTest, HandMadeKv68FileIsReadFromItsNameAndData) {
  // The variable data: header, two records out of order, terminator; named "9lives".
  const std::string records =
      "\x0B\x03\xE9\x01\x22hi\x22\x00\x00\x00"s +                           // B1
      "\x10\x00\x01\x00\x40\x01\x12\x50\x00\x00\x00\x00\x00\x23\x00\x00"s;  // A1
  const std::string file =
      testing::Kv68File("**KV68**", Kv68SheetHeader() + records + "\0"s, "9lives");
  Write("hand.68y", file);
  LoadedSource loaded = Conv().ReadSource(PathOf("hand.68y"), ZQ_TABULEX_68, "", "ignored");
  ASSERT_EQ(loaded.Result(), kOk);
  ASSERT_NE(loaded.Sheet(), nullptr);
  EXPECT_EQ(loaded.Sheet()->Header()->name, "Alives");
  EXPECT_EQ(loaded.Sheet()->Header()->source, SOURCE_KV68);
  ASSERT_EQ(Convert("hand.68y", ZQ_TABULEX_68, "back", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("back.txt"), "=12.5\thi\t");
}

}  // namespace
}  // namespace tabulex
