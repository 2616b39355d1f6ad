// Support for the add-in's tests under Wine: the registered servers, a host stand-in to connect
// to, scripted answers for the add-in's dialogs, and reading the menu the add-in built.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/Automation.h"
#include "addin/ComRef.h"
#include "addin/Connect.h"
#include "addin/Ui.h"
#include "tests/com/ComTestSupport.h"
#include "tests/support/TempFolder.h"

namespace tabulex::testing {

using addin::Object;
using addin::Variant;

// Answers the add-in's dialogs from a script and records what it was asked.
class ScriptedUi final : public addin::AddinUi {
 public:
  // One answer per file dialog, in order; nothing stands for Cancel.
  std::deque<std::optional<std::string>> answers;
  std::vector<addin::FileDialogRequest> saveRequests, openRequests;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  std::vector<std::string> started;

  std::optional<std::string> ChooseSaveFile(const addin::FileDialogRequest& request) override {
    return Next(saveRequests, request);
  }
  std::optional<std::string> ChooseOpenFile(const addin::FileDialogRequest& request) override {
    return Next(openRequests, request);
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages.emplace_back(text, caption);
  }
  bool StartProgram(const std::string& commandLine) override {
    started.push_back(commandLine);
    return true;
  }

 private:
  std::optional<std::string> Next(std::vector<addin::FileDialogRequest>& requests,
                                  const addin::FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
      ADD_FAILURE() << "a file dialog nobody expected";
      return std::nullopt;
    }
    std::optional<std::string> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

// The error-text component's text for a code, as the add-in shows it.
std::string ErrorText(HRESULT code);

// A new host stand-in application, created by the host's ProgID; with a member name, an
// application in which that member raises the host's error.
Object NewHost(const wchar_t* failingMember = nullptr);

// The control the host finds for a tag, or an empty object.
inline Object FindControl(const Object& application, const std::string& tag) {
  const Variant wanted(tag);
  return Object::From(
      application.GetObject(L"CommandBars").Call(L"FindControl", {}, {{L"Tag", wanted}}),
      L"FindControl");
}
inline std::string Text(const Object& object, const wchar_t* property) {
  return object.GetValue(property).Text();
}
inline long Number(const Object& object, const wchar_t* property) {
  return object.GetValue(property).Get().lVal;
}

// Clicks a control as the user does: through the host's Execute.
inline void Click(const Object& application, const std::string& tag) {
  const Object control = FindControl(application, tag);
  ASSERT_TRUE(control) << tag;
  control.Call(L"Execute");
}

// The calculator the device-link stand-in finds "connected" when it is created: its model, the
// folder that receives what is sent, and whether a search finds it (or only the user's choice).
void ConnectCalculator(const std::string& model, const std::string& folder, bool detectable = true);
void DisconnectCalculator();

// A test with a host, an add-in object answering through a script, and a folder of its own.
class AddinTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Connect(LONG mode = addin::kConnectAfterStartup) {
    ASSERT_EQ(connect_->OnConnection(host_.Get(), mode, nullptr, nullptr), S_OK);
  }
  void Disconnect() { ASSERT_EQ(connect_->OnDisconnection(0, nullptr), S_OK); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  // Opens a workbook of one worksheet in the host; it becomes the active workbook.
  Object OpenSheet(const std::string& name, const std::vector<std::string>& cells);

  TempFolder temp_;
  const std::filesystem::path& folder_ = temp_.Root();
  Object host_;
  ScriptedUi* ui_ = nullptr;
  addin::ComRef<addin::Connect> connect_;
};

}  // namespace tabulex::testing
