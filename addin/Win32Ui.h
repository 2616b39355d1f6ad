// The add-in's real dialogs: the common file dialogs, message boxes and program start.
#pragma once

#include "addin/Ui.h"

namespace tabulex::addin {

class Win32Ui final : public AddinUi {
 public:
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool StartProgram(const std::string& commandLine) override;
};

}  // namespace tabulex::addin
