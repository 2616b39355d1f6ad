// The add-in's real dialogs.
#include "addin/Win32Ui.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace tabulex::addin {
namespace {

constexpr DWORD kPathChars = 1024;

// The dialog wants its filter as zero-separated pairs ended by two zeros.
std::string DialogFilter(const std::string& filter) {
  std::string out = filter;
  std::replace(out.begin(), out.end(), '|', '\0');
  out += std::string(2, '\0');
  return out;
}

// The dialogs belong to the window the user is working in, when there is one.
HWND Owner() {
  return GetActiveWindow();
}

std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save) {
  const std::string filter = DialogFilter(request.filter);
  std::vector<char> path(kPathChars, '\0');
  request.fileName.copy(path.data(),
                        std::min<std::size_t>(request.fileName.size(), kPathChars - 1));
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner ? request.owner : Owner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathChars;
  dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (chosen) return std::string(path.data());
  if (const DWORD error = CommDlgExtendedError()) throw FileDialogError{error};
  return std::nullopt;
}

}  // namespace

std::optional<std::string> Win32Ui::ChooseSaveFile(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

std::optional<std::string> Win32Ui::ChooseOpenFile(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

void Win32Ui::ShowMessage(const std::string& text, const std::string& caption) {
  MessageBoxA(Owner(), text.c_str(), caption.c_str(), MB_OK);
}

bool Win32Ui::StartProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace tabulex::addin
