// A look at a calculator file's outer wrapper before its variable data is read: the signature
// of the stated family, the size fields against the file's length, and the checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex {

struct WrapperCheck {
  // Set when the file must not be read: what is wrong with it ("not a KV-68 family spreadsheet
  // file", "file is cut short: 400 of 1,126 bytes").
  std::optional<std::string> refusal;
  // Set when the file can be read but is damaged (a checksum mismatch): a warning to show once.
  std::optional<std::string> warning;
  // Where the variable data lies within the file, as the size fields give it.
  std::size_t dataOffset = 0;
  std::size_t dataSize = 0;
};

// Checks `file` as a file of calculator type `type` (ZQ_TABULEX_52P or a KV-68 family type);
// any other type is refused.
WrapperCheck CheckWrapper(std::int32_t type, std::string_view file);

// The family of calculator files ("KV-68 family") whose signature `file` starts with; nothing
// for other bytes. Text starting so is a calculator file given the wrong type.
std::optional<std::string_view> CalculatorFamilyOf(std::string_view file);

}  // namespace tabulex
