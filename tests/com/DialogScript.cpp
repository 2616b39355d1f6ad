// Answers real dialogs from a helper thread.
#include "tests/com/DialogScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>

namespace tabulex::testing {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr auto kSettleTime = std::chrono::milliseconds(50);
constexpr auto kAnswerTimeout = std::chrono::seconds(10);
constexpr int kPollsPerPress = 50;
// The file name box of the common file dialogs: an edit box in some layouts, a combo box
// with an edit box in others.
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47C;

constexpr UINT kSendTimeoutMs = 1000;

// Read without a message: GetWindowText sends WM_GETTEXT to a window of this process, and a
// test thread that is waiting for this thread to finish would never answer it.
std::string WindowText(HWND window) {
  wchar_t wide[1024] = {};
  const int length = InternalGetWindowText(window, wide, static_cast<int>(std::size(wide)));
  char text[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, length, text, sizeof text - 1, nullptr, nullptr);
  return text;
}

// A message box's message: its static control that has text.
std::string Message(HWND dialog) {
  std::string found;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM out) -> BOOL {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string text = WindowText(child);
        if (lstrcmpiA(className, "Static") != 0 || text.empty()) return TRUE;
        *reinterpret_cast<std::string*>(out) = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> VisibleDialogs() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM out) -> BOOL {
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) &&
            process == GetCurrentProcessId()) {
          reinterpret_cast<std::vector<HWND>*>(out)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Types the file name and presses the button until the dialog goes away: a dialog that has
// just become visible may not have finished setting itself up and ignore the first press.
void Answer(HWND dialog, const DialogScript::Step& step) {
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
  while (IsWindow(dialog) && IsWindowVisible(dialog) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kSettleTime);
    // A dialog that has gone, or whose thread no longer answers, is left.
    for (int box : {kFileNameEdit, kFileNameCombo}) {
      if (HWND control = GetDlgItem(dialog, box); control && !step.fileName.empty()) {
        SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.fileName.c_str()),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
      }
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, step.button)));
    for (int i = 0; i < kPollsPerPress && IsWindow(dialog) && IsWindowVisible(dialog); ++i) {
      std::this_thread::sleep_for(kPollInterval);
    }
  }
}

}  // namespace

DialogScript::DialogScript(std::vector<Step> steps, std::vector<std::string> ignored)
    : steps_(std::move(steps)), ignored_(std::move(ignored)), thread_([this] { Run(); }) {}

void DialogScript::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

DialogScript::Seen DialogScript::Only() {
  Finish();
  EXPECT_EQ(steps_.size(), 1u) << "a script of one step";
  EXPECT_TRUE(unexpected_.empty())
      << unexpected_.front().caption << ": " << unexpected_.front().text;
  if (answered_.empty()) {
    ADD_FAILURE() << "no dialog " << (steps_.empty() ? "" : steps_.front().caption) << " seen";
    return {};
  }
  return answered_.front();
}

// Each dialog is handled once; one the test ignores is left alone.
void DialogScript::Handle(HWND dialog) {
  if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) return;
  const std::string caption = WindowText(dialog);
  if (std::find(ignored_.begin(), ignored_.end(), caption) != ignored_.end()) return;
  handled_.push_back(dialog);
  const bool expected =
      answered_.size() < steps_.size() && steps_[answered_.size()].caption == caption;
  const Step step = expected ? steps_[answered_.size()] : Step{caption, IDCANCEL};
  (expected ? answered_ : unexpected_)
      .push_back({caption, Message(dialog), GetWindow(dialog, GW_OWNER)});
  Answer(dialog, step);
}

void DialogScript::Run() {
  while (!stop_) {
    for (HWND dialog : VisibleDialogs()) Handle(dialog);
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace tabulex::testing
