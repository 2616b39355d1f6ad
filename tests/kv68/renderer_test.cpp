// The expression renderer against expression data worked out by hand: exact text, brackets only
// where the operator rules ask for them, and unreadable data handled.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <stop_token>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "converter/kv68/ExpressionRenderer.h"
#include "converter/kv68/RendererTables.h"

namespace tabulex {
namespace {

using namespace std::string_literals;
using Expression = std::vector<std::uint8_t>;

// The renderer's input: a big-endian count, then the expression bytes.
std::string Render(const Expression& expression) {
  Expression data = {static_cast<std::uint8_t>(expression.size() >> 8),
                     static_cast<std::uint8_t>(expression.size() & 0xFF)};
  data.insert(data.end(), expression.begin(), expression.end());
  return RenderExpression(data);
}

Expression Cat(std::initializer_list<Expression> parts) {
  Expression all;
  for (const Expression& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Functions of the tag table the tests call by name.
constexpr std::uint8_t kSinTag = 0x45;
constexpr std::uint8_t kLnTag = 0x53;
constexpr std::uint8_t kGcdTag = 0xA2;
constexpr std::uint8_t kUnnamedTwoArgumentTag = 0x95;  // a two-argument kind without a name
constexpr std::uint8_t kIsPrimeTag = 0xF4;

// Items in memory order.
const Expression kX = {0x08};  // one-letter tags: 0x08 x, 0x09 y, 0x0A z
const Expression kY = {0x09};
const Expression kZ = {0x0A};
// An integer: one value byte, its count, the tag.
const auto Int = [](std::uint8_t v) { return Expression{v, 0x01, kIntegerTag}; };
const auto NegInt = [](std::uint8_t v) { return Expression{v, 0x01, kNegativeIntegerTag}; };
const auto Op = [](Expression left, Expression right, std::uint8_t tag) {
  return Cat({left, right, {tag}});
};
const auto Unary = [](Expression operand, std::uint8_t tag) { return Cat({operand, {tag}}); };
// Items of a variable count: the end tag, the items, then the tag that closes them.
Expression Closed(std::initializer_list<Expression> items, std::uint8_t tag) {
  return Cat({{kEndTag}, Cat(items), {tag}});
}
const auto List = [](std::initializer_list<Expression> items) { return Closed(items, kListTag); };

const std::string kMinus = "\xAD";

// Each expression with the text it renders to, without the closing line feed.
struct Rendered {
  Expression expression;
  std::string text;
};

void ExpectRendered(const std::vector<Rendered>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].text);
    EXPECT_EQ(Render(rows[i].expression), rows[i].text + "\n");
  }
}

TEST(RendererItems, NumbersStringsAndNames) {
  ExpectRendered({
      // Reals.
      {{0x40, 0x01, 0x12, 0x50, 0, 0, 0, 0, 0, 0x23}, "12.5"},
      {{0x40, 0x00, 0x30, 0, 0, 0, 0, 0, 0, 0x23}, "3."},
      {{0xC0, 0x01, 0x25, 0x50, 0, 0, 0, 0, 0, 0x23}, kMinus + "25.5"},
      {{0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x23}, "0."},
      {{0x3F, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0x23}, "0.5"},
      {{0x40, 0x00, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x23}, "1.2345678901234"},
      // Exponents use the calculator characters.
      {{0x40, 0x14, 0x10, 0, 0, 0, 0, 0, 0, 0x23}, "1\x95+20"},
      {{0x3F, 0xFB, 0x10, 0, 0, 0, 0, 0, 0, 0x23}, "1\x95" + kMinus + "05"},
      // Beyond the range of a double: formatted from a long double.
      {{0x41, 0x90, 0x25, 0, 0, 0, 0, 0, 0, 0x23}, "2.5\x95+400"},
      // Integers.
      {{0x05, 0x01, 0x1F}, "5"},
      {{0x00, 0x1F}, "0"},
      {{0x2C, 0x01, 0x02, 0x1F}, "300"},  // least significant byte first
      {{0x05, 0x01, 0x20}, kMinus + "5"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x09, 0x1F}, "18446744073709551616"},
      // Fractions: denominator bytes, count, numerator bytes, count, tag.
      {{0x04, 0x01, 0x03, 0x01, 0x21}, "3/4"},
      {{0x04, 0x01, 0x03, 0x01, 0x22}, kMinus + "3/4"},
      // Binary and hexadecimal.
      {Cat({Int(5), {0x2B, kExtendedTag}}), "0b101"},
      {Cat({Int(0xFF), {0x2C, kExtendedTag}}), "0hFF"},
      {{0x00, 0x00, 0x00, 0x01, 0x04, 0x1F, 0x2B, 0xE3}, "0b1" + std::string(24, '0')},
      {{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01, 0x08, 0x1F, 0x2C, 0xE3},
       "0h123456789ABCDEF"},
      // Strings are quoted with inner quotes doubled.
      {{0x00, 'T', 'o', 't', 'a', 'l', 0x00, 0x2D}, "\"Total\""},
      {{0x00, 'a', '"', 'b', 0x00, 0x2D}, "\"a\"\"b\""},
      {{0x00, 0x00, 0x2D}, "\"\""},
      // Variable names and letters.
      {{0x00, 'a', 'b', 0x00}, "ab"},
      {{0x01}, "q"},
      {{0x0A}, "z"},
      {{0x0B}, "a"},
      {{0x1A}, "p"},
      {{0x08, 0xF0}, "x"},
      {{0x1B}, "\x0E"},  // kind 2, but no letter
      {{0x26, 0x1C}, "xmin"},
      {{0x05, 0x1D}, "@5"},
      {{0x07, 0x1E}, "@n7"},
      {{0x24}, "\x8C"},
      {{0x2B}, "false"},
      {{0x2E}, ""},
      // Items with tags above the separators still render.
      {Unary(kX, kIsPrimeTag), "IsPrime(x)"},
      {Unary(kX, kEndTag), "\x0E"},  // not above the separators: unreadable
      {Unary(kX, kStopMark), ""},
      {{0x08, 0xFA}, ""},  // unused
      {{0x08, 0xEC}, ""},  // a variable tag
  });
  // A text cell's buffer: the count stops at the zero that ends the quoted characters.
  EXPECT_EQ(RenderExpression(Expression{0x00, 0x06, 0x00, '"', 'a', 'b', '"', 0x00, 0x2D, 0x00}),
            "\"ab\"\n");
}

