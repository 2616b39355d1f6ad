// Message boxes through MessageBoxA.
#include "converter/platform/win32/MessageBoxUi.h"

#include <windows.h>

#include <string>

namespace tabulex::win32 {

int MessageBoxUi::ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                              std::uint32_t style, std::optional<std::string_view> ownerTitle) {
  HWND owner = nullptr;
  if (ownerTitle) owner = FindWindowA(nullptr, std::string(*ownerTitle).c_str());
  const std::string body(text);
  const std::optional<std::string> title =
      caption ? std::optional<std::string>(std::string(*caption)) : std::nullopt;
  // A null caption gives the platform's default caption.
  return MessageBoxA(owner, body.c_str(), title ? title->c_str() : nullptr, style);
}

}  // namespace tabulex::win32
