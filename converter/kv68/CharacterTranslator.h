// Turns the calculator's special-character codes into escape names and back.
#pragma once

#include <string>
#include <string_view>

#include "converter/kv68/CharacterTable.h"

namespace tabulex {

// Translates with the character table. Holds no state: the lookup of the first row for each code
// is built once and shared by every translator.
class CharacterTranslator {
 public:
  // Copies bytes 0x20-0x7E; every other byte becomes the name of the first row with that code, or
  // stays as it is when no row has it.
  std::string CodesToNames(std::string_view text) const;
  // Replaces every escape name ("_name_") whose first row has a code by that
  // code byte; unknown names, and names without a code, stay as they are.
  std::string NamesToCodes(std::string_view text) const;
};

}  // namespace tabulex
