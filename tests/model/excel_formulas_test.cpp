// The rewriting routine and the two Excel formula tables.
#include <gtest/gtest.h>

#include "converter/model/CellData.h"
#include "converter/model/ExcelFormulas.h"

namespace tabulex {
namespace {

std::string ToNeutral(std::string formula) {
  CellData record;
  record.formula = std::move(formula);
  ExcelToNeutral(record);
  return *record.formula;
}

std::string ToExcel(std::string text) {
  NeutralToExcel(text);
  return text;
}

TEST(Rewrite, ResumesBehindEachReplacementAndKeepsZeroBytesAndLongTexts) {
  const RewriteRule rules[] = {{"a", "aa"}, {"aa", "b"}};
  // Row 1 never matches its own insertions; row 2 then sees all four a's.
  EXPECT_EQ(RewriteText("xaax", rules), "xbbx");
  const RewriteRule overlap[] = {{"ab", "xa"}};
  // The "a" inserted before "b" is not searched again, so "abb" gives "xab", not "xxa".
  EXPECT_EQ(RewriteText("abb", overlap), "xab");
  // An empty search text changes nothing.
  const RewriteRule empty[] = {{"", "zz"}};
  EXPECT_EQ(RewriteText("abc", empty), "abc");
  // Zero bytes are kept, and long texts are rewritten whole.
  const RewriteRule doubling[] = {{"x", "yy"}};
  std::string text(70000, 'x');
  text[5] = '\0';
  const std::string out = RewriteText(text, doubling);
  EXPECT_EQ(out.size(), 2u * 69999 + 1);
  EXPECT_EQ(out[10], '\0');
}

TEST(ExcelToNeutral, RowOrderAndMatchesInsideLongerNames) {
  EXPECT_EQ(ToNeutral("=ACOS(A1)^-2"), "=COS_^-1_(A1)^_neg_2");
  EXPECT_EQ(ToNeutral("=COUNTIF(A1:A3,1)"), "=COUNTIf(A1:A3,1)");
  EXPECT_EQ(ToNeutral("=-A1"), "=-A1");
  EXPECT_EQ(ToNeutral("=2*-A1"), "=2*-A1");
  EXPECT_EQ(ToNeutral("=(-A1)"), "=(_neg_A1)");
  EXPECT_EQ(ToNeutral("=SQRTPI()+PI()"), "=SQRT(_pi_)+_pi_");
  // A record without a formula keeps none.
  CellData record;
  ExcelToNeutral(record);
  EXPECT_FALSE(record.formula.has_value());
}

TEST(NeutralToExcel, RowOrderAndMatchesInsideLongerNames) {
  EXPECT_EQ(ToExcel("=A1_!=_B1"), "=A1<>B1");  // row 31 wins over row 32
  EXPECT_EQ(ToExcel("=_e_^(2)"), "=EXP(2)");
  EXPECT_EQ(ToExcel("=_e_*2"), "=EXP(1)*2");
  EXPECT_EQ(ToExcel("=rand"), "=rand()");
  EXPECT_EQ(ToExcel("=rand(5)"), "=rand()(5)");
  EXPECT_EQ(ToExcel("=cos_^-1_(A1)+x_^-1_"), "=ACOS(A1)+x^-1");
  EXPECT_EQ(ToExcel("plain words"), "plain words");
}

}  // namespace
}  // namespace tabulex
