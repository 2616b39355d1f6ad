// Character-table lookups and the KV-68 family's rewrite tables.
#include <gtest/gtest.h>

#include <string>

#include "converter/kv68/CharacterTable.h"
#include "converter/kv68/CharacterTranslator.h"
#include "converter/kv68/Kv68Rewrite.h"

namespace tabulex {
namespace {

using namespace std::string_literals;

TEST(CharacterTranslator, CodesBecomeNamesAndNamesCodesByFirstMatch) {
  CharacterTranslator t;
  EXPECT_EQ(t.CodesToNames("\x8C("), "_pi_(");
  EXPECT_EQ(t.CodesToNames("a1+ ~"), "a1+ ~");
  // 0xC2 belongs to "_A^_", "_a^_" and "_AE_": the first row wins.
  EXPECT_EQ(t.CodesToNames("\xC2"), "_A^_");
  // Both codes of the two "_degrees_" and "_neg_" rows name them.
  EXPECT_EQ(t.CodesToNames("\xB0\xAC"), "_degrees__degrees_");
  EXPECT_EQ(t.CodesToNames("\xAA\xAD"), "_neg__neg_");
  // Codes no row has stay as they are; code 0 stands for no character.
  EXPECT_EQ(t.CodesToNames("\x95\x7F\x0A"s), "\x95\x7F\x0A"s);
  EXPECT_EQ(t.CodesToNames("a\0b"s), "a\0b"s);
  // Known names become codes; everything else stays.
  EXPECT_EQ(t.NamesToCodes("2_pi_r"), "2\x8Cr");
  EXPECT_EQ(t.NamesToCodes("a_b_theta_"), "a_b\x88");
  EXPECT_EQ(t.NamesToCodes("x_y"), "x_y");
  EXPECT_EQ(t.NamesToCodes("_unknown_"), "_unknown_");
  // A name whose row has no code in the set stays a name.
  EXPECT_EQ(t.NamesToCodes("_infinity_"), "_infinity_");
  // "_neg_" first matches the row with 0xAD, so 0xAA does not come back.
  EXPECT_EQ(t.NamesToCodes(t.CodesToNames("\xAA")), "\xAD");
  EXPECT_EQ(t.NamesToCodes("_degrees_"), "\xB0");
  EXPECT_EQ(t.NamesToCodes("_pi__pi_"), "\x8C\x8C");
  // The closing underscore of a non-name may open the next name.
  EXPECT_EQ(t.NamesToCodes("__pi_"), "_\x8C");
  EXPECT_EQ(t.NamesToCodes("_x_pi_"), "_x\x8C");
  EXPECT_EQ(t.NamesToCodes("_pi_x_"), "\x8Cx_");
}

TEST(Kv68Rewrite, PairsApplyInOrderWithTheNamesAfterThemOrBefore) {
  // Later pairs see what earlier ones wrote.
  EXPECT_EQ(NeutralToKv68Text("imlog10(x)"), "log(x)");
  EXPECT_EQ(NeutralToKv68Text("imsqrt(x)"), "\xA8(x)");
  EXPECT_EQ(NeutralToKv68Text("2_10_^(3)"), "2*10^(3)");
  // The names become codes after the pairs.
  EXPECT_EQ(NeutralToKv68Text("pi()"), "\x8C");
  EXPECT_EQ(NeutralToKv68Text("_neg_4"),
            "\xAD"
            "4");
  // A pair never matches inside its own replacement.
  EXPECT_EQ(NeutralToKv68Text("var(var(x))"), "variance(variance(x))");
  // Pair 4 turns "IMLOG10(" into "log10(", which pair 8 no longer matches.
  EXPECT_EQ(Kv68ToNeutralText("IMLOG10(x)+log(y)"), "log10(x)+log10(y)");
  EXPECT_EQ(Kv68ToNeutralText("\x8C*r"), "_pi_*r");
  // The degree sign is named, then pair 18 puts its code back.
  EXPECT_EQ(Kv68ToNeutralText("30\xB0"), "30\xB0");
  // Codes named first can be matched by a pair.
  EXPECT_EQ(Kv68ToNeutralText("\xA8(4)"), "sqrt(4)");
}

TEST(Kv68Rewrite, RewritesLongTextsAlongTheirWholeLength) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 40; ++i) {
    text += "mean(x)+";
    expected += "average(x)+";
  }
  ASSERT_GT(text.size(), 127u);
  EXPECT_EQ(Kv68ToNeutralText(text), expected);
  EXPECT_EQ(NeutralToKv68Text(expected), text);
}

TEST(Kv68Rewrite, RewritesARecordsFormulaAndLeavesOneWithoutAlone) {
  CellData record;
  record.value = "5";
  Kv68ToNeutral(record);
  NeutralToKv68(record);
  EXPECT_FALSE(record.formula.has_value());
  EXPECT_EQ(record.value, "5");
  record.formula = "=pi()*2";
  NeutralToKv68(record);
  EXPECT_EQ(record.formula, "=\x8C*2");
  Kv68ToNeutral(record);
  EXPECT_EQ(record.formula, "=_pi_*2");
}

}  // namespace
}  // namespace tabulex
