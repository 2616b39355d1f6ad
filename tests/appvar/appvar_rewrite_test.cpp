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
