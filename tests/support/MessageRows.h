// The messages a scripted user interface saw as rows of every field (text, caption, style and the
// owning window's title), so that one assertion checks them all.
#pragma once

#include <tuple>

#include "tests/support/RecordingContext.h"

namespace tabulex::testing {

using MessageRow =
    std::tuple<std::string, std::optional<std::string>, std::uint32_t, std::optional<std::string>>;
using MessageRows = std::vector<MessageRow>;

inline MessageRows Shown(const MessageScript& script) {
  MessageRows rows;
  for (const RecordedMessage& m : script.messages) {
    rows.emplace_back(m.text, m.caption, m.style, m.ownerTitle);
  }
  return rows;
}

}  // namespace tabulex::testing
