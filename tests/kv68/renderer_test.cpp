// The expression renderer against expression data worked out by hand: exact text, brackets only
// where the operator rules ask for them, and unreadable data handled.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "converter/kv68/ExpressionRenderer.h"
#include "converter/kv68/RendererTables.h"

namespace tabulex {
namespace {

using namespace std::string_literals;
using Expression = std::vector<std::uint8_t>;

// The renderer's input: a big-endian count, then the expression bytes.
Expression Counted(const Expression& expression) {
  Expression data = {static_cast<std::uint8_t>(expression.size() >> 8),
                     static_cast<std::uint8_t>(expression.size() & 0xFF)};
  data.insert(data.end(), expression.begin(), expression.end());
  return data;
}

std::string Render(const Expression& expression) {
  return RenderExpression(Counted(expression));
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
Expression Int(std::uint8_t v) {
  return {v, 0x01, kIntegerTag};  // one value byte, its count
}
Expression NegInt(std::uint8_t v) {
  return {v, 0x01, kNegativeIntegerTag};
}
Expression Op(Expression left, Expression right, std::uint8_t tag) {
  return Cat({left, right, {tag}});
}
Expression Unary(Expression operand, std::uint8_t tag) {
  return Cat({operand, {tag}});
}
// Items of a variable count: the end tag, the items, then the tag that closes them.
Expression Closed(std::initializer_list<Expression> items, std::uint8_t tag) {
  return Cat({{kEndTag}, Cat(items), {tag}});
}
Expression List(std::initializer_list<Expression> items) {
  return Closed(items, kListTag);
}

const std::string kMinus = "\xAD";

TEST(RendererNumbers, Reals) {
  EXPECT_EQ(Render({0x40, 0x01, 0x12, 0x50, 0, 0, 0, 0, 0, 0x23}), "12.5\n");
  EXPECT_EQ(Render({0x40, 0x00, 0x30, 0, 0, 0, 0, 0, 0, 0x23}), "3.\n");
  EXPECT_EQ(Render({0xC0, 0x01, 0x25, 0x50, 0, 0, 0, 0, 0, 0x23}), kMinus + "25.5\n");
  EXPECT_EQ(Render({0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x23}), "0.\n");
  EXPECT_EQ(Render({0x3F, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0x23}), "0.5\n");
  EXPECT_EQ(Render({0x40, 0x00, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x23}),
            "1.2345678901234\n");
}

TEST(RendererNumbers, ExponentsUseTheCalculatorCharacters) {
  EXPECT_EQ(Render({0x40, 0x14, 0x10, 0, 0, 0, 0, 0, 0, 0x23}), "1\x95+20\n");
  EXPECT_EQ(Render({0x3F, 0xFB, 0x10, 0, 0, 0, 0, 0, 0, 0x23}), "1\x95" + kMinus + "05\n");
  // Beyond the range of a double: formatted from a long double.
  EXPECT_EQ(Render({0x41, 0x90, 0x25, 0, 0, 0, 0, 0, 0, 0x23}), "2.5\x95+400\n");
}

TEST(RendererNumbers, IntegersAndFractions) {
  EXPECT_EQ(Render({0x05, 0x01, 0x1F}), "5\n");
  EXPECT_EQ(Render({0x00, 0x1F}), "0\n");
  EXPECT_EQ(Render({0x2C, 0x01, 0x02, 0x1F}), "300\n");  // least significant byte first
  EXPECT_EQ(Render({0x05, 0x01, 0x20}), kMinus + "5\n");
  EXPECT_EQ(Render({0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x09, 0x1F}), "18446744073709551616\n");
  // Fractions: denominator bytes, count, numerator bytes, count, tag.
  EXPECT_EQ(Render({0x04, 0x01, 0x03, 0x01, 0x21}), "3/4\n");
  EXPECT_EQ(Render({0x04, 0x01, 0x03, 0x01, 0x22}), kMinus + "3/4\n");
}

TEST(RendererNumbers, BinaryAndHexadecimal) {
  EXPECT_EQ(Render(Cat({Int(5), {0x2B, kExtendedTag}})), "0b101\n");
  EXPECT_EQ(Render(Cat({Int(0xFF), {0x2C, kExtendedTag}})), "0hFF\n");
  EXPECT_EQ(Render({0x00, 0x00, 0x00, 0x01, 0x04, 0x1F, 0x2B, 0xE3}),
            "0b1" + std::string(24, '0') + "\n");
  EXPECT_EQ(Render({0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01, 0x08, 0x1F, 0x2C, 0xE3}),
            "0h123456789ABCDEF\n");
}

TEST(RendererStrings, QuotedWithInnerQuotesDoubled) {
  EXPECT_EQ(Render({0x00, 'T', 'o', 't', 'a', 'l', 0x00, 0x2D}), "\"Total\"\n");
  EXPECT_EQ(Render({0x00, 'a', '"', 'b', 0x00, 0x2D}), "\"a\"\"b\"\n");
  EXPECT_EQ(Render({0x00, 0x00, 0x2D}), "\"\"\n");
}

TEST(RendererNames, VariableNamesAndLetters) {
  EXPECT_EQ(Render({0x00, 'a', 'b', 0x00}), "ab\n");
  // A text cell's buffer: the count stops at the zero that ends the quoted characters.
  EXPECT_EQ(RenderExpression(Expression{0x00, 0x06, 0x00, '"', 'a', 'b', '"', 0x00, 0x2D, 0x00}),
            "\"ab\"\n");
  EXPECT_EQ(Render({0x01}), "q\n");
  EXPECT_EQ(Render({0x0A}), "z\n");
  EXPECT_EQ(Render({0x0B}), "a\n");
  EXPECT_EQ(Render({0x1A}), "p\n");
  EXPECT_EQ(Render({0x08, 0xF0}), "x\n");
  EXPECT_EQ(Render({0x1B}), "\x0E\n");  // kind 2, but no letter
  EXPECT_EQ(Render({0x26, 0x1C}), "xmin\n");
  EXPECT_EQ(Render({0x05, 0x1D}), "@5\n");
  EXPECT_EQ(Render({0x07, 0x1E}), "@n7\n");
  EXPECT_EQ(Render({0x24}), "\x8C\n");
  EXPECT_EQ(Render({0x2B}), "false\n");
  EXPECT_EQ(Render({0x2E}), "\n");
}

TEST(RendererStatements, ItemsWithTagsAboveTheSeparatorsStillRender) {
  EXPECT_EQ(Render(Unary(kX, kIsPrimeTag)), "IsPrime(x)\n");
  EXPECT_EQ(Render(Unary(kX, kEndTag)), "\x0E\n");  // not above the separators: unreadable
  EXPECT_EQ(Render(Unary(kX, kStopMark)), "\n");
  EXPECT_EQ(Render({0x08, 0xFA}), "\n");  // unused
  EXPECT_EQ(Render({0x08, 0xEC}), "\n");  // a variable tag
}

TEST(RendererOperators, AdditionKeepsTheStoredOrder) {
  EXPECT_EQ(Render({0x08, 0x01, 0x01, 0x1F, 0x8B}), "x+1\n");  // x, integer 1, +
  EXPECT_EQ(Render(Op(Int(1), kX, kAddTag)), "1+x\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kMultiplyTag), kAddTag)), "x+y*z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kAddTag), kZ, kAddTag)), "x+y+z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kAddTag), kAddTag)), "x+y+z\n");
  EXPECT_EQ(Render(Op(kX, kY, kDotAddTag)), "x .+ y\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kLessTag), kAddTag)), "x+(y<z)\n");
  EXPECT_EQ(Render(Op(kX, Unary(kY, kNotTag), kAddTag)), "x+(not y)\n");
}

TEST(RendererOperators, Subtraction) {
  EXPECT_EQ(Render(Op(Op(kX, kY, kSubtractTag), kZ, kSubtractTag)), "x-y-z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kSubtractTag), kSubtractTag)), "x-(y-z)\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kAddTag), kDotSubtractTag)), "x .- (y+z)\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kMultiplyTag), kSubtractTag)), "x-y*z\n");
}

