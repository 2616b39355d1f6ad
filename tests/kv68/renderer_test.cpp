// The expression renderer against expression data worked out by hand: exact text, brackets only
// where the operator rules ask for them, and unreadable data handled.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "converter/kv68/ExpressionRenderer.h"

namespace tabulex {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The renderer's input: a big-endian count, then the expression bytes.
Bytes Counted(const Bytes& expression) {
  Bytes data = {static_cast<std::uint8_t>(expression.size() >> 8),
                static_cast<std::uint8_t>(expression.size() & 0xFF)};
  data.insert(data.end(), expression.begin(), expression.end());
  return data;
}

std::string Render(const Bytes& expression) {
  return RenderExpression(Counted(expression));
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Items in memory order.
const Bytes kX = {0x08};
const Bytes kY = {0x09};
const Bytes kZ = {0x0A};
Bytes Int(std::uint8_t v) {
  return {v, 0x01, 0x1F};
}
Bytes NegInt(std::uint8_t v) {
  return {v, 0x01, 0x20};
}
Bytes Op(Bytes left, Bytes right, std::uint8_t tag) {
  return Cat({left, right, {tag}});
}
Bytes Unary(Bytes operand, std::uint8_t tag) {
  return Cat({operand, {tag}});
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

TEST(RendererNumbers, Integers) {
  EXPECT_EQ(Render({0x05, 0x01, 0x1F}), "5\n");
  EXPECT_EQ(Render({0x00, 0x1F}), "0\n");
  EXPECT_EQ(Render({0x2C, 0x01, 0x02, 0x1F}), "300\n");  // least significant byte first
  EXPECT_EQ(Render({0x05, 0x01, 0x20}), kMinus + "5\n");
  EXPECT_EQ(Render({0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x09, 0x1F}), "18446744073709551616\n");
}

TEST(RendererNumbers, Fractions) {
  // Denominator bytes, count, numerator bytes, count, tag.
  EXPECT_EQ(Render({0x04, 0x01, 0x03, 0x01, 0x21}), "3/4\n");
  EXPECT_EQ(Render({0x04, 0x01, 0x03, 0x01, 0x22}), kMinus + "3/4\n");
}

TEST(RendererNumbers, BinaryAndHexadecimal) {
  EXPECT_EQ(Render(Cat({Int(5), {0x2B, 0xE3}})), "0b101\n");
  EXPECT_EQ(Render(Cat({Int(0xFF), {0x2C, 0xE3}})), "0hFF\n");
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
  EXPECT_EQ(RenderExpression(Bytes{0x00, 0x06, 0x00, '"', 'a', 'b', '"', 0x00, 0x2D, 0x00}),
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
  EXPECT_EQ(Render(Unary(kX, 0xF4)), "IsPrime(x)\n");
  EXPECT_EQ(Render(Unary(kX, 0xEA)), "+-x\n");
  EXPECT_EQ(Render({0x08, 0xE5}), "\x0E\n");  // not above 0xE8: an unreadable item
  EXPECT_EQ(Render({0x08, 0xE9}), "\n");
  EXPECT_EQ(Render({0x08, 0xFA}), "\n");
  EXPECT_EQ(Render({0x08, 0xEC}), "\n");
}

TEST(RendererOperators, AdditionKeepsTheStoredOrder) {
  EXPECT_EQ(Render({0x08, 0x01, 0x01, 0x1F, 0x8B}), "x+1\n");
  EXPECT_EQ(Render({0x01, 0x01, 0x1F, 0x08, 0x8B}), "1+x\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8F), 0x8B)), "x+y*z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x8B), kZ, 0x8B)), "x+y+z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8B), 0x8B)), "x+y+z\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x8C)), "x .+ y\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x85), 0x8B)), "x+(y<z)\n");
  EXPECT_EQ(Render(Op(kX, Unary(kY, 0x79), 0x8B)), "x+(not y)\n");
}

TEST(RendererOperators, Subtraction) {
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x8D), kZ, 0x8D)), "x-y-z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8D), 0x8D)), "x-(y-z)\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8B), 0x8E)), "x .- (y+z)\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8F), 0x8D)), "x-y*z\n");
}

TEST(RendererOperators, Multiplication) {
  EXPECT_EQ(Render(Op(Op(kX, Int(1), 0x8B), Int(2), 0x8F)), "(x+1)*2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), 0x8B), 0x8F)), "x*(y+1)\n");
  EXPECT_EQ(Render(Op(kX, NegInt(2), 0x8F)), "x*(" + kMinus + "2)\n");
  EXPECT_EQ(Render(Op(NegInt(2), kX, 0x8F)), kMinus + "2*x\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x91), 0x8F)), "x*(y/z)\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x91), kZ, 0x8F)), "x/y*z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x93), 0x8F)), "x*y^z\n");
}

