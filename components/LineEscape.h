// Text fields kept on one line: backslash, tab, line feed and carriage return written as
// backslash escapes, so that tabs can separate fields and a line feed end the line.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex::components {

namespace line_escape {

constexpr char kEscape = '\\';

// A character that cannot stand for itself on the line, and the letter of its escape.
struct Escape {
  char raw;
  char letter;
};

constexpr std::array<Escape, 4> kEscapes = {{
    {'\\', '\\'},
    {'\t', 't'},
    {'\n', 'n'},
    {'\r', 'r'},
}};

}  // namespace line_escape

// Appends `text` to `line` with its special characters escaped.
inline void AppendEscaped(std::string& line, std::string_view text) {
  using namespace line_escape;
  for (char c : text) {
    const auto* escape =
        std::find_if(kEscapes.begin(), kEscapes.end(), [c](const Escape& e) { return e.raw == c; });
    if (escape == kEscapes.end()) {
      line.push_back(c);
    } else {
      line.push_back(kEscape);
      line.push_back(escape->letter);
    }
  }
}

inline std::string Escaped(std::string_view text) {
  std::string line;
  AppendEscaped(line, text);
  return line;
}

// The text an escaped field stands for; nothing when an escape is cut short or unknown.
inline std::optional<std::string> Unescaped(std::string_view field) {
  using namespace line_escape;
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != kEscape) {
      text.push_back(field[i]);
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    const char letter = field[i];
    const auto* escape = std::find_if(kEscapes.begin(), kEscapes.end(),
                                      [letter](const Escape& e) { return e.letter == letter; });
    if (escape == kEscapes.end()) return std::nullopt;
    text.push_back(escape->raw);
  }
  return text;
}

}  // namespace tabulex::components
