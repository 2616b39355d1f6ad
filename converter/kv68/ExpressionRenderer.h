#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tabulex {

// Renders calculator expression data as the text the calculator shows for it.
//
// `data`: a 16-bit big-endian byte count n, then n bytes of expression data (the tag of the
// outermost item last). Returns the rendered text (without the terminating NUL), ending with a
// line feed. Never reads outside `data`; a count larger than the bytes present is clamped to
// what is present. Items that cannot be read render as the byte 0x0E. Each call owns all of its
// storage, so calls may run concurrently, and nesting depth is limited only by the data size
// (no recursion).
std::string RenderExpression(std::span<const std::uint8_t> data);

// The name lookup. Sub-code 0 selects the tag table; tag 0x1C takes the system variables
// (sub-codes below 114), tag 0xE3 the extended tags (sub-codes up to 53) and tag 0xE4 the
// instructions (sub-codes up to 151). "_ERROR_" for any combination without a name.
std::string_view TagName(std::uint8_t tag, std::uint8_t subCode);

}  // namespace tabulex
