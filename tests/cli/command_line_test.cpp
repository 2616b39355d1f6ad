// The tabulex command: options, exit statuses, prompts and the cells listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/CommandLine.h"
#include "converter/driver/FileTypes.h"
#include "tests/support/TempFolder.h"

namespace tabulex::cli {
namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) { return folder_.PathOf(name); }
  void Write(const std::string& name, const std::string& bytes) { folder_.Write(name, bytes); }
  std::string Read(const std::string& name) { return folder_.Read(name); }
  int Run(std::vector<std::string> args, bool terminal = false, const std::string& input = "") {
    args.insert(args.begin(), "tabulex");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    out.str("");
    err.str("");
    return RunCommandLine(static_cast<int>(argv.size()), argv.data(), in, out, err, terminal);
  }

  testing::TempFolder folder_;
  std::ostringstream out;
  std::ostringstream err;
};

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
  // No terminal and no flag: an existing output is kept.
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy"}), 3);
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--overwrite"}),
            0);
  EXPECT_EQ(
      Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--skip-existing"},
          true),
      3);
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy"}, true, "c\n"),
            2);
  EXPECT_NE(err.str().find("Save File already exists."), std::string::npos);
  EXPECT_EQ(Run({"convert", PathOf("grades.txt"), "--to", "txt", "--name", "copy", "--ask"}, false,
                "maybe\ny\n"),
            0);
}

TEST_F(CommandLineTest, DefaultsTakeTheInputsFolderAndName) {
  Write("marks.TXT", "5");
  std::filesystem::create_directories(PathOf("out"));
  EXPECT_EQ(Run({"convert", PathOf("marks.TXT"), "--to", "txt", "--out-dir", PathOf("out"),
                 "--name", "m"}),
            0);
  EXPECT_EQ(Read("out/m.txt"), "5\t");
  EXPECT_EQ(Run({"convert", PathOf("marks.TXT"), "--to", "none"}), 0);
  EXPECT_EQ(out.str(), "");
}

TEST_F(CommandLineTest, FailuresAndUsage) {
  EXPECT_EQ(Run({"convert", PathOf("absent.txt"), "--to", "txt"}), 1);
  EXPECT_NE(err.str().find("could not be opened"), std::string::npos);
  EXPECT_EQ(Run({"convert", PathOf("a.doc"), "--to", "txt"}), 64);
  EXPECT_EQ(Run({"convert", PathOf("a.txt"), "--to", "pdf"}), 64);
  EXPECT_EQ(Run({"convert", PathOf("a.txt")}), 64);
  EXPECT_EQ(Run({"convert", PathOf("a.txt"), "--to", "txt", "--overwrite", "--ask"}), 64);
  EXPECT_EQ(Run({}), 64);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("convert"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_NE(out.str().find("tabulex"), std::string::npos);
}

TEST_F(CommandLineTest, MissingCalculatorSourceIsNamed) {
  EXPECT_EQ(Run({"convert", PathOf("absent.68y"), "--to", "txt"}), 1);
  EXPECT_EQ(err.str().find(PathOf("absent.68y") + ": The source file could not be opened."), 0u)
      << err.str();
}

TEST_F(CommandLineTest, CellsListsTheIntermediateModel) {
  Write("grades.txt", "Name\t12.5\r\n\t=SUM(A1:A2)\t\"x\\y\"\r\n");
  EXPECT_EQ(Run({"cells", PathOf("grades.txt")}), 0);
  EXPECT_EQ(out.str(),
            "sheet\t131\tgrades\n"
            "1\t1\t1\tName\t\n"
            "1\t2\t0\t12.5\t\n"
            "2\t2\t3\t\t=SUM(A1:A2)\n"
            "2\t3\t1\tx\\x5cy\t\n");
  EXPECT_EQ(Run({"cells", PathOf("absent.5xv")}), 1);
}

// A stream buffer that refuses every byte, like a full disk.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST_F(CommandLineTest, OutputThatCannotBeWrittenFails) {
  Write("grades.txt", "1");
  FullBuffer full;
  std::ostream fullOut(&full);
  const std::string cells[] = {"tabulex", "cells", PathOf("grades.txt")};
  const char* argv[] = {cells[0].c_str(), cells[1].c_str(), cells[2].c_str()};
  std::istringstream in;
  EXPECT_EQ(RunCommandLine(3, argv, in, fullOut, err, false), 1);
  EXPECT_EQ(err.str(), "tabulex: writing the standard output failed\n");
}

}  // namespace
}  // namespace tabulex::cli
