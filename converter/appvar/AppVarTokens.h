// Conversions between calculator token streams and their readable token text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulex {

inline constexpr std::uint8_t kQuoteToken = 0x2A;
inline constexpr std::uint8_t kSpaceToken = 0x29;
inline constexpr std::uint8_t kUnknownToken = 0xAF;

struct TokenText {
  std::string text;
  // 0, or ERR_ASSEMBLY_TOKENS (the text is then empty).
  std::uint32_t status = 0;
};

// The text of every token in `tokens`. A prefix byte in the last position is read with a second
// byte of 0x00; a two-byte pair without a row reads as the one-byte text of its second byte.
// A stream whose bytes 2 and 3 are BB 6D holds machine code and gives no text.
TokenText TokensToText(std::string_view tokens);

struct TokenBytes {
  std::string bytes;
  // Set when one of the archive, assembly or memory tokens (BB 68 to BB 6C, BB CB) was emitted.
  bool systemTokens = false;
};

// Tokenises `text` up to its first zero byte: longest match within each first character's
// group, "?" (0xAF) for anything unmatched, the space token for a space or any byte of 0x80 or
// more, nothing for a line feed.
TokenBytes TextToTokens(std::string_view text);

}  // namespace tabulex
