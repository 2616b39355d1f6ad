// Escape names for special characters, looked up in table order.
#include "converter/kv68/CharacterTranslator.h"

#include <array>
#include <cstdint>

namespace tabulex {

namespace {

// Index + 1 of the first row for each code; 0 when no row has the code.
using CodeLookup = std::array<std::uint16_t, 256>;

CodeLookup BuildLookup() {
  CodeLookup lookup{};
  for (std::size_t i = CharacterTable.size(); i-- > 0;) {
    // Code 0 marks a character the set does not have; it never stands for a byte.
    const std::uint8_t code = CharacterTable[i].code;
    if (code != 0) lookup[code] = static_cast<std::uint16_t>(i + 1);
  }
  return lookup;
}

const CharacterRow* FindName(std::string_view candidate) {
  for (const CharacterRow& row : CharacterTable) {
    if (row.name == candidate) return &row;
  }
  return nullptr;
}

}  // namespace

std::string CharacterTranslator::CodesToNames(std::string_view text) const {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<std::uint8_t>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      result += c;
      continue;
    }
    static const CodeLookup kFirstRowOfCode = BuildLookup();
    const std::uint16_t row = kFirstRowOfCode[byte];
    if (row != 0) {
      result += CharacterTable[row - 1].name;
    } else {
      result += c;
    }
  }
  return result;
}

std::string CharacterTranslator::NamesToCodes(std::string_view text) const {
  std::size_t i = text.find('_');
  if (i == std::string_view::npos) return std::string(text);
  std::string result(text.substr(0, i));
  result.reserve(text.size());
  for (;;) {
    // Here text[i] is an underscore that may open an escape name.
    std::size_t j = text.find('_', i + 1);
    if (j == std::string_view::npos) {
      result += text.substr(i);
      return result;
    }
    std::string_view candidate = text.substr(i, j - i + 1);
    const CharacterRow* row = FindName(candidate);
    if (row != nullptr && row->code != 0) {
      result += static_cast<char>(row->code);
      std::size_t k = text.find('_', j + 1);
      if (k == std::string_view::npos) {
        result += text.substr(j + 1);
        return result;
      }
      result += text.substr(j + 1, k - j - 1);
      i = k;
    } else {
      // Not a name: keep it without its closing underscore, which may open the next name.
      result += text.substr(i, j - i);
      i = j;
    }
  }
}

}  // namespace tabulex
