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

TEST(AppVarRewriteTest, FunctionNamesBothWays) {
  EXPECT_EQ(ToAppVar("=SUM(A1:A5)"), "=sum(A1:A5)");
  EXPECT_EQ(ToNeutral("=sum(A1:A5)"), "=SUM(A1:A5)");
  EXPECT_EQ(ToAppVar("=QUOTIENT(A1)"), "=iPart(A1)");
  EXPECT_EQ(ToNeutral("=iPart(A1)"), "=QUOTIENT(A1)");
  EXPECT_EQ(ToAppVar("=AVERAGE(B1:B3)"), "=mean(B1:B3)");
  EXPECT_EQ(ToNeutral("=mean(B1:B3)"), "=AVERAGE(B1:B3)");
  EXPECT_EQ(ToNeutral("=log(2)+variance(L_1_)"), "=LOG10(2)+var(L_1_)");
  EXPECT_EQ(ToAppVar("=LOG10(2)+LOG(3)+EXP(1)"), "=log(2)+log(3)+_e_^(1)");
}

TEST(AppVarRewriteTest, SymbolsAndCalculatorCharacters) {
  EXPECT_EQ(ToAppVar("=$A$1"), "=_trans_A_trans_1");
  EXPECT_EQ(ToNeutral("=_trans_A_trans_1"), "=$A$1");
  EXPECT_EQ(ToNeutral("\"\x04"
                      "5"),
            "\"$5");
  EXPECT_EQ(ToNeutral("2_EE_3"), "2*10^3");
  EXPECT_EQ(ToNeutral("90_degrees_"), "90\xB0");
  EXPECT_EQ(ToAppVar("90\xB0"), "90_degrees_");
  EXPECT_EQ(ToAppVar("=SQRT_PI_+SQRT(2)"), "=_root_(_pi_)+_root_(2)");
  EXPECT_EQ(ToAppVar("=_NEG_1*(_NEG_2)+_PI_*_E_+_I_"), "=_neg_1*(_neg_2)+_pi_*_e_+_i_");
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
