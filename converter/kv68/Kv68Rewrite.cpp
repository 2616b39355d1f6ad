// Applies the KV-68 family's rewrite tables together with the character translation.
#include "converter/kv68/Kv68Rewrite.h"

#include "converter/kv68/CharacterTranslator.h"

namespace tabulex {

std::string Kv68ToNeutralText(std::string_view text) {
  CharacterTranslator translator;
  std::string named = translator.CodesToNames(text);
  RewriteInPlace(named, Kv68ToNeutralTable);
  return named;
}

std::string NeutralToKv68Text(std::string_view text) {
  CharacterTranslator translator;
  return translator.NamesToCodes(RewriteText(text, NeutralToKv68Table));
}

void Kv68ToNeutral(CellData& record) {
  if (!record.formula) return;
  record.formula = Kv68ToNeutralText(*record.formula);
}

void NeutralToKv68(CellData& record) {
  if (!record.formula) return;
  record.formula = NeutralToKv68Text(*record.formula);
}

}  // namespace tabulex
