// The per-conversion channel through which sheets and cells reach the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tabulex {

// Message box styles and answers, with the values the platform uses.
namespace message {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kYesNoCancel = 0x3;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kTaskModal = 0x2000;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace message

// Handed to every sheet and cell when it is constructed; one per conversion, so nothing the
// model reports goes through global state.
class ConversionContext {
 public:
  virtual ~ConversionContext() = default;

  // Shows the text of a 32-bit error code to the user.
  virtual void ReportErrorCode(std::uint32_t code) = 0;

  // Shows a modal message box and returns the user's answer (message::kAnswer...). A missing
  // caption means the platform's default caption; `ownerTitle` names the top-level window that
  // should own the box when one with that title exists.
  virtual int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                          std::uint32_t style,
                          std::optional<std::string_view> ownerTitle = std::nullopt) = 0;

  // Writes a progress trace; it carries no data.
  virtual void Trace(std::string_view text) = 0;

  // Reports `code` the first time it is asked for during this conversion only, for limits that
  // many cells may hit.
  void ReportErrorCodeOnce(std::uint32_t code) {
    for (std::uint32_t reported : reportedOnce_) {
      if (reported == code) return;
    }
    reportedOnce_.push_back(code);
    ReportErrorCode(code);
  }

 private:
  std::vector<std::uint32_t> reportedOnce_;
};

}  // namespace tabulex
