// The KV-68 family's formula dialect: rewriting between its formula text and the neutral syntax.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "converter/model/CellData.h"
#include "converter/model/Rewrite.h"

namespace tabulex {

// Calculator function names and code bytes to the neutral syntax, applied in order.
extern const std::array<RewriteRule, 18> Kv68ToNeutralTable;
// The neutral syntax to calculator function names and code bytes, applied in order.
extern const std::array<RewriteRule, 21> NeutralToKv68Table;

// Calculator text to neutral text: code bytes become escape names, then the table applies.
std::string Kv68ToNeutralText(std::string_view text);
// Neutral text to calculator text: the table applies, then escape names become code bytes.
std::string NeutralToKv68Text(std::string_view text);

// The same on a record's formula, in place; a record without a formula is left alone.
void Kv68ToNeutral(CellData& record);
void NeutralToKv68(CellData& record);

}  // namespace tabulex