TEST(RendererOperators, BracketsOnlyWhereTheOperatorRulesAskForThem) {
  ExpectRendered({
      // Addition keeps the stored order.
      {{0x08, 0x01, 0x01, 0x1F, 0x8B}, "x+1"},  // x, integer 1, +
      {Op(Int(1), kX, kAddTag), "1+x"},
      {Op(kX, Op(kY, kZ, kMultiplyTag), kAddTag), "x+y*z"},
      {Op(Op(kX, kY, kAddTag), kZ, kAddTag), "x+y+z"},
      {Op(kX, Op(kY, kZ, kAddTag), kAddTag), "x+y+z"},
      {Op(kX, kY, kDotAddTag), "x .+ y"},
      {Op(kX, Op(kY, kZ, kLessTag), kAddTag), "x+(y<z)"},
      {Op(kX, Unary(kY, kNotTag), kAddTag), "x+(not y)"},
      // Subtraction.
      {Op(Op(kX, kY, kSubtractTag), kZ, kSubtractTag), "x-y-z"},
      {Op(kX, Op(kY, kZ, kSubtractTag), kSubtractTag), "x-(y-z)"},
      {Op(kX, Op(kY, kZ, kAddTag), kDotSubtractTag), "x .- (y+z)"},
      {Op(kX, Op(kY, kZ, kMultiplyTag), kSubtractTag), "x-y*z"},
      // Multiplication.
      {Op(Op(kX, Int(1), kAddTag), Int(2), kMultiplyTag), "(x+1)*2"},
      {Op(kX, Op(kY, Int(1), kAddTag), kMultiplyTag), "x*(y+1)"},
      {Op(kX, NegInt(2), kMultiplyTag), "x*(" + kMinus + "2)"},
      {Op(NegInt(2), kX, kMultiplyTag), kMinus + "2*x"},
      {Op(kX, Op(kY, kZ, kDivideTag), kMultiplyTag), "x*(y/z)"},
      {Op(kX, Op(kY, kZ, kDotDivideTag), kMultiplyTag), "x*y ./ z"},
      {Op(Op(kX, kY, kDivideTag), kZ, kMultiplyTag), "x/y*z"},
      {Op(kX, Op(kY, kZ, kPowerTag), kMultiplyTag), "x*y^z"},
      // Division.
      {Op(kX, Int(2), kDivideTag), "x/2"},
      {Op(kX, NegInt(2), kDivideTag), "x/" + kMinus + "2"},
      {Op(kX, Op(kY, Int(2), kPowerTag), kDivideTag), "x/y^2"},
      {Op(kX, Op(kY, kZ, kMultiplyTag), kDivideTag), "x/(y*z)"},
      {Op(kX, {0x26, 0x1C}, kDivideTag), "x/xmin"},
      // Anything that is not a name, letter, constant of kind 4 or 5, integer or power is
      // bracketed.
      {Op(kX, {0x40, 0x00, 0x35, 0, 0, 0, 0, 0, 0, 0x23}, kDivideTag), "x/(3.5)"},
      {Op(Op(kX, kY, kSubtractTag), kZ, kDotDivideTag), "(x-y) ./ z"},
      // Powers.
      {Op(Int(2), kX, kPowerTag), "2^x"},
      {Op(NegInt(2), Int(2), kPowerTag), "(" + kMinus + "2)^2"},
      {Op(kX, NegInt(2), kPowerTag), "x^" + kMinus + "2"},
      {Op(kX, Op(kY, Int(1), kAddTag), kPowerTag), "x^(y+1)"},
      {Op(Op(kX, kY, kPowerTag), kZ, kPowerTag), "(x^y)^z"},
      {Op({0x24}, kX, kDotPowerTag), "\x8C .^ x"},
      // Comparisons and logic.
      {Op(kX, Int(1), kLessTag), "x<1"},
      {Op(kX, kY, kLessEqualTag), "x\x9Cy"},
      {Op(kX, kY, kNotEqualTag), "x\x9Dy"},
      {Op(Op(kX, kY, kLessTag), kZ, kEqualTag), "(x<y)=z"},
      {Op(Op(kX, kY, kAddTag), kZ, kGreaterTag), "x+y>z"},
      {Op(kX, kY, kAndTag), "x and y"},
      {Op(Op(kX, kY, kOrTag), kZ, kAndTag), "(x or y) and z"},
      {Op(kX, Op(kY, kZ, kAndTag), kOrTag), "x or y and z"},
      {Op(Op(kX, kY, kLessTag), Op(kY, kZ, kGreaterTag), kXorTag), "x<y xor y>z"},
      {Op(Op(kX, kY, kStoreTag), kZ, kXorTag), "(x\x16y) xor z"},
      // The unnamed joining tag ranks with store beside logic, but has no rank in arithmetic.
      {Op(Op(kX, kY, kJoinTag), kZ, kAndTag), "(x_ERROR_y) and z"},
      {Op(Op(kX, kY, kJoinTag), kZ, kAddTag), "x_ERROR_y+z"},
      // Store, with and join on their own.
      {Op(kX, kY, kStoreTag), "x\x16y"},
      {Op(kX, Op(kY, Int(1), kLessTag), kWithTag), "x|y<1"},
      {Op(kX, kY, kJoinTag), "x_ERROR_y"},
      // Prefix and postfix.
      {Unary(kX, kNotTag), "not x"},
      {Unary(Op(kX, kY, kAndTag), kNotTag), "not (x and y)"},
      {Unary(Unary(kX, kNotTag), kNotTag), "not not x"},
      {Unary(kX, kNegateTag), kMinus + "x"},
      {Unary(Op(kX, kY, kAddTag), kNegateTag), kMinus + "(x+y)"},
      {Unary(Op(kX, kY, kMultiplyTag), kNegateTag), kMinus + "x*y"},
      {Unary(kX, kPlusMinusTag), "+-x"},
      {Unary(Int(5), kFactorialTag), "5!"},
      {Unary(Unary(kX, kFactorialTag), kFactorialTag), "x!!"},
      {Unary(NegInt(5), kFactorialTag), "(" + kMinus + "5)!"},
      {Unary(Op(kX, Int(1), kAddTag), kPercentTag), "(x+1)%"},
  });
}

