// Ordered search-and-replace tables and the routine that applies them to a text.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tabulex {

// One row of a rewrite table. Both sides are byte strings; matching is exact and case-sensitive.
struct RewriteRule {
  std::string_view search;
  std::string_view replacement;
};

// Applies the rows of `rules` in order. Each row replaces every occurrence of its search text,
// scanning left to right and resuming just behind each inserted replacement, so a row never
// matches text it inserted itself while every later row sees all earlier insertions.
// Runs in time linear in the text for each row.
std::string RewriteText(std::string_view text, std::span<const RewriteRule> rules);

// Same as RewriteText, replacing `text` with the result.
void RewriteInPlace(std::string& text, std::span<const RewriteRule> rules);

}  // namespace tabulex
