// The host form: a window of the add-in's own that is never needed visibly. It carries the
// common file dialogs of Export and Import, which it owns, and connection shows it when the
// add-in's setting asks for it.
#pragma once

#include <windows.h>

namespace tabulex::addin {

class HostForm {
 public:
  HostForm() = default;
  ~HostForm() { Unload(); }
  HostForm(const HostForm&) = delete;
  HostForm& operator=(const HostForm&) = delete;

  // Loads the form, hidden, unless it is loaded; its window, or null when it cannot be made.
  HWND Load();
  void Show();
  void Hide();
  // Destroys the window; closing the form does the same.
  void Unload();
  HWND Window() const { return window_; }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

}  // namespace tabulex::addin
