// The tabulex command: options, exit statuses, prompts and the cells listing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <utility>

#include "cli/CommandLine.h"
#include "components/WorkbookEngine.h"
#include "converter/driver/FileTypes.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/CommandRunner.h"
#include "tests/support/TempFolder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tabulex::cli {
namespace {

// The command with one of its streams on a terminal.
Environment TerminalAt(bool Environment::*stream) {
  Environment environment;
  environment.*stream = true;
  return environment;
}

using CommandLineTest = testing::CommandTest;

TEST(Types, NamesAndExtensions) {
  EXPECT_EQ(TypeFromName("5XV"), ZQ_TABULEX_52P);
  EXPECT_EQ(TypeFromName("none"), ZQ_TABULEX_NULL);
  EXPECT_FALSE(TypeFromName("doc").has_value());
  EXPECT_EQ(TypeFromExtension("a/b.XLSX"), ZQ_EXCEL);
  EXPECT_EQ(TypeFromExtension("b.ods"), ZQ_EXCEL);
  EXPECT_EQ(TypeFromExtension("c.R2Y"), ZQ_TABULEX_RB200);
  EXPECT_FALSE(TypeFromExtension("dir.v/file").has_value());
  EXPECT_FALSE(TypeFromExtension("x.none").has_value());
}

TEST(Escape, NonPrintableBytesAndBackslash) {
  EXPECT_EQ(Escape(std::string("a\\b\t\x7F\xAA ~", 8)), "a\\x5cb\\x09\\x7f\\xaa ~");
}

TEST_F(CommandLineTest, ConvertPrintsThePathAndAsksOnlyWhenAllowed) {
  Write("grades.txt", "a\tb\r\n1\r\n");
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy"}), 0);
  EXPECT_EQ(out.str(), PathOf("copy.txt") + "\n");
  EXPECT_EQ(Read("copy.txt"), "a\tb\t\t\r\n1\t");
  // No terminal and no flag: an existing output is kept, and that is said.
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy"}), 3);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("grades.txt") +
                           ": an output exists already and was kept; give --overwrite to "
                           "replace it\n");
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--overwrite"}),
            0);
  // Without a name the output would be the source itself, and the advice says so.
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt"}), 3);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("grades.txt") +
                           ": the output would replace the source itself; give another --name or "
                           "--out-dir\n");
  EXPECT_EQ(
      Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--skip-existing"},
          TerminalAt(&Environment::stdinIsTerminal)),
      3);
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy"},
                TerminalAt(&Environment::stdinIsTerminal), "c\n"),
            2);
  EXPECT_EQ(err.str(), PathOf("copy.txt") +
                           ": Save File already exists.\n\nPress Yes to Overwrite, No to Skip "
                           "this file,\nor Cancel to stop the conversion process.\n[y]es, [n]o, "
                           "[c]ancel? ");
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--ask"}, {},
                "maybe\ny\n"),
            0);
  // No output type: nothing is written and nothing printed.
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "none"}), 0);
  EXPECT_EQ(out.str() + err.str(), "");
}

