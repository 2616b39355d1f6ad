// Answers real dialogs from a helper thread, in the order a test expects them: for each step
// it waits for a visible dialog with the step's caption, types a file name when the step has
// one, records the dialog's message and presses the step's button. Any other dialog, except
// those the test names as ignored, is recorded as unexpected and cancelled, so a wrong message
// fails a test instead of blocking it. Without a display dialogs return at once, so tests
// assert that each step was seen.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tabulex::testing {

class DialogScript {
 public:
  struct Step {
    std::string caption;
    int button;
    std::string fileName = "";  // typed into a file dialog's name box when not empty
  };
  struct Seen {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
  };
  explicit DialogScript(std::vector<Step> steps = {}, std::vector<std::string> ignored = {});
  ~DialogScript() { Finish(); }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // Stops the thread; one entry per step that was answered, in order.
  const std::vector<Seen>& Answered() {
    Finish();
    return answered_;
  }
  const std::vector<Seen>& Unexpected() {
    Finish();
    return unexpected_;
  }
  // Stops the thread and returns the one dialog of a one-step script; the test fails when that
  // dialog was not seen or another one was.
  Seen Only();

 private:
  void Run();
  void Finish();
  void Handle(HWND dialog);

  std::vector<Step> steps_;
  std::vector<std::string> ignored_;
  std::vector<Seen> answered_;
  std::vector<Seen> unexpected_;
  std::vector<HWND> handled_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tabulex::testing
