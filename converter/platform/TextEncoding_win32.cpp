// Text conversion on Windows, with the system's code page functions.
#include <windows.h>

#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

namespace {

constexpr UINT kCp1252 = 1252;
constexpr char kReplacement = '?';

constexpr std::size_t kUtf16Unit = 2;
constexpr wchar_t kNoCharacter = 0xFFFD;

UINT CodePage(Charset charset) {
  return charset == Charset::kUtf8 ? CP_UTF8 : kCp1252;
}

// Little-endian UTF-16 bytes as units; an odd last byte is no character.
std::wstring Units(std::string_view bytes) {
  std::wstring wide(bytes.size() / kUtf16Unit, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  if (bytes.size() % kUtf16Unit != 0) wide.push_back(kNoCharacter);
  return wide;
}

std::wstring Wide(std::string_view bytes, Charset from) {
  if (from == Charset::kUtf16Le) return Units(bytes);
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CodePage(from), 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CodePage(from), 0, bytes.data(), size, wide.data(), length);
  return wide;
}

// Appends `count` units as little-endian bytes, or for null the "?" that stands for a character
// the source did not hold.
void AppendUnits(Transcoded& result, const wchar_t* units, int count) {
  if (!units) {
    result.bytes.append("?\0", kUtf16Unit);
    ++result.replaced;
    return;
  }
  for (int k = 0; k < count; ++k) {
    result.bytes.push_back(static_cast<char>(units[k] & 0xFF));
    result.bytes.push_back(static_cast<char>(units[k] >> 8));
  }
}

}  // namespace

Transcoded TranscodeAcross(std::string_view bytes, Charset from, Charset to) {
  Transcoded result;
  const std::wstring wide = Wide(bytes, from);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    // A surrogate pair is one character; a surrogate without its partner is none.
    const bool pair =
        IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
    const int units = pair ? 2 : 1;
    const bool lone = !pair && (IS_HIGH_SURROGATE(wide[i]) || IS_LOW_SURROGATE(wide[i]));
    if (to == Charset::kUtf16Le) {
      AppendUnits(result, lone || wide[i] == kNoCharacter ? nullptr : &wide[i], units);
      i += static_cast<std::size_t>(units - 1);
      continue;
    }
    char buffer[8];
    BOOL usedDefault = FALSE;
    const bool utf8 = to == Charset::kUtf8;
    // Without "best fit" the code page does not stand in a look-alike (O for omega).
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int written = WideCharToMultiByte(CodePage(to), flags, &wide[i], units, buffer,
                                            sizeof buffer, nullptr, utf8 ? nullptr : &usedDefault);
    if (written <= 0 || usedDefault || lone || wide[i] == kNoCharacter) {
      result.bytes.push_back(kReplacement);
      ++result.replaced;
    } else {
      result.bytes.append(buffer, static_cast<std::size_t>(written));
    }
    i += static_cast<std::size_t>(units - 1);
  }
  return result;
}

}  // namespace tabulex::platform