TEST_F(CommandLineTest, FailuresNameWhatFailedAndThePathInOneLine) {
  Write("grades.txt", "a\tb\n");
  Write("a.doc", "x");
  std::filesystem::create_directories(PathOf("folder.txt"));
  const std::string sheet = testing::Kv68SheetHeader() + std::string(64, '\0');
  Write("cut.68y", testing::Kv68File("**KV68**", sheet, "cut").substr(0, 280));
  const std::string in = PathOf("grades.txt");
  // Runs the command; it must end with status 1 and print only PATH: WHY.
  const auto fails = [&](const std::vector<std::string>& args, const std::string& path,
                         const std::string& why) {
    EXPECT_EQ(Run(args), 1) << args[0] << " " << args[1];
    EXPECT_EQ(err.str(), "tabulex: " + path + ": " + why + "\n");
  };
  const auto missing = [&](const std::vector<std::string>& args, const std::string& name) {
    fails(args, PathOf(name), "cannot read " + PathOf(name) + ": no such file");
  };
  missing({"convert", PathOf("absent.txt"), "--to", "txt"}, "absent.txt");
  // Without a type to tell, a missing file is still named as missing.
  missing({"show", PathOf("absent")}, "absent");
  // A calculator file that cannot be opened fails without a message of the converter's own.
  missing({"convert", PathOf("absent.68y"), "--to", "txt"}, "absent.68y");
  missing({"cells", PathOf("absent.5xv")}, "absent.5xv");
  // A missing workbook is named as missing before any office is started for it.
  missing({"sheets", PathOf("absent.xlsx")}, "absent.xlsx");
  missing({"convert", PathOf("absent.xlsx"), "--to", "txt", "--sheet", "S"}, "absent.xlsx");
  fails({"convert", PathOf("folder.txt"), "--to", "5xv"}, PathOf("folder.txt"),
        "is a folder; give --recursive to convert the files in it");
  fails({"convert", in, "--to", "txt", "--out-dir", PathOf("missing")}, in,
        "cannot write into " + PathOf("missing/") + ": no such folder");
  fails({"convert", in, "--to", "68y", "--out-dir", in}, in,
        "cannot write into " + in + "/: not a folder");
  // The folder named is the one the name's subfolder makes, not the output folder.
  fails({"convert", in, "--to", "txt", "--name", "sub/copy"}, in,
        "cannot write into " + PathOf("sub/") + ": no such folder");
  // A refusal of the file's own names the path once.
  fails({"convert", PathOf("cut.68y"), "--to", "txt"}, PathOf("cut.68y"),
        "file is cut short: 280 of 298 bytes");
  EXPECT_EQ(Run({"convert", PathOf("a.doc"), "--to", "txt"}), 64);
  EXPECT_EQ(err.str(),
            "tabulex: cannot tell the type of " + PathOf("a.doc") + "; give it with --from\n");
  // A folder without a type to tell is named as a folder.
  EXPECT_EQ(Run({"convert", folder.Folder(), "--to", "txt"}), 1);
  EXPECT_NE(err.str().find(": is a folder; give --recursive"), std::string::npos) << err.str();
  const std::vector<std::string> usage[] = {{"convert", in, "--to", "pdf"},
                                            {"convert", in},
                                            {"convert", in, "--to", "txt", "--overwrite", "--ask"},
                                            {}};
  for (const auto& args : usage) EXPECT_EQ(Run(args), 64) << ::testing::PrintToString(args);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("convert"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_NE(out.str().find("tabulex"), std::string::npos);
}

TEST_F(CommandLineTest, SourcesThatCannotBeSheetsAreRefusedBeforeTheyAreRead) {
  // A sparse file: larger than the most a source may be, without taking the disk space.
  const std::string tooLarge =
      ": file is too large to convert: 536,870,913 bytes, and the most "
      "is 536,870,912\n";
  // To text, to the other family, and a re-save within one.
  const std::pair<const char*, const char*> conversions[] = {
      {"huge.txt", "5xv"}, {"huge.5xv", "txt"}, {"huge.68y", "5xv"}, {"huge.7xy", "r2y"}};
  for (const auto& [name, to] : conversions) {
    Write(name, "");
    std::filesystem::resize_file(PathOf(name), std::uintmax_t{512} * 1024 * 1024 + 1);
    EXPECT_EQ(Run({"convert", PathOf(name), "--to", to}), 1) << name;
    EXPECT_EQ(err.str(), "tabulex: " + PathOf(name) + tooLarge);
  }
#ifndef _WIN32
  // Opening a pipe waits for a writer: the command would never end.
  ASSERT_EQ(mkfifo(PathOf("pipe.txt").c_str(), 0600), 0);
  EXPECT_EQ(Run({"convert", PathOf("pipe.txt"), "--to", "5xv"}), 1);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("pipe.txt") + ": cannot read " + PathOf("pipe.txt") +
                           ": is not a regular file\n");
#endif
}

TEST_F(CommandLineTest, WorkbookWithoutAnEngineSaysOnlyThat) {
  if (components::HasWorkbookEngine()) GTEST_SKIP() << "this build has a workbook engine";
  Write("book.xlsx", "PK");
  EXPECT_EQ(Run({"convert", PathOf("book.xlsx"), "--to", "txt"}), 1);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("book.xlsx") +
                           ": this build has no workbook engine (it was configured without "
                           "libreoffice-dev)\n");
}

TEST_F(CommandLineTest, CellsLeftOutOrCutAreCountedWithTheFirstOne) {
  std::string rows;
  for (int row = 1; row <= 1002; ++row) rows += std::to_string(row) + "\n";
  rows += "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\tx\n";  // column 29, row 1003
  Write("long.txt", rows);
  EXPECT_EQ(Run({"convert", PathOf("long.txt"), "--to", "68y"}), 0);
  const std::string tooLarge =
      "tabulex: " + PathOf("long.txt") +
      ": The sheet is too large for the calculator. Cells past the limit were left out.\n";
  EXPECT_EQ(err.str(), tooLarge + "tabulex: " + PathOf("long.txt") +
                           ": 4 cells beyond row 999 or column 64 were left out, first at A1000\n");
  EXPECT_EQ(out.str(), PathOf("long.68y") + "\n");
  EXPECT_EQ(Run({"convert", PathOf("long.txt"), "--to", "5xv", "--name", "LONG"}), 0);
  EXPECT_EQ(err.str(), tooLarge + "tabulex: " + PathOf("long.txt") +
                           ": 4 cells beyond row 999 or column Z were left out, first at A1000\n");
  // Cut cells are counted the same way.
  Write("cut.txt", "1\r\nshort\t=" + std::string(60, '1') + "\t" + std::string(50, 'x') + "\r\n");
  EXPECT_EQ(Run({"convert", PathOf("cut.txt"), "--to", "5xv", "--name", "CUT"}), 0);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("cut.txt") +
                           ": 2 cells had more text than the calculator keeps and were cut, first "
                           "at B2; a cut formula will not work\n");
}