TEST(RendererCalls, FunctionsListsInstructionsAndVariables) {
  const Expression f = {0x00, 'f', 0x00};
  const Expression list = List({Int(1), NegInt(2)});
  const Expression matrix = List({List({Int(1), Int(2)}), List({Int(3), Int(4)})});
  ExpectRendered({
      // Calls and arguments.
      {Unary(kX, kSinTag), "sin(x)"},
      {Unary(Op(kX, kY, kAddTag), kLnTag), "ln(x+y)"},
      {Unary({0x32}, kSinTag), "sin\x0E"},  // an unreadable argument: no parentheses
      {Unary(kX, kExpTag), "\x96^x"},
      {Unary(Op(kX, Int(1), kAddTag), kExpTag), "\x96^(x+1)"},
      {Op(kX, kY, kGcdTag), "gcd(x,y)"},
      {Closed({kX, kY, kZ}, kMaxTag), "max(x,y,z)"},
      {Closed({f, kX, kY}, kCallTag), "f(x,y)"},
      {Closed({{0x00, 'l', 0x00}, Int(1)}, kIndexTag), "l[1]"},
      {Closed({Int(1), Int(2), Int(3)}, kDegreesMinutesSecondsTag), "1\xB0" + "2'3\""s},
      {Cat({Closed({f, kX}, kCallTag), {kDerivativeTag, kDerivativeTag}}), "f''(x)"},
      // At the top the braces of a list are left out and numbers use the plain minus.
      {list, "1,-2"},
      {Op(kX, list, kAddTag), "x+{1," + kMinus + "2}"},
      {matrix, "[[1,2][3,4]]"},
      {Unary(matrix, kTransposeTag), "[[1,2][3,4]]\x99"},
      {Op(list, Int(2), kPowerTag), "{1," + kMinus + "2}^2"},
      // Extended tags and instructions.
      {{0x02, kExtendedTag}, "getKey()"},
      {{0x00, 'a', 0x00, 0x2D, 0x00, 'b', 0x00, 0x2D, 0x14, 0xE3}, "\"a\"&\"b\""},
      {Cat({kX, {0x16, kExtendedTag}}),
       "x\x12"
       "DMS"},
      {Cat({kX, kY, {0x35, kExtendedTag}}), "augment(x;y)"},
      {{0x1B, kExtendedTag}, "\x0E"},
      {Cat({kX, kY, {0x26, kExtendedTag}}), "(x\x9Fy)"},
      {Cat({kX, {0x01, kExtendedTag}}), "#x"},
      {Op(kX, kY, kUnnamedTwoArgumentTag), "_ERROR_(x,y)"},  // a row with a kind but no name
      {{0x03, kInstructionTag}, "ClrHome"},
      {Cat({Closed({kX, kY}, 0x7A), {kInstructionTag}}), "Disp x,y"},
      {Cat({kX, {0x3B, kInstructionTag}}), "If x Then"},
      {Cat({kX, {0x39, kInstructionTag}}), "ElseIf x Then"},
      {{0x87, kInstructionTag}, " Else"},
      {Cat({Closed({Closed({f, kX}, kCallTag), kX}, 0x86), {kInstructionTag}}), "Define f(x)=x"},
      {{0xAA, 0xBB, 0x07, 0xE4}, "Cycle"},  // two more bytes skipped
      {{0x98, kInstructionTag}, "_ERROR_"},
      {{0x72, kSystemVariableTag}, "_ERROR_"},
      // The first statement is next to the end; each separator has its indentation count before
      // it. Then a comment.
      {Cat({Int(3), {0x00, 0xE7}, Int(2), {0x02, 0xE8}, Int(1)}), "1\n  2:3"},
      {Cat({{0x00, 'h', 'i', 0x00, 0x01, 0xE6}, kX}), "x \xA9hi"},
      // Whole variable layouts.
      {Cat({kX, {kEndTag}, kY, {0x00, 0xDC}}), "(y)\nx"},
      {{0x00, 'a', 0x0D, 'b', 0x00, 0x08, 0xDC}, "a\nb"},
      {{0x00, 'C', 'h', 'i', 0x0D, 'P', 'x', 0x00, 0xE0}, "C:hi\nP:x"},
      {{0x01, 0xDF}, ""},
      {Cat({{0xE5, 0x2E}, {0xE5, 0x2E}, Closed({List({NegInt(1)})}, kDataVariableTag)}),
       "Data Variable:\nColumn Data\nColumn #1 ={-1}\nFormula Data\nFormula for Column #1 "
       "=\nData Column Titles\nTitle for Column #1 =\"C1\""},
      {Cat({{kEndTag}, {kEndTag}, {kEndTag}, {0xE5, 0x26, 0x1C}, NegInt(10), {kGraphDatabaseTag}}),
       "Graph Database:\nRange Settings\n xmin     =" + kMinus +
           "10\nGraph Formats\nGraph Equations\nGraph-Table Settings"},
  });
}

