// Message boxes of the command line: the overwrite prompt is answered by policy or on the
// terminal, every other message is kept for the command to print as one line naming the file.
#pragma once

#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "converter/driver/Components.h"

namespace tabulex::cli {

enum class OverwritePolicy { kDefault, kOverwrite, kSkip, kAsk };

class CliUserInterface : public UserInterface {
 public:
  // `interactive`: whether the prompt may be asked when the policy is kDefault.
  CliUserInterface(OverwritePolicy policy, bool interactive, std::istream& in, std::ostream& err)
      : policy_(policy), interactive_(interactive), in_(in), err_(err) {}

  int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                  std::uint32_t style, std::optional<std::string_view> ownerTitle) override;

  // Outputs written earlier by the same command: the overwrite prompt for one of them is
  // answered No whatever the policy, so that one input's output never replaces another's.
  void KeepOutputs(const std::set<std::string>* written) { keep_ = written; }
  // The path the last overwrite prompt was about, asked or answered by policy.
  const std::optional<std::string>& Prompted() const { return prompted_; }

  // How many messages have been shown.
  int Shown() const { return shown_; }
  // The texts of the messages other than prompts since the last call, oldest first.
  std::vector<std::string> TakeMessages();

 private:
  int Ask(std::string_view text, std::optional<std::string_view> caption);

  OverwritePolicy policy_;
  bool interactive_;
  std::istream& in_;
  std::ostream& err_;
  int shown_ = 0;
  std::vector<std::string> messages_;
  const std::set<std::string>* keep_ = nullptr;
  std::optional<std::string> prompted_;
};

}  // namespace tabulex::cli
