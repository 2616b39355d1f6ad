// Row ends and terminators of the text exchanged with the office.
#include "components/libreoffice/TextExchange.h"

#include <algorithm>

namespace tabulex::libreoffice {

std::string ExchangeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  bool quoted = false;
  char previous = '\0';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // A doubled quote inside a quoted field toggles twice, so it leaves the state unchanged.
    if (c == '"') quoted = !quoted;
    if (quoted && c == '\t') {
      out.push_back(' ');
    } else if (quoted && c == '\r') {
      // CR LF inside a cell is one line break.
      if (i + 1 == text.size() || text[i + 1] != '\n') out.push_back('\n');
    } else {
      if (c == '\n' && !quoted && previous != '\r') out.push_back('\r');
      out.push_back(c);
    }
    previous = c;
  }
  return out;
}

std::size_t LastFilledColumn(std::string_view text) {
  std::size_t last = 0;
  std::size_t column = 1;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '\t') {
      ++column;
    } else if (!quoted && c == '\n') {
      column = 1;
    } else if (quoted || c != '\r') {
      last = std::max(last, column);
    }
  }
  return last;
}

std::string_view WithoutTrailingZeros(std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  return text;
}

}  // namespace tabulex::libreoffice
