// Conversion contexts for tests: one records what the model reports and answers message boxes
// from a script, the other discards everything.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "converter/model/ConversionContext.h"

namespace tabulex::testing {

struct RecordedMessage {
  std::string text;
  std::optional<std::string> caption;
  std::uint32_t style = 0;
  std::optional<std::string> ownerTitle;
};

// Records every message box shown and answers it from a script; OK once the script is used up.
class MessageScript {
 public:
  int Answer(std::string_view text, std::optional<std::string_view> caption, std::uint32_t style,
             std::optional<std::string_view> ownerTitle) {
    RecordedMessage m{std::string(text), std::nullopt, style, std::nullopt};
    if (caption) m.caption = std::string(*caption);
    if (ownerTitle) m.ownerTitle = std::string(*ownerTitle);
    messages.push_back(m);
    if (answers.empty()) return message::kAnswerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : messages) texts.push_back(m.text);
    return texts;
  }

  std::vector<RecordedMessage> messages;
  std::deque<int> answers;
};

class RecordingContext : public ConversionContext, public MessageScript {
 public:
  void ReportErrorCode(std::uint32_t code) override { errors.push_back(code); }

  int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                  std::uint32_t style, std::optional<std::string_view> ownerTitle) override {
    return Answer(text, caption, style, ownerTitle);
  }

  void Trace(std::string_view text) override { traces.append(text); }

  void CellLeftOut(int row, int column) override { leftOut.push_back({row, column}); }
  void CellCut(int row, int column) override { cut.push_back({row, column}); }

  std::vector<std::uint32_t> errors;
  std::vector<std::pair<int, int>> leftOut;
  std::vector<std::pair<int, int>> cut;
  std::string traces;
};

// A context that discards everything: for fuzz targets and benchmarks. Its arena keeps what
// every conversion made through it until the context goes, so make one per conversion.
class QuietContext : public ConversionContext {
 public:
  using ConversionContext::ConversionContext;

  void ReportErrorCode(std::uint32_t) override {}
  int ShowMessage(std::string_view, std::optional<std::string_view>, std::uint32_t,
                  std::optional<std::string_view>) override {
    return message::kAnswerOk;
  }
  void Trace(std::string_view) override {}
};

}  // namespace tabulex::testing