TEST(RendererOperators, Multiplication) {
  EXPECT_EQ(Render(Op(Op(kX, Int(1), kAddTag), Int(2), kMultiplyTag)), "(x+1)*2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), kAddTag), kMultiplyTag)), "x*(y+1)\n");
  EXPECT_EQ(Render(Op(kX, NegInt(2), kMultiplyTag)), "x*(" + kMinus + "2)\n");
  EXPECT_EQ(Render(Op(NegInt(2), kX, kMultiplyTag)), kMinus + "2*x\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kDivideTag), kMultiplyTag)), "x*(y/z)\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kDotDivideTag), kMultiplyTag)), "x*y ./ z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kDivideTag), kZ, kMultiplyTag)), "x/y*z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kPowerTag), kMultiplyTag)), "x*y^z\n");
}

TEST(RendererOperators, Division) {
  EXPECT_EQ(Render(Op(kX, Int(2), kDivideTag)), "x/2\n");
  EXPECT_EQ(Render(Op(kX, NegInt(2), kDivideTag)), "x/" + kMinus + "2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(2), kPowerTag), kDivideTag)), "x/y^2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kMultiplyTag), kDivideTag)), "x/(y*z)\n");
  EXPECT_EQ(Render(Op(kX, {0x26, 0x1C}, kDivideTag)), "x/xmin\n");
  // Anything that is not a name, letter, constant of kind 4 or 5, integer or power is bracketed.
  EXPECT_EQ(Render(Op(kX, {0x40, 0x00, 0x35, 0, 0, 0, 0, 0, 0, 0x23}, kDivideTag)), "x/(3.5)\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kSubtractTag), kZ, kDotDivideTag)), "(x-y) ./ z\n");
}

