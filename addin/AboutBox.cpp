// The About box and the system-information button.
#include "addin/AboutBox.h"

#include <vector>

#include "addin/Resources.h"
#include "addin/Settings.h"

namespace tabulex::addin {
namespace {

constexpr char kDisclaimer[] =
    "Warning: this program is protected by copyright law. Copying or distributing it, or any "
    "part of it, without permission may be an offence.";
constexpr char kSysInfoPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kSysInfoFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kSysInfoProgram[] = "\\MSINFO32.EXE";

void Load(HWND dialog) {
  SetWindowTextA(dialog, (std::string("About ") + kAboutTitleText).c_str());
  SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, kAboutTitleText);
  SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, VersionText().c_str());
  SetDlgItemTextA(dialog, IDC_ABOUT_DISCLAIMER, kDisclaimer);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* link = reinterpret_cast<AboutLink*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      Load(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dialog);
      } else if (LOWORD(wParam) == IDC_ABOUT_SYSINFO && link) {
        StartSysInfo(*link->ui);
      }
      return TRUE;
    case WM_NCDESTROY:
      if (link) link->window = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace

HMODULE AddinModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&AddinModule), &module);
  return module;
}

std::string VersionText() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(AddinModule(), path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return "Version";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info) {
    return "Version";
  }
  return "Version " + std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

HWND CreateAboutBox(AboutLink& link) {
  link.window = CreateDialogParamA(AddinModule(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutProc,
                                   reinterpret_cast<LPARAM>(&link));
  return link.window;
}

void StartSysInfo(AddinUi& ui) {
  std::string program;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoPathKey, "PATH", &program)) {
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoFolderKey, "MSINFO", &program)) {
      program += kSysInfoProgram;
    }
  }
  const DWORD attributes =
      program.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(program.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !ui.StartProgram("\"" + program + "\"")) {
    ui.ShowMessage(kSysInfoMissing, kSettingsTitle);
  }
}

}  // namespace tabulex::addin
