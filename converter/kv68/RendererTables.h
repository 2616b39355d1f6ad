// Tag kinds, tag names and the name tables of the calculator expression renderer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tabulex {

// Rendering rule of a tag. The renderer handles most kinds as ranges (the one-argument
// functions, the operator groups, the argument-list functions), so the order of the values
// matters; kinds no row uses still bound those ranges.
enum class TagKind : std::uint8_t {
  kUnused = 0x00,
  kName = 0x01,          // a variable name between zero bytes
  kLetter = 0x02,        // one-letter variables
  kLetterPrefix = 0x03,  // the next byte is a one-letter tag
  kSystemVariable = 0x04,
  kArbitrary = 0x05,  // @ and @n with a number byte
  kInteger = 0x06,
  kFraction = 0x07,
  kReal = 0x08,
  kConstant = 0x09,  // first of the named values
  kImaginary = 0x0A,
  kSpecialValue = 0x0B,  // infinities and undef
  kBoolean = 0x0C,
  kString = 0x0D,
  kReservedValue = 0x0E,      // last of the named values
  kInverseHyperbolic = 0x0F,  // first of the one-argument functions
  kHyperbolic = 0x10,
  kInverseTrig = 0x11,
  kReservedFunction = 0x12,
  kTrig = 0x13,
  kUnnamedFunction = 0x14,
  kExponential = 0x15,
  kFunction = 0x16,
  kTransform = 0x17,  // last of the one-argument functions
  kUnaryOperator = 0x18,
  kStoreWith = 0x19,  // first of the binary operator groups
  kLogic = 0x1A,
  kComparison = 0x1B,
  kAdditive = 0x1C,
  kMultiplicative = 0x1D,
  kPower = 0x1E,   // last of the binary operator groups
  kSolver = 0x1F,  // first of the two-argument functions
  kTwoArguments = 0x20,
  kExpressionAndVariable = 0x21,  // last of the two-argument functions
  kThreeArguments = 0x22,         // first of the argument-list functions
  kFourArguments = 0x23,
  kArcLength = 0x24,
  kIntegral = 0x25,
  kOptionalArguments = 0x26,
  kBracketList = 0x27,  // last of the argument-list functions
  kVariable = 0x28,     // whole-variable tags
  kSeparator = 0x2B,
};

