// Token streams to text and back, and the tokenizer's candidate groups.
#include "converter/appvar/AppVarTokens.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "converter/appvar/AppVarTokenTables.h"
#include "converter/model/ByteStream.h"
#include "converter/model/CString.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

namespace {

constexpr std::size_t kWindow = kLongestTokenText;
constexpr std::size_t kGroups = 128;

// The rows of TwoByteTokenTable indexed by both bytes, so that reading a stream does not search
// the table once per token.
class TwoByteIndex {
 public:
  TwoByteIndex() {
    rows_.fill(-1);
    for (std::size_t i = 0; i < TwoByteTokenTable.size(); ++i) {
      const TwoByteToken& row = TwoByteTokenTable[i];
      rows_[static_cast<std::size_t>(row.prefix) << 8 | row.second] = static_cast<std::int16_t>(i);
    }
  }

  // The row's text, or the one-byte text of `second` when the pair has no row.
  std::string_view Text(std::uint8_t prefix, std::uint8_t second) const {
    const std::int16_t row = rows_[static_cast<std::size_t>(prefix) << 8 | second];
    if (row < 0) return OneByteTokenTable[second];
    return TwoByteTokenTable[static_cast<std::size_t>(row)].text;
  }

 private:
  std::array<std::int16_t, 0x10000> rows_{};
};

std::string_view TwoByteText(std::uint8_t prefix, std::uint8_t second) {
  static const TwoByteIndex index;
  return index.Text(prefix, second);
}

// The candidates grouped by first character, longer texts first within each group; texts of
// equal length keep the order of the tables (one-byte, two-byte, aliases).
class TokenizerTable {
 public:
  TokenizerTable() {
    for (std::size_t code = 0; code < OneByteTokenTable.size(); ++code) {
      const auto value = static_cast<std::uint16_t>(code);
      if (OneByteTokenTable[code].empty()) continue;
      if (std::find(TokenizerExclusions.begin(), TokenizerExclusions.end(), value) !=
          TokenizerExclusions.end()) {
        continue;
      }
      candidates_.push_back({OneByteTokenTable[code], value});
    }
    for (const TwoByteToken& row : TwoByteTokenTable) {
      if (row.text.empty()) continue;
      candidates_.push_back({row.text, static_cast<std::uint16_t>(row.prefix << 8 | row.second)});
    }
    candidates_.insert(candidates_.end(), TokenizerAliases.begin(), TokenizerAliases.end());
    // Texts starting with a byte of 0x80 or more could never be reached; the tables have none.
    std::erase_if(candidates_, [](const TokenCandidate& c) {
      return static_cast<std::uint8_t>(c.text.front()) >= kGroups;
    });
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [](const TokenCandidate& a, const TokenCandidate& b) {
                       const auto firstA = static_cast<std::uint8_t>(a.text.front());
                       const auto firstB = static_cast<std::uint8_t>(b.text.front());
                       if (firstA != firstB) return firstA < firstB;
                       return a.text.size() > b.text.size();
                     });
    std::size_t index = 0;
    for (std::size_t group = 0; group <= kGroups; ++group) {
      while (index < candidates_.size() &&
             static_cast<std::uint8_t>(candidates_[index].text.front()) < group) {
        ++index;
      }
      start_[group] = index;
    }
  }

  // The candidates whose text begins with `first` (empty for bytes of 0x80 or more).
  std::span<const TokenCandidate> Group(std::uint8_t first) const {
    if (first >= kGroups) return {};
    return std::span<const TokenCandidate>(candidates_)
        .subspan(start_[first], start_[first + 1] - start_[first]);
  }

 private:
  std::vector<TokenCandidate> candidates_;
  std::array<std::size_t, kGroups + 1> start_{};
};

const TokenizerTable& Tokenizer() {
  static const TokenizerTable table;
  return table;
}

bool IsSystemToken(std::uint16_t value) {
  return (value >= 0xBB68 && value <= 0xBB6C) || value == 0xBBCB;
}

}  // namespace

TokenText TokensToText(std::string_view tokens) {
  TokenText result;
  if (tokens.size() >= 4 && static_cast<std::uint8_t>(tokens[2]) == 0xBB &&
      static_cast<std::uint8_t>(tokens[3]) == 0x6D) {
    result.status = ERR_ASSEMBLY_TOKENS;
    return result;
  }
  InputStream in = InputStream::Over(tokens);
  while (const std::optional<std::uint8_t> byte = in.Get()) {
    if (IsTokenPrefix(*byte)) {
      // A prefix at the very end reads as followed by a zero byte.
      result.text.append(TwoByteText(*byte, in.Get().value_or(0)));
    } else {
      result.text.append(OneByteTokenTable[*byte]);
    }
  }
  return result;
}

TokenBytes TextToTokens(std::string_view text) {
  text = UpToNul(text);
  const TokenizerTable& table = Tokenizer();
  TokenBytes result;
  std::size_t p = 0;
  while (p < text.size()) {
    const auto c = static_cast<std::uint8_t>(text[p]);
    if (c == ' ' || c >= 0x80) {
      result.bytes.push_back(static_cast<char>(kSpaceToken));
      ++p;
      continue;
    }
    if (c == '\n') {
      ++p;
      continue;
    }
    const std::string_view window = text.substr(p, kWindow);
    const TokenCandidate* match = nullptr;
    for (const TokenCandidate& candidate : table.Group(c)) {
      // Every candidate of the group shares the first character; the second rules most out.
      if (candidate.text.size() > 1 && (window.size() < 2 || window[1] != candidate.text[1])) {
        continue;
      }
      if (window.starts_with(candidate.text)) {
        match = &candidate;
        break;
      }
    }
    if (match == nullptr) {
      result.bytes.push_back(static_cast<char>(kUnknownToken));
      ++p;
      continue;
    }
    if (match->value > 0xFF) result.bytes.push_back(static_cast<char>(match->value >> 8));
    result.bytes.push_back(static_cast<char>(match->value & 0xFF));
    if (IsSystemToken(match->value)) result.systemTokens = true;
    p += match->text.size();
  }
  return result;
}

}  // namespace tabulex
