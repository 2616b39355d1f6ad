// Reads arbitrary bytes as KV-68 family variable data and writes the cells back as such.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/kv68/Kv68Sheet.h"
#include "tests/support/RecordingContext.h"

namespace {

using tabulex::testing::QuietContext;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QuietContext context;
  tabulex::Kv68Sheet source(context, data, size);
  source.SetVarName(std::string_view(reinterpret_cast<const char*>(data), size < 8 ? size : 8));
  source.TranslateToIntermediate();
  for (auto* node = source.Cells()->Head(); node; node = node->next) {
    (void)node->cell->Describe();
  }
  tabulex::Kv68Sheet target(context, source);
  target.TranslateFromIntermediate();
  (void)target.GetOutput();
  return 0;
}
