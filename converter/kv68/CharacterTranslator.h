// Turns the calculator's special-character codes into escape names and back.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "converter/kv68/CharacterTable.h"

namespace tabulex {

// Made for one call over a table (the character table unless told otherwise); owns nothing
// beyond a lookup of the first row for each code.
class CharacterTranslator {
 public:
  explicit CharacterTranslator(std::span<const CharacterRow> table = CharacterTable);
  CharacterTranslator(const CharacterTranslator&) = delete;
  CharacterTranslator& operator=(const CharacterTranslator&) = delete;

  // Copies bytes 0x20-0x7E; every other byte becomes the name of the first row with that code, or
  // stays as it is when no row has it.
  std::string CodesToNames(std::string_view text) const;
  // Replaces every escape name ("_name_") whose first row has a code by that
  // code byte; unknown names, and names without a code, stay as they are.
  std::string NamesToCodes(std::string_view text) const;

 private:
  const CharacterRow* FindName(std::string_view candidate) const;

  // Index + 1 of the first row for each code; 0 when no row has the code.
  using CodeLookup = std::array<std::uint16_t, 256>;
  static CodeLookup BuildLookup(std::span<const CharacterRow> table);

  std::span<const CharacterRow> table_;
  // The character table's lookup is built once; another table gets its own.
  const CodeLookup* firstRowOfCode_;
  CodeLookup ownLookup_{};
};

}  // namespace tabulex
