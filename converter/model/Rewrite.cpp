// Applies ordered rewrite tables in one left-to-right pass per row.
#include "converter/model/Rewrite.h"

namespace tabulex {

namespace {

// Replacing an occurrence and resuming behind the replacement never looks at the inserted bytes
// again, so one pass over the current text, copying what lies between occurrences, gives the
// same result as rebuilding the text after every replacement.
std::string ApplyRule(std::string_view text, const RewriteRule& rule) {
  if (rule.search.empty()) return std::string(text);
  std::size_t found = text.find(rule.search);
  if (found == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  while (found != std::string_view::npos) {
    result.append(text.substr(copied, found - copied));
    result.append(rule.replacement);
    copied = found + rule.search.size();
    found = text.find(rule.search, copied);
  }
  result.append(text.substr(copied));
  return result;
}

}  // namespace

std::string RewriteText(std::string_view text, std::span<const RewriteRule> rules) {
  std::string current(text);
  for (const RewriteRule& rule : rules) {
    if (current.find(rule.search) == std::string::npos) continue;
    current = ApplyRule(current, rule);
  }
  return current;
}

void RewriteInPlace(std::string& text, std::span<const RewriteRule> rules) {
  text = RewriteText(text, rules);
}

}  // namespace tabulex