// Tags the renderer treats by name, in tag order.
inline constexpr std::uint8_t kNameTag = 0x00;
inline constexpr std::uint8_t kLetterQTag = 0x01;  // 0x01 to 0x0A: q to z
inline constexpr std::uint8_t kLetterZTag = 0x0A;
inline constexpr std::uint8_t kLetterATag = 0x0B;  // 0x0B to 0x1A: a to p
inline constexpr std::uint8_t kLetterPTag = 0x1A;
inline constexpr std::uint8_t kSystemVariableTag = 0x1C;
inline constexpr std::uint8_t kArbitraryTag = 0x1D;
inline constexpr std::uint8_t kArbitraryIntegerTag = 0x1E;
inline constexpr std::uint8_t kIntegerTag = 0x1F;
inline constexpr std::uint8_t kNegativeIntegerTag = 0x20;
inline constexpr std::uint8_t kFractionTag = 0x21;
inline constexpr std::uint8_t kNegativeFractionTag = 0x22;
inline constexpr std::uint8_t kStringTag = 0x2D;
inline constexpr std::uint8_t kNothingTag = 0x2E;
inline constexpr std::uint8_t kExpTag = 0x52;  // e to the power
inline constexpr std::uint8_t kTransposeTag = 0x75;
inline constexpr std::uint8_t kFactorialTag = 0x76;
inline constexpr std::uint8_t kPercentTag = 0x77;
inline constexpr std::uint8_t kRadianTag = 0x78;
inline constexpr std::uint8_t kNotTag = 0x79;
inline constexpr std::uint8_t kNegateTag = 0x7A;
inline constexpr std::uint8_t kMatrixForm2Tag = 0x7B;  // "[[" two parts "]]"
inline constexpr std::uint8_t kMatrixForm3Tag = 0x7C;  // "[[" three parts "]]"
inline constexpr std::uint8_t kMatrixForm3AltTag = 0x7D;
inline constexpr std::uint8_t kParenthesesTag = 0x7E;
inline constexpr std::uint8_t kJoinTag = 0x7F;  // an unnamed operator joining its operands
inline constexpr std::uint8_t kStoreTag = 0x80;
inline constexpr std::uint8_t kWithTag = 0x81;
inline constexpr std::uint8_t kXorTag = 0x82;
inline constexpr std::uint8_t kOrTag = 0x83;
inline constexpr std::uint8_t kAndTag = 0x84;
inline constexpr std::uint8_t kLessTag = 0x85;
inline constexpr std::uint8_t kLessEqualTag = 0x86;
inline constexpr std::uint8_t kEqualTag = 0x87;
inline constexpr std::uint8_t kGreaterEqualTag = 0x88;
inline constexpr std::uint8_t kGreaterTag = 0x89;
inline constexpr std::uint8_t kNotEqualTag = 0x8A;
inline constexpr std::uint8_t kAddTag = 0x8B;
inline constexpr std::uint8_t kDotAddTag = 0x8C;
inline constexpr std::uint8_t kSubtractTag = 0x8D;
inline constexpr std::uint8_t kDotSubtractTag = 0x8E;
inline constexpr std::uint8_t kMultiplyTag = 0x8F;
inline constexpr std::uint8_t kDotMultiplyTag = 0x90;
inline constexpr std::uint8_t kDivideTag = 0x91;
inline constexpr std::uint8_t kDotDivideTag = 0x92;
inline constexpr std::uint8_t kPowerTag = 0x93;
inline constexpr std::uint8_t kDotPowerTag = 0x94;
inline constexpr std::uint8_t kDegreesMinutesSecondsTag = 0xCD;
inline constexpr std::uint8_t kIndexTag = 0xD5;
inline constexpr std::uint8_t kMaxTag = 0xD8;
inline constexpr std::uint8_t kListTag = 0xD9;
inline constexpr std::uint8_t kCallTag = 0xDA;  // a user function call
inline constexpr std::uint8_t kFunctionTag = 0xDC;
inline constexpr std::uint8_t kDataVariableTag = 0xDD;
inline constexpr std::uint8_t kGraphDatabaseTag = 0xDE;
inline constexpr std::uint8_t kTextVariableTag = 0xE0;
inline constexpr std::uint8_t kLastVariableTag = 0xE2;
inline constexpr std::uint8_t kExtendedTag = 0xE3;
inline constexpr std::uint8_t kInstructionTag = 0xE4;
inline constexpr std::uint8_t kEndTag = 0xE5;  // closes an argument or item list
inline constexpr std::uint8_t kCommentTag = 0xE6;
inline constexpr std::uint8_t kColonTag = 0xE7;
inline constexpr std::uint8_t kLineTag = 0xE8;
inline constexpr std::uint8_t kStopMark = 0xE9;
inline constexpr std::uint8_t kPlusMinusTag = 0xEA;
inline constexpr std::uint8_t kPlusMinusInfixTag = 0xEB;
inline constexpr std::uint8_t kPrimeTag = 0xEF;
inline constexpr std::uint8_t kLetterPrefixTag = 0xF0;
inline constexpr std::uint8_t kDerivativeTag = 0xF2;

// One row of the tag table: the tag's kind and its name (empty for rows without one). The
// argument counts the calculator keeps beside the kind are not used by the renderer.
struct TagRow {
  TagKind kind;
  std::string_view name;
};

// Operand layout of an instruction that takes a comma-separated operand list closed by the end
// tag (any layout byte other than 0x00, 0x11, 0x22 and 0x33).
inline constexpr std::uint8_t kNoOperands = 0x00;
inline constexpr std::uint8_t kOneOperand = 0x11;
inline constexpr std::uint8_t kTwoOperands = 0x22;
inline constexpr std::uint8_t kThreeOperands = 0x33;
inline constexpr std::uint8_t kListOperands = 0xFF;

// One row of the instruction table: the name and its operand layout.
struct InstructionRow {
  std::string_view name;
  std::uint8_t layout;
};

// Indexed by tag.
extern const std::array<TagRow, 256> TagTable;
// Indexed by the sub-code that precedes tag 0x1C.
extern const std::array<std::string_view, 114> SystemVariableTable;
// Indexed by the sub-code that precedes tag 0xE3.
extern const std::array<std::string_view, 54> ExtendedTagTable;
// Indexed by the sub-code that precedes tag 0xE4.
extern const std::array<InstructionRow, 152> InstructionTable;

}  // namespace tabulex
