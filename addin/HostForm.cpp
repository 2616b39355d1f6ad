// The host form.
#include "addin/HostForm.h"

#include "addin/AboutBox.h"
#include "addin/Resources.h"

namespace tabulex::addin {

HWND HostForm::Load() {
  if (!window_) {
    window_ = CreateDialogParamA(AddinModule(), MAKEINTRESOURCEA(IDD_HOST_FORM), nullptr, Proc,
                                 reinterpret_cast<LPARAM>(this));
  }
  return window_;
}

void HostForm::Show() {
  if (HWND window = Load()) ShowWindow(window, SW_SHOW);
}

void HostForm::Hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

void HostForm::Unload() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

// The form has no behaviour of its own: closing it unloads it, as closing any form does.
INT_PTR CALLBACK HostForm::Proc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  auto* form = reinterpret_cast<HostForm*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_NCDESTROY:
      if (form) form->window_ = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace tabulex::addin
