#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tabulex {

// Rendering rule of a tag, the low byte of its attribute word.
using TagKind = std::uint8_t;

// One row of the tag table. The low byte of `attributes` is the tag's kind; the argument
// counts held in its other bytes are not used by the renderer and are left 0. Rows without a
// name have an empty `name`.
struct TagRow {
  std::uint32_t attributes;
  std::string_view name;

  constexpr TagKind kind() const { return static_cast<TagKind>(attributes & 0xFF); }
};

// Operand layout of an instruction that takes a comma-separated operand list closed by the end
// tag 0xE5 (any layout byte other than 0x00, 0x11, 0x22 and 0x33).
inline constexpr std::uint8_t kListOperands = 0xFF;

// One row of the instruction table: the name and its operand layout (0x00 none, 0x11 one,
// 0x22 two, 0x33 three operands, anything else a list).
struct InstructionRow {
  std::string_view name;
  std::uint8_t layout;
};

// Indexed by tag.
const std::array<TagRow, 256>& TagTable();
// Indexed by the sub-code that precedes tag 0x1C.
const std::array<std::string_view, 114>& SystemVariableTable();
// Indexed by the sub-code that precedes tag 0xE3.
const std::array<std::string_view, 54>& ExtendedTagTable();
// Indexed by the sub-code that precedes tag 0xE4.
const std::array<InstructionRow, 152>& InstructionTable();

}  // namespace tabulex
