// The About box: a modeless dialog from the add-in's resources.
#pragma once

#include <windows.h>

#include <string>

#include "addin/Ui.h"

namespace tabulex::addin {

inline constexpr char kAboutTitleText[] = "Tabulex Converter Excel Plugin";
inline constexpr char kSysInfoMissing[] = "System Information Is Unavailable At This Time";

// The module that holds the add-in's code and resources.
HMODULE AddinModule();
// "Version major.minor.revision" from the module's version resource.
std::string VersionText();
// What the About box reaches while it is open; its owner keeps it alive longer than the box.
struct AboutLink {
  AddinUi* ui = nullptr;
  // Holds the box's window and is cleared when the box is destroyed.
  HWND window = nullptr;
};
// Creates the About box, not yet shown, and records it in `link`.
HWND CreateAboutBox(AboutLink& link);
// Starts the system-information program, or says it is unavailable.
void StartSysInfo(AddinUi& ui);

}  // namespace tabulex::addin