TEST(RendererBounds, NothingIsReadBeforeTheDataAndTheCountIsClamped) {
  ExpectRendered({
      {{0x05, 0x1F}, "\x0E"},        // count larger than the bytes before it
      {{0x40, 0x00, 0x23}, "\x0E"},  // truncated real
      {{'a', 'b', 0x00}, "\x0E"},    // name without its opening zero
      {{'a', 0x00, 0x2D}, "\x0E"},
      {{0x04, 0x01, 0x09, 0x21}, "\x0E"},
      {{kAddTag}, "\x0E+\x0E"},
      {Unary(kX, kAddTag), "\x0E+x"},
      {{0x32}, "\x0E"},
      {Unary(Int(1), kMaxTag), "\x0E"},  // argument list without its end tag
      {{kExtendedTag}, "\x0E"},
      {{kInstructionTag}, "\x0E"},
      {{kCommentTag}, "\x0E"},
  });
  // The count at the front, clamped to the bytes present.
  const std::pair<Expression, std::string> counted[] = {
      {{0x00, 0x10, 0x05, 0x01, 0x1F}, "5\n"},
      {{0x00, 0x02, 0x05, 0x01, 0x1F}, "q\n"},  // only 05 01 counted
      {{}, "\n"},
      {{0x00}, "\n"},
      {{0x00, 0x00}, "\n"},
  };
  for (const auto& [data, text] : counted) EXPECT_EQ(RenderExpression(data), text);
}