TEST(RendererOperators, Division) {
  EXPECT_EQ(Render(Op(kX, Int(2), 0x91)), "x/2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(2), 0x93), 0x91)), "x/y^2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x8F), 0x91)), "x/(y*z)\n");
  EXPECT_EQ(Render(Op(kX, {0x26, 0x1C}, 0x91)), "x/xmin\n");
  // Anything that is not a name, letter, constant of kind 4 or 5, integer or power is bracketed.
  EXPECT_EQ(Render(Op(kX, {0x40, 0x00, 0x35, 0, 0, 0, 0, 0, 0, 0x23}, 0x91)), "x/(3.5)\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x8D), kZ, 0x92)), "(x-y) ./ z\n");
}

TEST(RendererOperators, Powers) {
  EXPECT_EQ(Render(Op(Int(2), kX, 0x93)), "2^x\n");
  EXPECT_EQ(Render(Op(NegInt(2), Int(2), 0x93)), "(" + kMinus + "2)^2\n");
  EXPECT_EQ(Render(Op(kX, NegInt(2), 0x93)), "x^" + kMinus + "2\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), 0x8B), 0x93)), "x^(y+1)\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x93), kZ, 0x93)), "(x^y)^z\n");
  EXPECT_EQ(Render(Op({0x24}, kX, 0x94)), "\x8C .^ x\n");
}

TEST(RendererOperators, ComparisonsAndLogic) {
  EXPECT_EQ(Render(Op(kX, Int(1), 0x85)), "x<1\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x86)), "x\x9Cy\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x8A)), "x\x9Dy\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x85), kZ, 0x87)), "(x<y)=z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x8B), kZ, 0x89)), "x+y>z\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x84)), "x and y\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x83), kZ, 0x84)), "(x or y) and z\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, kZ, 0x84), 0x83)), "x or y and z\n");
  EXPECT_EQ(Render(Op(Op(kX, kY, 0x85), Op(kY, kZ, 0x89), 0x82)), "x<y xor y>z\n");
}

TEST(RendererOperators, PrefixAndPostfix) {
  EXPECT_EQ(Render(Unary(kX, 0x79)), "not x\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, 0x84), 0x79)), "not (x and y)\n");
  EXPECT_EQ(Render(Unary(kX, 0x7A)), kMinus + "x\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, 0x8B), 0x7A)), kMinus + "(x+y)\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, 0x8F), 0x7A)), kMinus + "x*y\n");
  EXPECT_EQ(Render(Unary(kX, 0xEA)), "+-x\n");
  EXPECT_EQ(Render(Unary(Int(5), 0x76)), "5!\n");
  EXPECT_EQ(Render(Unary(Unary(kX, 0x76), 0x76)), "x!!\n");
  EXPECT_EQ(Render(Unary(NegInt(5), 0x76)), "(" + kMinus + "5)!\n");
  EXPECT_EQ(Render(Unary(Op(kX, Int(1), 0x8B), 0x77)), "(x+1)%\n");
}

