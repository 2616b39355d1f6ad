// What the add-in's commands ask of the user and the desktop, behind one narrow interface:
// the add-in uses the real dialogs, tests answer in code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tabulex::addin {

struct FileDialogRequest {
  // The window that owns the dialog.
  HWND owner = nullptr;
  // Descriptions and patterns separated by vertical bars.
  std::string filter;
  int filterIndex = 1;
  std::string initialFolder;
  std::string fileName;
};

class AddinUi {
 public:
  virtual ~AddinUi() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) = 0;
  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // Starts a program with a normal window; false when it cannot be started.
  virtual bool StartProgram(const std::string& commandLine) = 0;
};

// A file dialog that failed for another reason than the user's cancel; carries the dialog's
// extended error code.
struct FileDialogError {
  unsigned long code;
};

}  // namespace tabulex::addin
