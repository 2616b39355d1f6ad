// Byte-string helpers shared by every format: the C-string part of a buffer and ASCII case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulex {

// The bytes before the first zero byte; all of them when there is none.
inline std::string_view UpToNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

inline std::string_view UpToNul(const std::string& bytes) {
  return UpToNul(std::string_view(bytes));
}

// The same for a buffer that may be null; a null buffer gives empty text.
inline std::string_view UpToNul(const std::optional<std::string>& bytes) {
  return bytes ? UpToNul(std::string_view(*bytes)) : std::string_view();
}

// Turns a to z into A to Z; every other byte, those above 0x7F included, stays.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Turns A to Z into a to z; every other byte stays.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline void AsciiToUpper(std::string& text) {
  for (char& c : text) c = AsciiUpper(c);
}

inline void AsciiToLower(std::string& text) {
  for (char& c : text) c = AsciiLower(c);
}

}  // namespace tabulex
