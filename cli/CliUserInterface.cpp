// Message boxes on a terminal.
#include "cli/CliUserInterface.h"

#include <istream>
#include <ostream>
#include <string>
#include <utility>

#include "converter/model/ConversionContext.h"

namespace tabulex::cli {

namespace {

constexpr std::uint32_t kButtonMask = 0xF;

void Print(std::ostream& err, std::string_view text, std::optional<std::string_view> caption) {
  if (caption) err << *caption << ": ";
  err << text;
  if (text.empty() || text.back() != '\n') err << '\n';
  err.flush();
}

}  // namespace

int CliUserInterface::ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                                  std::uint32_t style, std::optional<std::string_view>) {
  ++shown_;
  if ((style & kButtonMask) != message::kYesNoCancel) {
    std::string line = caption ? std::string(*caption) + ": " : std::string();
    line += text;
    messages_.push_back(std::move(line));
    return message::kAnswerOk;
  }
  if (caption) prompted_ = std::string(*caption);
  if (keep_ && caption && keep_->contains(*prompted_)) return message::kAnswerNo;
  switch (policy_) {
    case OverwritePolicy::kOverwrite:
      return message::kAnswerYes;
    case OverwritePolicy::kSkip:
      return message::kAnswerNo;
    case OverwritePolicy::kAsk:
      return Ask(text, caption);
    case OverwritePolicy::kDefault:
      break;
  }
  return interactive_ ? Ask(text, caption) : message::kAnswerNo;
}

std::vector<std::string> CliUserInterface::TakeMessages() {
  return std::exchange(messages_, {});
}

int CliUserInterface::Ask(std::string_view text, std::optional<std::string_view> caption) {
  Print(err_, text, caption);
  for (;;) {
    err_ << "[y]es, [n]o, [c]ancel? ";
    err_.flush();
    std::string answer;
    if (!std::getline(in_, answer)) return message::kAnswerCancel;
    if (answer == "y" || answer == "Y" || answer == "yes") return message::kAnswerYes;
    if (answer == "n" || answer == "N" || answer == "no") return message::kAnswerNo;
    if (answer == "c" || answer == "C" || answer == "cancel") return message::kAnswerCancel;
  }
}

}  // namespace tabulex::cli
