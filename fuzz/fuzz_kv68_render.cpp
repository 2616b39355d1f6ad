// Renders arbitrary bytes as counted calculator expression data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "converter/kv68/ExpressionRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = tabulex::RenderExpression(std::span<const std::uint8_t>(data, size));
  if (text.empty() || text.back() != '\n') __builtin_trap();  // every rendering ends a line
  return 0;
}
