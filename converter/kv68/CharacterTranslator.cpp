// Escape names for special characters, looked up in table order.
#include "converter/kv68/CharacterTranslator.h"

namespace tabulex {

CharacterTranslator::CodeLookup CharacterTranslator::BuildLookup(
    std::span<const CharacterRow> table) {
  CodeLookup lookup{};
  for (std::size_t i = table.size(); i-- > 0;) {
    // Code 0 marks a character the set does not have; it never stands for a byte.
    const std::uint8_t code = table[i].code;
    if (code != 0) lookup[code] = static_cast<std::uint16_t>(i + 1);
  }
  return lookup;
}

CharacterTranslator::CharacterTranslator(std::span<const CharacterRow> table)
    : table_(table), firstRowOfCode_(&ownLookup_) {
  if (table_.data() == CharacterTable.data() && table_.size() == CharacterTable.size()) {
    static const CodeLookup kKv68Lookup = BuildLookup(CharacterTable);
    firstRowOfCode_ = &kKv68Lookup;
  } else {
    ownLookup_ = BuildLookup(table_);
  }
}

std::string CharacterTranslator::CodesToNames(std::string_view text) const {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<std::uint8_t>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      result += c;
      continue;
    }
    std::uint16_t row = (*firstRowOfCode_)[byte];
    if (row != 0) {
      result += table_[row - 1].name;
    } else {
      result += c;
    }
  }
  return result;
}

const CharacterRow* CharacterTranslator::FindName(std::string_view candidate) const {
  for (const CharacterRow& row : table_) {
    if (row.name == candidate) return &row;
  }
  return nullptr;
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