TEST(RendererOperators, StoreWithAndTag7F) {
  EXPECT_EQ(Render(Op(kX, kY, 0x80)), "x\x16y\n");
  EXPECT_EQ(Render(Op(kX, Op(kY, Int(1), 0x85), 0x81)), "x|y<1\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x7F)), "x_ERROR_y\n");
}

TEST(RendererFunctions, CallsAndArguments) {
  EXPECT_EQ(Render(Unary(kX, 0x45)), "sin(x)\n");
  EXPECT_EQ(Render(Unary(Op(kX, kY, 0x8B), 0x53)), "ln(x+y)\n");
  EXPECT_EQ(Render(Unary({0x32}, 0x45)), "sin\x0E\n");  // a kind-0 argument: no parentheses
  EXPECT_EQ(Render(Unary(kX, 0x52)), "\x96^x\n");
  EXPECT_EQ(Render(Unary(Op(kX, Int(1), 0x8B), 0x52)), "\x96^(x+1)\n");
  EXPECT_EQ(Render(Op(kX, kY, 0xA2)), "gcd(x,y)\n");
  EXPECT_EQ(Render(Cat({{0xE5}, kX, kY, kZ, {0xD8}})), "max(x,y,z)\n");
  EXPECT_EQ(Render(Cat({{0xE5}, {0x00, 'f', 0x00}, kX, kY, {0xDA}})), "f(x,y)\n");
  EXPECT_EQ(Render(Cat({{0xE5}, {0x00, 'l', 0x00}, Int(1), {0xD5}})), "l[1]\n");
  EXPECT_EQ(Render(Cat({{0xE5}, Int(1), Int(2), Int(3), {0xCD}})),
            "1\xB0"
            "2'3\"\n");
  EXPECT_EQ(Render(Cat({{0xE5}, {0x00, 'f', 0x00}, kX, {0xDA, 0xF2, 0xF2}})), "f''(x)\n");
}

TEST(RendererLists, ListsAndMatrices) {
  const Bytes list = Cat({{0xE5}, Int(1), NegInt(2), {0xD9}});
  // At the top the braces are left out and numbers use the plain minus.
  EXPECT_EQ(Render(list), "1,-2\n");
  EXPECT_EQ(Render(Op(kX, list, 0x8B)), "x+{1," + kMinus + "2}\n");
  const Bytes matrix =
      Cat({{0xE5}, {0xE5}, Int(1), Int(2), {0xD9}, {0xE5}, Int(3), Int(4), {0xD9}, {0xD9}});
  EXPECT_EQ(Render(matrix), "[[1,2][3,4]]\n");
  EXPECT_EQ(Render(Unary(matrix, 0x75)), "[[1,2][3,4]]\x99\n");
  EXPECT_EQ(Render(Op(list, Int(2), 0x93)), "{1," + kMinus + "2}^2\n");
}

TEST(RendererExtendedAndInstructions, Forms) {
  EXPECT_EQ(Render({0x02, 0xE3}), "getKey()\n");
  EXPECT_EQ(Render({0x00, 'a', 0x00, 0x2D, 0x00, 'b', 0x00, 0x2D, 0x14, 0xE3}), "\"a\"&\"b\"\n");
  EXPECT_EQ(Render(Cat({kX, {0x16, 0xE3}})),
            "x\x12"
            "DMS\n");
  EXPECT_EQ(Render(Cat({kX, kY, {0x35, 0xE3}})), "augment(x;y)\n");
  EXPECT_EQ(Render({0x1B, 0xE3}), "\x0E\n");
  EXPECT_EQ(Render(Cat({kX, kY, {0x26, 0xE3}})), "(x\x9Fy)\n");
  EXPECT_EQ(Render(Cat({kX, {0x01, 0xE3}})), "#x\n");
  EXPECT_EQ(Render(Op(kX, kY, 0x95)), "_ERROR_(x,y)\n");  // a row with a kind but no name
  EXPECT_EQ(Render({0x03, 0xE4}), "ClrHome\n");
  EXPECT_EQ(Render(Cat({{0xE5}, kX, kY, {0x7A, 0xE4}})), "Disp x,y\n");
  EXPECT_EQ(Render(Cat({kX, {0x3B, 0xE4}})), "If x Then\n");
  EXPECT_EQ(Render(Cat({kX, {0x39, 0xE4}})), "ElseIf x Then\n");
  EXPECT_EQ(Render({0x87, 0xE4}), " Else\n");
  EXPECT_EQ(Render(Cat({{0xE5}, {0xE5}, {0x00, 'f', 0x00}, kX, {0xDA}, kX, {0x86, 0xE4}})),
            "Define f(x)=x\n");
  EXPECT_EQ(Render({0xAA, 0xBB, 0x07, 0xE4}), "Cycle\n");  // two more bytes skipped
  EXPECT_EQ(Render({0x98, 0xE4}), "_ERROR_\n");
}

TEST(RendererStatements, SeparatorsIndentationAndComments) {
  // The first statement is next to the end; each separator has its indentation count before it.
  EXPECT_EQ(Render(Cat({Int(3), {0x00, 0xE7}, Int(2), {0x02, 0xE8}, Int(1)})), "1\n  2:3\n");
  EXPECT_EQ(Render(Cat({{0x00, 'h', 'i', 0x00, 0x01, 0xE6}, kX})), "x \xA9hi\n");
}

TEST(RendererVariables, WholeVariableLayouts) {
  EXPECT_EQ(Render(Cat({kX, {0xE5}, kY, {0x00, 0xDC}})), "(y)\nx\n");
  EXPECT_EQ(Render({0x00, 'a', 0x0D, 'b', 0x00, 0x08, 0xDC}), "a\nb\n");
  EXPECT_EQ(Render({0x00, 'C', 'h', 'i', 0x0D, 'P', 'x', 0x00, 0xE0}), "C:hi\nP:x\n");
  EXPECT_EQ(Render({0x01, 0xDF}), "\n");
  const Bytes data = Cat({{0xE5, 0x2E}, {0xE5, 0x2E}, {0xE5}, {0xE5}, NegInt(1), {0xD9}, {0xDD}});
  EXPECT_EQ(Render(data),
            "Data Variable:\nColumn Data\nColumn #1 ={-1}\nFormula Data\nFormula for Column #1 "
            "=\nData Column Titles\nTitle for Column #1 =\"C1\"\n");
  const Bytes gdb = Cat({{0xE5}, {0xE5}, {0xE5}, {0xE5, 0x26, 0x1C}, NegInt(10), {0xDE}});
  EXPECT_EQ(Render(gdb), "Graph Database:\nRange Settings\n xmin     =" + kMinus +
                             "10\nGraph Formats\nGraph Equations\nGraph-Table Settings\n");
}

TEST(RendererBounds, NothingIsReadBeforeTheData) {
  EXPECT_EQ(Render({0x05, 0x1F}), "\x0E\n");        // count larger than the bytes before it
  EXPECT_EQ(Render({0x40, 0x00, 0x23}), "\x0E\n");  // truncated real
  EXPECT_EQ(Render({'a', 'b', 0x00}), "\x0E\n");    // name without its opening zero
  EXPECT_EQ(Render({'a', 0x00, 0x2D}), "\x0E\n");
  EXPECT_EQ(Render({0x04, 0x01, 0x09, 0x21}), "\x0E\n");
  EXPECT_EQ(Render({0x8B}), "\x0E+\x0E\n");
  EXPECT_EQ(Render({0x08, 0x8B}), "\x0E+x\n");
  EXPECT_EQ(Render({0x32}), "\x0E\n");
  EXPECT_EQ(Render({0x01, 0x01, 0x1F, 0xD8}), "\x0E\n");  // argument list without its end tag
  EXPECT_EQ(Render({0xE3}), "\x0E\n");
  EXPECT_EQ(Render({0xE4}), "\x0E\n");
  EXPECT_EQ(Render({0xE6}), "\x0E\n");
}

TEST(RendererBounds, CountIsClampedToTheBytesPresent) {
  EXPECT_EQ(RenderExpression(Bytes{0x00, 0x10, 0x05, 0x01, 0x1F}), "5\n");
  EXPECT_EQ(RenderExpression(Bytes{0x00, 0x02, 0x05, 0x01, 0x1F}), "q\n");  // only 05 01 counted
  EXPECT_EQ(RenderExpression(Bytes{}), "\n");
  EXPECT_EQ(RenderExpression(Bytes{0x00}), "\n");
  EXPECT_EQ(RenderExpression(Bytes{0x00, 0x00}), "\n");
}

TEST(RendererBounds, DeepNestingNeedsNoCallStack) {
  Bytes negations = kX;
  negations.resize(65000, 0x7A);
  EXPECT_EQ(Render(negations), std::string(64999, '\xAD') + "x\n");
  // x+(x+(x+...)): the deepest item is read first.
  Bytes sums(32000, 0x08);
  sums.resize(63999, 0x8B);
  std::string expected;
  for (int i = 0; i < 32000; ++i) expected += i == 0 ? "x" : "+x";
  EXPECT_EQ(Render(sums), expected + "\n");
}

TEST(RendererBounds, CallsMayOverlap) {
  // Each call owns its storage: renderings on several threads at once do not disturb each other.
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {Op(Op(kX, Int(1), 0x8B), Int(2), 0x8F), "(x+1)*2\n"},
      {{0x00, 'T', 'o', 't', 'a', 'l', 0x00, 0x2D}, "\"Total\"\n"},
      {{0x40, 0x01, 0x12, 0x50, 0, 0, 0, 0, 0, 0x23}, "12.5\n"},
      {Cat({{0xE5}, Int(1), NegInt(2), {0xD9}}), "1,-2\n"}};
  std::vector<int> failures(cases.size(), 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < cases.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) {
        if (Render(cases[t].first) != cases[t].second) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(cases.size(), 0));
}

TEST(TagNames, LookupsAndErrors) {
  EXPECT_EQ(TagName(0x8B, 0), "+");
  EXPECT_EQ(TagName(0xD9, 0), "{");
  EXPECT_EQ(TagName(0x32, 0), "_ERROR_");
  EXPECT_EQ(TagName(0x1C, 0x01), "\x9A");
  EXPECT_EQ(TagName(0x1C, 0x71), "ncontour");
  EXPECT_EQ(TagName(0x1C, 0x5E), "_ERROR_");
  EXPECT_EQ(TagName(0x1C, 0x72), "_ERROR_");
  EXPECT_EQ(TagName(0xE3, 0x35), "augment");
  EXPECT_EQ(TagName(0xE3, 0x36), "_ERROR_");
  EXPECT_EQ(TagName(0xE4, 0x97), "SendChat ");
  EXPECT_EQ(TagName(0xE4, 0x36), "_ERROR_");
  EXPECT_EQ(TagName(0xE4, 0x98), "_ERROR_");
  EXPECT_EQ(TagName(0x8B, 0x01), "_ERROR_");
  EXPECT_EQ(Render({0x72, 0x1C}), "_ERROR_\n");
}

}  // namespace
}  // namespace tabulex
