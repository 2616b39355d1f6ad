// The calculator's special characters and their escape names in the neutral formula syntax.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tabulex {

// One escape name (beginning and ending with "_") and its code in the KV-68 family's character
// set; a code of 0 means the set has no such character.
struct CharacterRow {
  std::string_view name;
  std::uint8_t code;
};

inline constexpr std::size_t kCharacterTableRows = 200;

// Searched in order; the first matching row wins in both directions.
extern const std::array<CharacterRow, kCharacterTableRows> CharacterTable;

}  // namespace tabulex