TEST(CellReferences, LettersAndRow) {
  EXPECT_EQ(CellReference(1000, 1), "A1000");
  EXPECT_EQ(CellReference(3, 26), "Z3");
  EXPECT_EQ(CellReference(3, 27), "AA3");
  EXPECT_EQ(CellReference(1, 65), "BM1");
  EXPECT_EQ(CellReference(0, 1), "R0C1");
}

TEST_F(CommandLineTest, CellsListsTheModelAndWarnsWhereReadingStoppedEarly) {
  using namespace std::string_literals;
  // A KV-68 file whose second record, 0x20 bytes long, has only its first six.
  const std::string records = "\x10\x00\x01\x00\x40\x01\x12\x50\x00\x00\x00\x00\x00\x23\x00\x00"s +
                              "\x20\x00\x02\x00\x40\x00"s;
  Write("stop.68y", testing::Kv68File("**KV68**", testing::Kv68SheetHeader() + records, "stop"));
  EXPECT_EQ(Run({"cells", PathOf("stop.68y")}), 0);
  EXPECT_EQ(out.str(), "sheet\t132\tstop\n1\t1\t3\t0\t=12.5\n");
  // 88 wrapper bytes, the 144-byte header, the first record and the second's length byte.
  EXPECT_EQ(err.str(), "tabulex: warning: " + PathOf("stop.68y") +
                           ": reading stopped at byte 249: record runs past the end; the cells "
                           "before it are kept\n");
  // The listing of a text file: type, value and formula of each cell, bytes escaped.
  Write("grades.txt", "Name\t12.5\r\n\t=SUM(A1:A2)\t\"x\\y\"\r\n");
  EXPECT_EQ(Run({"cells", PathOf("grades.txt")}), 0);
  EXPECT_EQ(out.str(),
            "sheet\t131\tgrades\n"
            "1\t1\t1\tName\t\n"
            "1\t2\t0\t12.5\t\n"
            "2\t2\t3\t\t=SUM(A1:A2)\n"
            "2\t3\t1\tx\\x5cy\t\n");
}

TEST_F(CommandLineTest, ManyFilesGoOnAfterAFailureAndEndWithASummary) {
  Write("a.txt", "1\t2\n");
  Write("b.5xv", "too short");
  Write("c.txt", "3\n");
  std::filesystem::create_directories(PathOf("out"));
  const std::vector<std::string> args{"convert", PathOf("a.txt"), PathOf("b.5xv"), PathOf("c.txt"),
                                      "--to",    "68y",           "--out-dir",     PathOf("out")};
  EXPECT_EQ(Run(args), 1);
  EXPECT_EQ(out.str(), PathOf("out/a.68y") + "\n" + PathOf("out/c.68y") + "\n");
  const std::string tooSmall =
      "The source file is too small to hold a spreadsheet. Check that it is not empty or damaged.";
  const std::string failed = PathOf("b.5xv") + ": " + tooSmall + "\n";
  EXPECT_EQ(err.str(), "tabulex: " + failed +
                           "tabulex: 3 files: 2 written, 0 skipped, 1 failed\n  failed " + failed);
  // Again: the outputs exist, so without a terminal they are kept; one still fails.
  EXPECT_EQ(Run(args), 1);
  const std::string exists =
      ": an output exists already and was kept; give --overwrite to replace it\n";
  EXPECT_EQ(err.str(), "tabulex: " + failed + "tabulex: 3 files: 0 written, 2 skipped, 1 failed\n" +
                           "  skipped " + PathOf("a.txt") + exists + "  failed " + failed +
                           "  skipped " + PathOf("c.txt") + exists);
  // Only skips: status 3.
  EXPECT_EQ(
      Run({"convert", PathOf("a.txt"), PathOf("c.txt"), "--to", "68y", "--out-dir", PathOf("out")}),
      3);
}

