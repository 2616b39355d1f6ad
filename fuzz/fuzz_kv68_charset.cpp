// Reads arbitrary bytes as text with character names and as KV-68 family formula text, both ways.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "converter/kv68/CharacterTranslator.h"
#include "converter/kv68/Kv68Rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tabulex::CharacterTranslator translator;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string codes = translator.NamesToCodes(bytes);
  const std::string names = translator.CodesToNames(codes);
  (void)tabulex::NeutralToKv68Text(tabulex::Kv68ToNeutralText(names));
  (void)tabulex::Kv68ToNeutralText(tabulex::NeutralToKv68Text(bytes));
  return 0;
}
