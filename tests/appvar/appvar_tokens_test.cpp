// Token streams: reading token bytes as text, tokenising text, and the ordered rewrite tables
// between token text and the neutral formula syntax.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "converter/appvar/AppVarTokenTables.h"
#include "converter/appvar/AppVarTokens.h"
#include "converter/model/ErrorCodes.h"
#include "tests/support/Bytes.h"

namespace tabulex {
namespace {

using testing::Bytes;

std::string Tokens(std::string_view text) {
  return TextToTokens(text).bytes;
}
std::string Text(const std::string& tokens) {
  return TokensToText(tokens).text;
}
std::string ToNeutral(std::string_view text) {
  return RewriteText(text, AppVarToNeutral);
}
std::string ToAppVar(std::string_view text) {
  return RewriteText(text, NeutralToAppVar);
}

TEST(AppVarTokensToTextTest, ReadsOneAndTwoByteTokens) {
  const std::pair<std::string, std::string> cases[] = {
      {Bytes({0x2A, 0x48, 0x45, 0x4C, 0x4C, 0x4F}), "\"HELLO"},
      {Bytes({0x6A, 0xB6, 0x41, 0x31, 0x3E, 0x41, 0x35, 0x11}), "=sum(A1:A5)"},
      {Bytes({0x6A, 0xCE, 0x10, 0x41, 0x31, 0x6C, 0x32, 0x2B, 0x31, 0x2B, 0x30, 0x11}),
       "=If(A1>2,1,0)"},
      {Bytes({0x5E, 0x80, 0x62, 0x16, 0xAA, 0x09, 0x5C, 0x02}), "uaStr0[C]"},
      {Bytes({0x26, 0x5E, 0x7E}), ""},
      // A pair without a row reads as its second byte.
      {Bytes({0xBB, 0x5C}), "["},
      {Bytes({0x5E, 0x30, 0x31}), "01"},
      // Both bytes are consumed even when the second is a prefix itself.
      {Bytes({0x5C, 0x5C, 0x41}), "[A"},
      // A prefix in the last position pairs with the terminator.
      {Bytes({0x41, 0x5C}), "A[A]"},
      {Bytes({0xBB}), "npv("},
      {Bytes({0x7E}), "Sequential"},
  };
  for (const auto& [tokens, text] : cases) EXPECT_EQ(Text(tokens), text);
}

TEST(AppVarTokensToTextTest, AssemblyMarkerAtByteTwoGivesNoText) {
  TokenText program = TokensToText(Bytes({0x6A, 0x41, 0xBB, 0x6D, 0x41}));
  EXPECT_EQ(program.status, ERR_ASSEMBLY_TOKENS);
  EXPECT_EQ(program.text, "");
  // Elsewhere the pair has no row and reads as the one-byte text of 6D.
  TokenText pair = TokensToText(Bytes({0xBB, 0x6D, 0x41, 0x41}));
  EXPECT_EQ(pair.status, 0u);
  EXPECT_EQ(pair.text, "_<=_AA");
  EXPECT_EQ(TokensToText(Bytes({0x41, 0x41, 0xBB})).status, 0u);
}

TEST(AppVarTextToTokensTest, PlainCharactersAndTheLongestTextOfTheGroup) {
  const std::pair<std::string, std::string> cases[] = {
      {"HELLO", Bytes({0x48, 0x45, 0x4C, 0x4C, 0x4F})},
      {"#", Bytes({0xAF})},
      {"A B", Bytes({0x41, 0x29, 0x42})},
      {"A\nB", Bytes({0x41, 0x42})},
      {"\xE9\xB0", Bytes({0x29, 0x29})},
      {"$\x04%;@\\`|~\x7F\t",
       Bytes({0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF, 0xAF})},
      {"\r\n\rX", Bytes({0x3F, 0xAF, 0x58})},
      {std::string("AB\0C", 4), Bytes({0x41, 0x42})},
      {"", ""},
      // The longest text of the group wins.
      {"=sum(A1:A5)", Bytes({0x6A, 0xB6, 0x41, 0x31, 0x3E, 0x41, 0x35, 0x11})},
      {"sin_^-1_(sinh(sin(", Bytes({0xC3, 0xC8, 0xC2})},
      {"_e_^(_e__n_", Bytes({0xBF, 0xBB, 0x31, 0x62, 0x21})},
      {"Pic1GDB2[A]L_1_", Bytes({0x60, 0x00, 0x61, 0x01, 0x5C, 0x00, 0x5D, 0x00})},
      {"\"<<46:PrintScreen>>\"\"", Bytes({0x91, 0x2A})},
      // "[" is the one-byte list bracket, "L" the letter; "Pic" and "GDB" alone are letters (a
      // lower-case "c" is a statistics variable).
      {"[L", Bytes({0x06, 0x4C})},
      {"Pic", Bytes({0x50, 0x49, 0x62, 0x18})},
      {"GDB", Bytes({0x47, 0x44, 0x42})},
      // "If" only with a space, or spelt "if".
      {"If(if(If ", Bytes({0x49, 0x46, 0x10, 0xCE, 0x10, 0xCE})},
      {"FnOnX", Bytes({0x96, 0x58})},
      {"UnArchive X", Bytes({0xBB, 0x69, 0x58})},
      // " or " has a token but a space always gives the space token.
      {" or ", Bytes({0x29, 0x4F, 0x62, 0x12, 0x29})},
  };
  for (const auto& [text, tokens] : cases) EXPECT_EQ(Tokens(text), tokens) << text;
}

TEST(AppVarTextToTokensTest, ReportsSystemTokens) {
  EXPECT_TRUE(TextToTokens("Archive").systemTokens);
  EXPECT_EQ(TextToTokens("Archive").bytes, Bytes({0xBB, 0x68}));
  EXPECT_TRUE(TextToTokens("GarbageCollect").systemTokens);
  EXPECT_FALSE(TextToTokens("ABC").systemTokens);
}

TEST(AppVarRewriteTest, LaterRowsSeeEarlierResults) {
  // Row 12 turns every "rand" into "RAND()", so row 13 never fires.
  EXPECT_EQ(ToNeutral("=rand"), "=RAND()");
  EXPECT_EQ(ToNeutral("=randInt(1,6)"), "=RAND()Int(1,6)");
  // "LN(" is rewritten before "IMLN(" and "LOG10(" before "IMLOG10(".
  EXPECT_EQ(ToAppVar("=IMLN(2)"), "=IMln(2)");
  EXPECT_EQ(ToAppVar("=IMLOG10(2)"), "=IMlog(2)");
  // "ABS" needs no parenthesis; "STDDEV(" is not the "STDEV(" that becomes stdDev(.
  EXPECT_EQ(ToAppVar("=ABS(1)+ABSX"), "=abs(1)+absX");
  EXPECT_EQ(ToAppVar("=STDDEV(A1)"), "=STDDEV(A1)");
}

}  // namespace
}  // namespace tabulex
