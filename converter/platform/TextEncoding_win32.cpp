// Text conversion on Windows, with the system's code page functions.
#include <windows.h>

#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

namespace {

constexpr UINT kCp1252 = 1252;
constexpr char kReplacement = '?';

UINT CodePage(Charset charset) {
  return charset == Charset::kUtf8 ? CP_UTF8 : kCp1252;
}

std::wstring Wide(std::string_view bytes, Charset from) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CodePage(from), 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CodePage(from), 0, bytes.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

Transcoded TranscodeAcross(std::string_view bytes, Charset from, Charset to) {
  Transcoded result;
  const std::wstring wide = Wide(bytes, from);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    // A surrogate pair is one character.
    const int units = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
    char buffer[8];
    BOOL usedDefault = FALSE;
    const bool utf8 = to == Charset::kUtf8;
    // Without "best fit" the code page does not stand in a look-alike (O for omega).
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int written = WideCharToMultiByte(CodePage(to), flags, &wide[i], units, buffer,
                                            sizeof buffer, nullptr, utf8 ? nullptr : &usedDefault);
    if (written <= 0 || usedDefault || wide[i] == 0xFFFD) {
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