TEST(RendererOperators, Powers) {
  EXPECT_EQ(Render(Op(Int(2), kX, kPowerTag)), "2^x\n");
  EXPECT_EQ(Render(Op(NegInt(2), Int(2), kPowerTag)), "(" + kMinus + "2)^2\n");
  EXPECT_EQ(Render(Op(kX, NegInt(2), kPowerTag)), "x^" + kMinus + "2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), kAddTag), kPowerTag)), "x^(y+1)\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kPowerTag), kZ, kPowerTag)), "(x^y)^z\n");
  EXPECT_EQ(Render(Op({0x24}, kX, kDotPowerTag)), "\x8C .^ x\n");
}

TEST(RendererOperators, ComparisonsLogicStoreWithAndJoin) {
  EXPECT_EQ(Render(Op(kX, Int(1), kLessTag)), "x<1\n");
  EXPECT_EQ(Render(Op(kX, kY, kLessEqualTag)), "x\x9Cy\n");
  EXPECT_EQ(Render(Op(kX, kY, kNotEqualTag)), "x\x9Dy\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kLessTag), kZ, kEqualTag)), "(x<y)=z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kAddTag), kZ, kGreaterTag)), "x+y>z\n");
  EXPECT_EQ(Render(Op(kX, kY, kAndTag)), "x and y\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kOrTag), kZ, kAndTag)), "(x or y) and z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, kAndTag), kOrTag)), "x or y and z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kLessTag), Op(kY, kZ, kGreaterTag), kXorTag)), "x<y xor y>z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kStoreTag), kZ, kXorTag)), "(x\x16y) xor z\n");
  // The unnamed joining tag ranks with store beside logic, but has no rank in arithmetic.
  EXPECT_EQ(Render(Op(Op(kX, kY, kJoinTag), kZ, kAndTag)), "(x_ERROR_y) and z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, kJoinTag), kZ, kAddTag)), "x_ERROR_y+z\n");
  // Store, with and join on their own.
  EXPECT_EQ(Render(Op(kX, kY, kStoreTag)), "x\x16y\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), kLessTag), kWithTag)), "x|y<1\n");
  EXPECT_EQ(Render(Op(kX, kY, kJoinTag)), "x_ERROR_y\n");
}

TEST(RendererOperators, PrefixAndPostfix) {
  EXPECT_EQ(Render(Unary(kX, kNotTag)), "not x\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, kAndTag), kNotTag)), "not (x and y)\n");
  EXPECT_EQ(Render(Unary(Unary(kX, kNotTag), kNotTag)), "not not x\n");
  EXPECT_EQ(Render(Unary(kX, kNegateTag)), kMinus + "x\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, kAddTag), kNegateTag)), kMinus + "(x+y)\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, kMultiplyTag), kNegateTag)), kMinus + "x*y\n");
  EXPECT_EQ(Render(Unary(kX, kPlusMinusTag)), "+-x\n");
  EXPECT_EQ(Render(Unary(Int(5), kFactorialTag)), "5!\n");
  EXPECT_EQ(Render(Unary(Unary(kX, kFactorialTag), kFactorialTag)), "x!!\n");
  EXPECT_EQ(Render(Unary(NegInt(5), kFactorialTag)), "(" + kMinus + "5)!\n");
  EXPECT_EQ(Render(Unary(Op(kX, Int(1), kAddTag), kPercentTag)), "(x+1)%\n");
}

