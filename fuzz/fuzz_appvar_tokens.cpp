// Reads arbitrary bytes as a token stream and as a real, then tokenises the text read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/appvar/AppVarReal.h"
#include "converter/appvar/AppVarTokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tabulex::TokenText text = tabulex::TokensToText(bytes);
  (void)tabulex::TextToTokens(text.text);
  (void)tabulex::TextToTokens(bytes);
  (void)tabulex::TextToReal(tabulex::RealToText(bytes.substr(0, tabulex::kRealSize)));
  return 0;
}