TEST(RendererBounds, DeepNestingNeedsNoCallStack) {
  // As deep as a 16-bit count allows: far beyond what a call stack would hold.
  Expression negations = kX;
  negations.resize(65000, kNegateTag);
  EXPECT_EQ(Render(negations), std::string(64999, '\xAD') + "x\n");
  // x+(x+(x+...)): the deepest item is read first, and the operands keep their order.
  Expression sums = {0x00, 'a', 0x00};
  for (int i = 0; i < 5000; ++i) sums.insert(sums.end(), {0x08});
  sums.resize(sums.size() + 5000, kAddTag);
  std::string expected = "a";
  for (int i = 0; i < 5000; ++i) expected += "+x";
  EXPECT_EQ(Render(sums), expected + "\n");
}

TEST(RendererBounds, CallsMayOverlapAndThreadsThatRenderedMayEnd) {
  // Each call owns its storage: renderings on several threads at once do not disturb each other.
  // Threads come and go, as a host's do around the converter, and each ends cleanly.
  const std::vector<std::pair<Expression, std::string>> cases = {
      {Op(Op(kX, Int(1), kAddTag), Int(2), kMultiplyTag), "(x+1)*2\n"},
      {{0x00, 'T', 'o', 't', 'a', 'l', 0x00, 0x2D}, "\"Total\"\n"},
      {{0x40, 0x01, 0x12, 0x50, 0, 0, 0, 0, 0, 0x23}, "12.5\n"},
      {List({Int(1), NegInt(2)}), "1,-2\n"}};
  std::vector<int> failures(cases.size(), 0);
  // Another thread keeps taking and giving back memory meanwhile, so storage freed too early
  // during a thread's end is soon handed out again and its reuse shows.
  const std::jthread churn([](const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      const std::vector<std::string> texts(64, std::string(40, 'x'));
    }
  });
  for (int round = 0; round < 100; ++round) {
    std::vector<std::jthread> threads;  // joined at the end of each round
    for (std::size_t t = 0; t < cases.size(); ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; i < 10; ++i) failures[t] += Render(cases[t].first) != cases[t].second;
      });
    }
  }
  EXPECT_EQ(failures, std::vector<int>(cases.size(), 0));
}

TEST(TagNames, LookupsAndErrors) {
  // The last row of each sub-code table, the first sub-code past it, and rows without a name.
  // The last rows of the extended and instruction tables are rendered above.
  const std::tuple<std::uint8_t, std::uint8_t, std::string> rows[] = {
      {0x32, 0, "_ERROR_"},
      {kSystemVariableTag, 0x71, "ncontour"},
      {kSystemVariableTag, 0x72, "_ERROR_"},
      {kSystemVariableTag, 0x5E, "_ERROR_"},
      {kExtendedTag, 0x36, "_ERROR_"},
      {kInstructionTag, 0x97, "SendChat "},
      {kInstructionTag, 0x36, "_ERROR_"},
      {kAddTag, 0x01, "_ERROR_"},  // a sub-code on a tag without sub-codes
  };
  for (const auto& [tag, sub, name] : rows) EXPECT_EQ(TagName(tag, sub), name) << int{sub};
}

}  // namespace
}  // namespace tabulex