TEST(RendererFunctions, CallsAndArguments) {
  EXPECT_EQ(Render(Unary(kX, kSinTag)), "sin(x)\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, kAddTag), kLnTag)), "ln(x+y)\n");
  EXPECT_EQ(Render(Unary({0x32}, kSinTag)), "sin\x0E\n");  // an unreadable argument: no parentheses
  EXPECT_EQ(Render(Unary(kX, kExpTag)), "\x96^x\n");
  EXPECT_EQ(Render(Unary(Op(kX, Int(1), kAddTag), kExpTag)), "\x96^(x+1)\n");
  EXPECT_EQ(Render(Op(kX, kY, kGcdTag)), "gcd(x,y)\n");
  EXPECT_EQ(Render(Closed({kX, kY, kZ}, kMaxTag)), "max(x,y,z)\n");
  EXPECT_EQ(Render(Closed({{0x00, 'f', 0x00}, kX, kY}, kCallTag)), "f(x,y)\n");
  EXPECT_EQ(Render(Closed({{0x00, 'l', 0x00}, Int(1)}, kIndexTag)), "l[1]\n");
  EXPECT_EQ(Render(Closed({Int(1), Int(2), Int(3)}, kDegreesMinutesSecondsTag)),
            "1\xB0" + "2'3\"\n"s);
  EXPECT_EQ(
      Render(Cat({Closed({{0x00, 'f', 0x00}, kX}, kCallTag), {kDerivativeTag, kDerivativeTag}})),
      "f''(x)\n");
}

TEST(RendererLists, ListsAndMatrices) {
  const Expression list = List({Int(1), NegInt(2)});
  // At the top the braces are left out and numbers use the plain minus.
  EXPECT_EQ(Render(list), "1,-2\n");
  EXPECT_EQ(Render(Op(kX, list, kAddTag)), "x+{1," + kMinus + "2}\n");
  const Expression matrix = List({List({Int(1), Int(2)}), List({Int(3), Int(4)})});
  EXPECT_EQ(Render(matrix), "[[1,2][3,4]]\n");
  EXPECT_EQ(Render(Unary(matrix, kTransposeTag)), "[[1,2][3,4]]\x99\n");
  EXPECT_EQ(Render(Op(list, Int(2), kPowerTag)), "{1," + kMinus + "2}^2\n");
}

TEST(RendererExtendedAndInstructions, Forms) {
  EXPECT_EQ(Render({0x02, kExtendedTag}), "getKey()\n");
  EXPECT_EQ(Render({0x00, 'a', 0x00, 0x2D, 0x00, 'b', 0x00, 0x2D, 0x14, 0xE3}), "\"a\"&\"b\"\n");
  EXPECT_EQ(Render(Cat({kX, {0x16, kExtendedTag}})),
            "x\x12"
            "DMS\n");
  EXPECT_EQ(Render(Cat({kX, kY, {0x35, kExtendedTag}})), "augment(x;y)\n");
  EXPECT_EQ(Render({0x1B, kExtendedTag}), "\x0E\n");
  EXPECT_EQ(Render(Cat({kX, kY, {0x26, kExtendedTag}})), "(x\x9Fy)\n");
  EXPECT_EQ(Render(Cat({kX, {0x01, kExtendedTag}})), "#x\n");
  EXPECT_EQ(Render(Op(kX, kY, kUnnamedTwoArgumentTag)),
            "_ERROR_(x,y)\n");  // a row with a kind but no name
  EXPECT_EQ(Render({0x03, kInstructionTag}), "ClrHome\n");
  EXPECT_EQ(Render(Cat({Closed({kX, kY}, 0x7A), {kInstructionTag}})), "Disp x,y\n");
  EXPECT_EQ(Render(Cat({kX, {0x3B, kInstructionTag}})), "If x Then\n");
  EXPECT_EQ(Render(Cat({kX, {0x39, kInstructionTag}})), "ElseIf x Then\n");
  EXPECT_EQ(Render({0x87, kInstructionTag}), " Else\n");
  EXPECT_EQ(Render(Cat({Closed({Closed({{0x00, 'f', 0x00}, kX}, kCallTag), kX}, 0x86),
                        {kInstructionTag}})),
            "Define f(x)=x\n");
  EXPECT_EQ(Render({0xAA, 0xBB, 0x07, 0xE4}), "Cycle\n");  // two more bytes skipped
  EXPECT_EQ(Render({0x98, kInstructionTag}), "_ERROR_\n");
}

TEST(RendererStatements, SeparatorsIndentationAndComments) {
  // The first statement is next to the end; each separator has its indentation count before it.
  EXPECT_EQ(Render(Cat({Int(3), {0x00, 0xE7}, Int(2), {0x02, 0xE8}, Int(1)})), "1\n  2:3\n");
  EXPECT_EQ(Render(Cat({{0x00, 'h', 'i', 0x00, 0x01, 0xE6}, kX})), "x \xA9hi\n");
}

TEST(RendererVariables, WholeVariableLayouts) {
  EXPECT_EQ(Render(Cat({kX, {kEndTag}, kY, {0x00, 0xDC}})), "(y)\nx\n");
  EXPECT_EQ(Render({0x00, 'a', 0x0D, 'b', 0x00, 0x08, 0xDC}), "a\nb\n");
  EXPECT_EQ(Render({0x00, 'C', 'h', 'i', 0x0D, 'P', 'x', 0x00, 0xE0}), "C:hi\nP:x\n");
  EXPECT_EQ(Render({0x01, 0xDF}), "\n");
  const Expression data =
      Cat({{0xE5, 0x2E}, {0xE5, 0x2E}, Closed({List({NegInt(1)})}, kDataVariableTag)});
  EXPECT_EQ(Render(data),
            "Data Variable:\nColumn Data\nColumn #1 ={-1}\nFormula Data\nFormula for Column #1 "
            "=\nData Column Titles\nTitle for Column #1 =\"C1\"\n");
  const Expression gdb =
      Cat({{kEndTag}, {kEndTag}, {kEndTag}, {0xE5, 0x26, 0x1C}, NegInt(10), {kGraphDatabaseTag}});
  EXPECT_EQ(Render(gdb), "Graph Database:\nRange Settings\n xmin     =" + kMinus +
                             "10\nGraph Formats\nGraph Equations\nGraph-Table Settings\n");
}

TEST(RendererBounds, NothingIsReadBeforeTheData) {
  EXPECT_EQ(Render({0x05, 0x1F}), "\x0E\n");        // count larger than the bytes before it
  EXPECT_EQ(Render({0x40, 0x00, 0x23}), "\x0E\n");  // truncated real
  EXPECT_EQ(Render({'a', 'b', 0x00}), "\x0E\n");    // name without its opening zero
  EXPECT_EQ(Render({'a', 0x00, 0x2D}), "\x0E\n");
  EXPECT_EQ(Render({0x04, 0x01, 0x09, 0x21}), "\x0E\n");
  EXPECT_EQ(Render({kAddTag}), "\x0E+\x0E\n");
  EXPECT_EQ(Render(Unary(kX, kAddTag)), "\x0E+x\n");
  EXPECT_EQ(Render({0x32}), "\x0E\n");
  EXPECT_EQ(Render(Unary(Int(1), kMaxTag)), "\x0E\n");  // argument list without its end tag
  EXPECT_EQ(Render({kExtendedTag}), "\x0E\n");
  EXPECT_EQ(Render({kInstructionTag}), "\x0E\n");
  EXPECT_EQ(Render({kCommentTag}), "\x0E\n");
}

TEST(RendererBounds, CountIsClampedToTheBytesPresent) {
  EXPECT_EQ(RenderExpression(Expression{0x00, 0x10, 0x05, 0x01, 0x1F}), "5\n");
  EXPECT_EQ(RenderExpression(Expression{0x00, 0x02, 0x05, 0x01, 0x1F}),
            "q\n");  // only 05 01 counted
  EXPECT_EQ(RenderExpression(Expression{}), "\n");
  EXPECT_EQ(RenderExpression(Expression{0x00}), "\n");
  EXPECT_EQ(RenderExpression(Expression{0x00, 0x00}), "\n");
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
  constexpr int kRounds = 100;
  constexpr int kRendersPerThread = 10;
  std::vector<int> failures(cases.size(), 0);
  // Another thread keeps taking and giving back memory meanwhile, so storage freed too early
  // during a thread's end is soon handed out again and its reuse shows.
  std::atomic<bool> done = false;
  std::thread churn([&] {
    while (!done) {
      const std::vector<std::string> texts(64, std::string(40, 'x'));
    }
  });
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < cases.size(); ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; i < kRendersPerThread; ++i) {
          if (Render(cases[t].first) != cases[t].second) ++failures[t];
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
  }
  done = true;
  churn.join();
  EXPECT_EQ(failures, std::vector<int>(cases.size(), 0));
}

TEST(TagNames, LookupsAndErrors) {
  // The last row of each sub-code table, the first sub-code past it, and rows without a name.
  EXPECT_EQ(TagName(0x32, 0), "_ERROR_");
  EXPECT_EQ(TagName(kSystemVariableTag, 0x71), "ncontour");
  EXPECT_EQ(TagName(kSystemVariableTag, 0x72), "_ERROR_");
  EXPECT_EQ(TagName(kSystemVariableTag, 0x5E), "_ERROR_");
  EXPECT_EQ(TagName(kExtendedTag, 0x35), "augment");
  EXPECT_EQ(TagName(kExtendedTag, 0x36), "_ERROR_");
  EXPECT_EQ(TagName(kInstructionTag, 0x97), "SendChat ");
  EXPECT_EQ(TagName(kInstructionTag, 0x98), "_ERROR_");
  EXPECT_EQ(TagName(kInstructionTag, 0x36), "_ERROR_");
  EXPECT_EQ(TagName(kAddTag, 0x01), "_ERROR_");  // a sub-code on a tag without sub-codes
  EXPECT_EQ(Render({0x72, kSystemVariableTag}), "_ERROR_\n");
}

}  // namespace
}  // namespace tabulex
