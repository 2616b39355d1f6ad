// The token tables of the KV-52 Plus token streams and the rewrite tables of its formula dialect.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/model/Rewrite.h"

namespace tabulex {

// The first bytes of the two-byte tokens.
inline constexpr std::array<std::uint8_t, 10> kTokenPrefixes = {0x5C, 0x5D, 0x5E, 0x60, 0x61,
                                                                0x62, 0x63, 0x7E, 0xAA, 0xBB};

constexpr bool IsTokenPrefix(std::uint8_t byte) {
  for (std::uint8_t prefix : kTokenPrefixes) {
    if (prefix == byte) return true;
  }
  return false;
}

// The longest token text; the tokenizer compares windows of this many characters.
inline constexpr std::size_t kLongestTokenText = 20;

struct TwoByteToken {
  std::uint8_t prefix;
  std::uint8_t second;
  std::string_view text;
};

// A text the tokenizer recognises and the token it stands for: the one-byte code, or
// prefix * 256 + second byte for a two-byte token.
struct TokenCandidate {
  std::string_view text;
  std::uint16_t value;
};

// Indexed by the token byte; at most 20 characters each.
extern const std::array<std::string_view, 256> OneByteTokenTable;
// Found by comparing both bytes.
extern const std::array<TwoByteToken, 309> TwoByteTokenTable;

// Texts the tokenizer accepts besides the texts of the two tables.
extern const std::array<TokenCandidate, 34> TokenizerAliases;
// One-byte tokens whose texts the tokenizer never produces.
extern const std::array<std::uint16_t, 5> TokenizerExclusions;

// Token text to the neutral formula syntax.
extern const std::array<RewriteRule, 48> AppVarToNeutral;
// Neutral formula syntax (upper-cased) to token text.
extern const std::array<RewriteRule, 55> NeutralToAppVar;

}  // namespace tabulex
