// Applies ordered rewrite tables in one left-to-right pass per row.
#include "converter/model/Rewrite.h"

#include <bitset>

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

// The bytes a text may hold: every byte it held at first and every byte a replacement brought
// in. A row whose search text starts with a byte outside the set cannot match, so the text need
// not be searched for it; most rows of a table are skipped that way.
class BytesPresent {
 public:
  explicit BytesPresent(std::string_view text) { Add(text); }
  void Add(std::string_view bytes) {
    for (char c : bytes) present_.set(static_cast<unsigned char>(c));
  }
  bool MayMatch(std::string_view search) const {
    return !search.empty() && present_.test(static_cast<unsigned char>(search.front()));
  }

 private:
  std::bitset<256> present_;
};

}  // namespace

std::string RewriteText(std::string_view text, std::span<const RewriteRule> rules) {
  std::string result(text);
  RewriteInPlace(result, rules);
  return result;
}

// Most texts match no row, and are then left as they are without a copy.
void RewriteInPlace(std::string& text, std::span<const RewriteRule> rules) {
  BytesPresent bytes(text);
  for (const RewriteRule& rule : rules) {
    // An empty search text changes nothing.
    if (!bytes.MayMatch(rule.search)) continue;
    if (text.find(rule.search) == std::string::npos) continue;
    text = ApplyRule(text, rule);
    bytes.Add(rule.replacement);
  }
}

}  // namespace tabulex
