// Registration, registry reads and the dialog-answering thread of the COM tests.
#include "tests/com/ComTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tabulex::testing {

namespace {

constexpr DWORD kRegsvr32Timeout = 60000;
constexpr auto kDialogTimeout = std::chrono::seconds(20);
constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::string ProgramFolder() {
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, length);
  return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

// The message of a message box: the text of its static control that has text (the icon's
// static control has none).
std::string DialogText(HWND dialog) {
  std::string found;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM out) -> BOOL {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        std::string text = WindowText(child);
        if (lstrcmpiA(className, "Static") == 0 && !text.empty()) {
          *reinterpret_cast<std::string*>(out) = text;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

std::string ServerPath(const char* dll) {
  return ProgramFolder() + dll;
}

DWORD Regsvr32(const char* dll, bool unregister) {
  std::string command =
      std::string("regsvr32.exe ") + (unregister ? "/u " : "") + "/s \"" + ServerPath(dll) + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, kRegsvr32Timeout);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::optional<std::string> ClassesValue(const std::string& key, const std::string& name) {
  char buffer[1024];
  DWORD size = sizeof buffer;
  const LONG status =
      RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name.empty() ? nullptr : name.c_str(),
                   RRF_RT_REG_SZ, nullptr, buffer, &size);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::string(buffer);
}

bool ClassesKeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

Unregistered::Unregistered(const char* dll) : dll_(dll) {
  EXPECT_EQ(Regsvr32(dll_, true), 0u) << dll_;
}

Unregistered::~Unregistered() {
  EXPECT_EQ(Regsvr32(dll_), 0u) << dll_;
}

DialogAnswerer::DialogAnswerer(std::vector<Expected> expected)
    : expected_(std::move(expected)), seen_(expected_.size()), thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() {
  Finish();
}

void DialogAnswerer::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

const std::vector<SeenDialog>& DialogAnswerer::Seen() {
  Finish();
  return seen_;
}

const std::vector<SeenDialog>& DialogAnswerer::Unexpected() {
  Finish();
  return unexpected_;
}

namespace {

HWND VisibleDialog(const char* caption) {
  HWND dialog = FindWindowA("#32770", caption);
  return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

// Reads the dialog, presses the button and waits until the dialog is gone.
SeenDialog Answer(HWND dialog, int button) {
  SeenDialog seen{WindowText(dialog), DialogText(dialog), GetWindow(dialog, GW_OWNER), true};
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  const auto deadline = std::chrono::steady_clock::now() + kDialogTimeout;
  while (IsWindow(dialog) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPollInterval);
  }
  return seen;
}

}  // namespace

void DialogAnswerer::Run() {
  for (std::size_t i = 0; i < expected_.size(); ++i) {
    const auto deadline = std::chrono::steady_clock::now() + kDialogTimeout;
    HWND dialog = nullptr;
    while (!(dialog = VisibleDialog(expected_[i].caption.c_str()))) {
      if (std::chrono::steady_clock::now() >= deadline) break;
      // Something else may be in the way of the expected dialog.
      HWND other = VisibleDialog(nullptr);
      if (other && WindowText(other) != expected_[i].caption) {
        unexpected_.push_back(Answer(other, IDCANCEL));
      }
      std::this_thread::sleep_for(kPollInterval);
    }
    if (dialog) seen_[i] = Answer(dialog, expected_[i].button);
  }
  while (!stop_) {
    if (HWND other = VisibleDialog(nullptr)) unexpected_.push_back(Answer(other, IDCANCEL));
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace tabulex::testing
