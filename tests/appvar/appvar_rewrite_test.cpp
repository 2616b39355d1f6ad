// The ordered rewrite tables between token text and the neutral formula syntax.
#include <gtest/gtest.h>

#include <string>

#include "converter/appvar/AppVarTokenTables.h"
#include "converter/appvar/AppVarTokens.h"

namespace tabulex {
namespace {

std::string ToNeutral(std::string_view text) {
  return RewriteText(text, AppVarToNeutral);
}
std::string ToAppVar(std::string_view text) {
  return RewriteText(text, NeutralToAppVar);
}

TEST(AppVarRewriteTest, ReplacementIsNotSearchedAgainByItsRow) {
  // "_^2_" contains "^2": the row resumes behind what it inserted.
  EXPECT_EQ(ToAppVar("=A1^2+B1^2"), "=A1_^2_+B1_^2_");
  EXPECT_EQ(ToNeutral("=A1_^2_+B1_^3_"), "=A1^2+B1^3");
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

TEST(AppVarRewriteTest, FormulaRoundTripThroughTokens) {
  const std::string tokens = TextToTokens(ToAppVar("=IF(A1>2,1,0)")).bytes;
  EXPECT_EQ(tokens, std::string("\x6A\xCE\x10\x41\x31\x6C\x32\x2B\x31\x2B\x30\x11"));
  // The one-byte text of CE is "If", which no row rewrites.
  EXPECT_EQ(ToNeutral(TokensToText(tokens).text), "=If(A1>2,1,0)");
  EXPECT_EQ(TextToTokens(ToAppVar("=QUOTIENT(A1)")).bytes, std::string("\x6A\xB9\x41\x31\x11"));
  EXPECT_EQ(ToNeutral(TokensToText(std::string("\xB9")).text), "QUOTIENT(");
}

}  // namespace
}  // namespace tabulex
