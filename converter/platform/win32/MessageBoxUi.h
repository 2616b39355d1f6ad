// The user's message boxes on Windows.
#pragma once

#include "converter/driver/Components.h"

namespace tabulex::win32 {

// Modal MessageBoxA dialogs, owned by the top-level window with the owner title when one
// exists and by no window otherwise.
class MessageBoxUi : public UserInterface {
 public:
  int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                  std::uint32_t style, std::optional<std::string_view> ownerTitle) override;
};

}  // namespace tabulex::win32
