// ANSI code page strings to and from UTF-16, header only, so that modules which link nothing of
// the converter (the add-in) share it with the converter's automation calls.
#pragma once

#include <windows.h>

#include <string>

namespace tabulex::win32 {

inline std::wstring Widen(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
  return wide;
}

// The first `length` characters of `wide`; empty for a null or empty string.
inline std::string Narrow(const wchar_t* wide, int length) {
  if (!wide || length <= 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, ansi.data(), size, nullptr, nullptr);
  return ansi;
}

}  // namespace tabulex::win32