TEST_F(CommandLineTest, ManyFilesRefuseANameAndTakeFoldersWithRecursive) {
  Write("a.txt", "1");
  Write("b.txt", "2");
  EXPECT_EQ(Run({"convert", PathOf("a.txt"), PathOf("b.txt"), "--to", "68y", "--name", "x"}), 64);
  EXPECT_EQ(err.str(),
            "tabulex: --name names one output, so it cannot be used with several inputs\n");
  std::filesystem::create_directories(PathOf("in/deeper"));
  Write("in/deeper/d.txt", "4");
  Write("in/c.68y", "");  // the target's own type is not a source of the folder
  Write("in/notes.md", "x");
  std::filesystem::create_directories(PathOf("out"));
  EXPECT_EQ(Run({"convert", PathOf("in"), PathOf("a.txt"), "--recursive", "--to", "68y",
                 "--out-dir", PathOf("out")}),
            0)
      << err.str();
  EXPECT_EQ(out.str(), PathOf("out/d.68y") + "\n" + PathOf("out/a.68y") + "\n");
  EXPECT_EQ(err.str(), "tabulex: 2 files: 2 written, 0 skipped, 0 failed\n");
  // A folder holding only outputs and files of no known type is named, not passed over.
  EXPECT_EQ(Run({"convert", PathOf("in/deeper"), "--recursive", "--to", "txt"}), 0);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("in/deeper") +
                           ": no file in it or below can be converted to .txt; files already "
                           ".txt are left out\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(CommandLineTest, ABatchNeverReplacesItsOwnOutput) {
  // Two inputs of one name in two folders make one output name; --overwrite is for outputs of
  // earlier commands, so the second input is skipped, not written over the first's output.
  std::filesystem::create_directories(PathOf("a"));
  std::filesystem::create_directories(PathOf("b"));
  std::filesystem::create_directories(PathOf("out"));
  Write("a/g.txt", "from a");
  Write("b/g.txt", "from b");
  Write("out/g.txt", "older");
  EXPECT_EQ(Run({"convert", PathOf("a/g.txt"), PathOf("b/g.txt"), "--to", "txt", "--out-dir",
                 PathOf("out"), "--overwrite"}),
            3);
  EXPECT_EQ(Read("out/g.txt"), "from a\t");
  EXPECT_EQ(out.str(), PathOf("out/g.txt") + "\n");
  EXPECT_EQ(err.str(), "tabulex: 2 files: 1 written, 1 skipped, 0 failed\n  skipped " +
                           PathOf("b/g.txt") + ": another input of this command was written to " +
                           PathOf("out/g.txt") + "\n");
}

TEST_F(CommandLineTest, ProgressLineOnlyOnATerminal) {
  Write("a.txt", "1");
  Write("b.txt", "2");
  EXPECT_EQ(Run({"convert", PathOf("a.txt"), PathOf("b.txt"), "--to", "68y"},
                TerminalAt(&Environment::stderrIsTerminal)),
            0);
  EXPECT_EQ(err.str(), "\r\x1b[K[1/2] " + PathOf("a.txt") + "\r\x1b[K\r\x1b[K[2/2] " +
                           PathOf("b.txt") +
                           "\r\x1b[K"
                           "tabulex: 2 files: 2 written, 0 skipped, 0 failed\n");
}

#ifndef _WIN32
// A 16 KiB memory file system, mounted for one test when the test may mount (as root).
class SmallDisk {
 public:
  explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    mounted_ = std::system(
                   ("mount -t tmpfs -o size=16k tmpfs '" + folder_ + "' 2>/dev/null").c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) std::system(("umount '" + folder_ + "'").c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST_F(CommandLineTest, FullDiskIsNamed) {
  SmallDisk disk(PathOf("full"));
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  Write("full/filler", std::string(12 * 1024, 'x'));
  std::string rows;
  for (int row = 0; row < 400; ++row) rows += "word1\tword2\tword3\tword4\tword5\tword6\n";
  Write("big.txt", rows);
  EXPECT_EQ(Run({"convert", PathOf("big.txt"), "--to", "txt", "--out-dir", PathOf("full")}), 1);
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("big.txt") + ": cannot write into " + PathOf("full/") +
                           ": no space left on device\n");
  EXPECT_FALSE(std::filesystem::exists(PathOf("full/big.txt")));
}
#endif

// A stream buffer that refuses every byte, like a full disk.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST_F(CommandLineTest, OutputThatCannotBeWrittenFails) {
  Write("grades.txt", "1");
  FullBuffer full;
  std::ostream fullOut(&full);
  const std::string path = PathOf("grades.txt");
  const char* argv[] = {"tabulex", "cells", path.c_str()};
  std::istringstream in;
  EXPECT_EQ(RunCommandLine(3, argv, in, fullOut, err, Environment()), 1);
  EXPECT_EQ(err.str(), "tabulex: writing the standard output failed\n");
}

}  // namespace
}  // namespace tabulex::cli
