// The calculator's special characters and their escape names in the neutral formula syntax.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tabulex {

// Character-set columns of the table. The KV-68 family uses one.
enum CharacterSet : std::size_t {
  KV68_CHARSET = 0,
};
inline constexpr std::size_t kCharacterSetCount = 1;

// One escape name (beginning and ending with "_") and its code in each character set; a code of
// 0 means the set has no such character.
struct CharacterRow {
  std::string_view name;
  std::array<std::uint8_t, kCharacterSetCount> codes;
};

inline constexpr std::size_t kCharacterTableRows = 200;

// Searched in order; the first matching row wins in both directions.
extern const std::array<CharacterRow, kCharacterTableRows> CharacterTable;

}  // namespace tabulex
