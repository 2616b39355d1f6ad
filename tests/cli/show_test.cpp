// `tabulex show`: a small sheet as text and as a KV-68 file laid out at a fixed width, as TSV and
// as JSON.
#include <gtest/gtest.h>

#include "cli/ShowCommand.h"
#include "tests/support/CommandRunner.h"
#include "tests/support/TempFolder.h"

namespace tabulex::cli {
namespace {

// Rows 1, 2, 4 and 7: a number, a text with calculator characters, a formula and a long text.
const std::string kSheet =
    "Name\tScore\tAngle\r\n"
    "Ada\t91\t_theta_=_pi_/4\r\n"
    "\r\n"
    "Ben\t-2.5\t=B2*2\r\n"
    "\r\n"
    "\r\n"
    "Longername\t1\r\n";

class ShowTest : public testing::CommandTest {
 protected:
  void SetUp() override { folder.Write("s.txt", kSheet); }
};

TEST_F(ShowTest, TextGridShowsLettersNumbersAndShortGaps) {
  EXPECT_EQ(Run({"show", folder.PathOf("s.txt"), "--width", "30"}), 0);
  EXPECT_EQ(out.str(),
            "  A          B     C\n"
            "1 Name       Score Angle\n"
            "2 Ada        91    \u03B8=\u03C0/4\n"
            "3\n"
            "4 Ben        -2.5  =B2*2\n"
            "\u22EE\n"
            "7 Longername 1\n");
}

TEST_F(ShowTest, Kv68GridShowsValuesOrFormulasCutToTheWidth) {
  // Number cells are formulas giving the number; the stored result of B2*2 is 0.
  ASSERT_EQ(Run({"convert", folder.PathOf("s.txt"), "--to", "68y", "--name", "k"}), 0) << err.str();
  EXPECT_EQ(Run({"show", folder.PathOf("k.68y"), "--width", "18"}), 0);
  EXPECT_EQ(out.str(),
            "  A    B     C\n"
            "1 Name Score Angle\n"
            "2 Ada  91.   \u03B8=\u03C0/4\n"
            "3\n"
            "4 Ben  \u207B2.5  0.\n"
            "\u22EE\n"
            "7 Lon\u2026 1.\n");
  EXPECT_EQ(Run({"show", folder.PathOf("k.68y"), "--width", "30", "--formulas"}), 0);
  EXPECT_EQ(out.str(),
            "  A          B     C\n"
            "1 Name       Score Angle\n"
            "2 Ada        =91.  \u03B8=\u03C0/4\n"
            "3\n"
            "4 Ben        =\u207B2.5 =b2*2\n"
            "\u22EE\n"
            "7 Longername =1.\n");
}

TEST_F(ShowTest, TsvAndJsonForPrograms) {
  EXPECT_EQ(Run({"show", folder.PathOf("s.txt"), "--format", "tsv"}), 0);
  EXPECT_EQ(
      out.str(),
      "Name\tScore\tAngle\nAda\t91\t\u03B8=\u03C0/4\n\nBen\t-2.5\t=B2*2\n\n\nLongername\t1\n");
  EXPECT_EQ(Run({"show", folder.PathOf("s.txt"), "--format", "json"}), 0);
  EXPECT_EQ(out.str(), R"({"sheet":"s","cells":[
{"ref":"A1","row":1,"column":1,"type":"text","value":"Name","formula":null},
{"ref":"B1","row":1,"column":2,"type":"text","value":"Score","formula":null},
{"ref":"C1","row":1,"column":3,"type":"text","value":"Angle","formula":null},
{"ref":"A2","row":2,"column":1,"type":"text","value":"Ada","formula":null},
{"ref":"B2","row":2,"column":2,"type":"number","value":"91","formula":null},
{"ref":"C2","row":2,"column":3,"type":"text","value":"θ=π/4","formula":null},
{"ref":"A4","row":4,"column":1,"type":"text","value":"Ben","formula":null},
{"ref":"B4","row":4,"column":2,"type":"number","value":"-2.5","formula":null},
{"ref":"C4","row":4,"column":3,"type":"formula","value":"","formula":"=B2*2"},
{"ref":"A7","row":7,"column":1,"type":"text","value":"Longername","formula":null},
{"ref":"B7","row":7,"column":2,"type":"number","value":"1","formula":null}
]}
)");
}

TEST_F(ShowTest, ControlCharactersInCellsCannotActOnTheTerminal) {
  // Escape (here the start of "clear the screen"), DEL and a C0 control in three cells.
  folder.Write("c.txt", "a\x1b[2Jb\t\x7f\t\x01\n");
  EXPECT_EQ(Run({"show", folder.PathOf("c.txt")}), 0);
  EXPECT_EQ(out.str(),
            "  A      B C\n"
            "1 a\u241B[2Jb \u2421 \u2401\n");
  EXPECT_EQ(Run({"show", folder.PathOf("c.txt"), "--format", "tsv"}), 0);
  EXPECT_EQ(out.str(), "a\u241B[2Jb\t\u2421\t\u2401\n");
  EXPECT_EQ(Run({"show", folder.PathOf("c.txt"), "--format", "json"}), 0);
  EXPECT_NE(out.str().find(R"("value":"a\u001b[2Jb")"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(R"("value":"\u007f")"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(R"("value":"\u0001")"), std::string::npos) << out.str();
}

TEST_F(ShowTest, ColourOnlyOnATerminalWithoutNoColor) {
  folder.Write("one.txt", "x");
  Environment terminal;
  terminal.stdoutIsTerminal = true;
  EXPECT_EQ(Run({"show", folder.PathOf("one.txt")}, terminal), 0);
  EXPECT_EQ(out.str(), "\x1b[1m  A\x1b[0m\n\x1b[1m1\x1b[0m x\n");
  terminal.noColor = true;
  EXPECT_EQ(Run({"show", folder.PathOf("one.txt")}, terminal), 0);
  EXPECT_EQ(out.str(), "  A\n1 x\n");
  // The terminal's width is the default.
  folder.Write("wide.txt", "abcdefghijklmnop\tq");
  terminal.columns = 10;
  EXPECT_EQ(Run({"show", folder.PathOf("wide.txt")}, terminal), 0);
  EXPECT_EQ(out.str(), "  A      B\n1 abcde\u2026 q\n");
}

TEST(Readable, EscapeNamesBecomeTheirCharacters) {
  EXPECT_EQ(Readable("_root_(2)_E__neg_3 _theta_ _x_ _"), "\u221A(2)\u1D07\u207B3 \u03B8 _x_ _");
  EXPECT_EQ(Readable("_e_^(1) _10_^(2) A_<=_B"), "e^(1) 10^(2) A\u2264B");
  // Bytes of the code page become their Unicode characters.
  EXPECT_EQ(Readable("Wei\xDF \x80"), "Wei\u00DF \u20AC");
}

}  // namespace
}  // namespace tabulex::cli
