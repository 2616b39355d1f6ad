// The lines the command and its workbook helper exchange: one request line and one reply line
// per workbook operation, fields separated by tabs, with tabs, line breaks and backslashes in
// paths, sheet names and messages written as escapes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulex::libreoffice {

// The helper's first line, once it is ready for requests.
inline constexpr std::string_view kHelperReady = "ready";

enum class HelperOperation {
  kSheetNames,      // workbook
  kSheetToText,     // workbook, text, sheet name
  kTextToWorkbook,  // text, workbook
};

struct HelperRequest {
  HelperOperation operation = HelperOperation::kSheetNames;
  std::vector<std::string> arguments;
};

// What the engine did: the operation's result, the error codes it reported in order, why it
// failed, and the sheet names of a sheet list.
struct HelperReply {
  std::int32_t result = 0;
  std::vector<std::uint32_t> errors;
  std::string failure;
  std::vector<std::string> names;
};

// Each line ends in a line feed.
std::string RequestLine(const HelperRequest& request);
std::string ReplyLine(const HelperReply& reply);
// A line without its line feed; nothing when it is not a well-formed request or reply.
std::optional<HelperRequest> ParseRequest(std::string_view line);
std::optional<HelperReply> ParseReply(std::string_view line);

}  // namespace tabulex::libreoffice
