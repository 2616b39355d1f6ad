// Writing and reading the request and reply lines of the workbook helper.
#include "components/libreoffice/HelperProtocol.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "components/LineEscape.h"

namespace tabulex::libreoffice {

namespace {

constexpr char kSeparator = '\t';
constexpr char kErrorSeparator = ',';
// Result, error codes and failure come before the sheet names of a reply.
constexpr std::size_t kReplyFixedFields = 3;

struct OperationName {
  HelperOperation operation;
  std::string_view name;
  std::size_t arguments;
};

constexpr std::array<OperationName, 3> kOperations = {{
    {HelperOperation::kSheetNames, "sheets", 1},
    {HelperOperation::kSheetToText, "to-text", 3},
    {HelperOperation::kTextToWorkbook, "to-workbook", 2},
}};

// Adds a separator and the field after the line's first field.
void AppendField(std::string& line, std::string_view field) {
  line.push_back(kSeparator);
  components::AppendEscaped(line, field);
}

// The line's fields, unescaped; nothing when one holds a broken escape or a line break.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
  if (line.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  std::vector<std::string> fields;
  for (;;) {
    const std::size_t end = line.find(kSeparator);
    std::optional<std::string> field = components::Unescaped(line.substr(0, end));
    if (!field) return std::nullopt;
    fields.push_back(std::move(*field));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

// A decimal number that fills the whole text.
template <typename Number>
std::optional<Number> NumberIn(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string ErrorList(const std::vector<std::uint32_t>& errors) {
  std::string list;
  for (std::uint32_t code : errors) {
    if (!list.empty()) list.push_back(kErrorSeparator);
    list += std::to_string(code);
  }
  return list;
}

std::optional<std::vector<std::uint32_t>> ErrorsIn(std::string_view list) {
  std::vector<std::uint32_t> errors;
  if (list.empty()) return errors;
  for (;;) {
    const std::size_t end = list.find(kErrorSeparator);
    std::optional<std::uint32_t> code = NumberIn<std::uint32_t>(list.substr(0, end));
    if (!code) return std::nullopt;
    errors.push_back(*code);
    if (end == std::string_view::npos) return errors;
    list.remove_prefix(end + 1);
  }
}

}  // namespace

std::string RequestLine(const HelperRequest& request) {
  std::string line;
  for (const OperationName& o : kOperations) {
    if (o.operation == request.operation) line = o.name;
  }
  for (const std::string& argument : request.arguments) AppendField(line, argument);
  line.push_back('\n');
  return line;
}

std::optional<HelperRequest> ParseRequest(std::string_view line) {
  std::optional<std::vector<std::string>> fields = Fields(line);
  if (!fields) return std::nullopt;
  for (const OperationName& o : kOperations) {
    if (o.name == fields->front() && fields->size() == o.arguments + 1) {
      return HelperRequest{o.operation,
                           std::vector<std::string>(fields->begin() + 1, fields->end())};
    }
  }
  return std::nullopt;
}

std::string ReplyLine(const HelperReply& reply) {
  std::string line = std::to_string(reply.result);
  AppendField(line, ErrorList(reply.errors));
  AppendField(line, reply.failure);
  for (const std::string& name : reply.names) AppendField(line, name);
  line.push_back('\n');
  return line;
}

std::optional<HelperReply> ParseReply(std::string_view line) {
  std::optional<std::vector<std::string>> fields = Fields(line);
  if (!fields || fields->size() < kReplyFixedFields) return std::nullopt;
  std::optional<std::int32_t> result = NumberIn<std::int32_t>((*fields)[0]);
  std::optional<std::vector<std::uint32_t>> errors = ErrorsIn((*fields)[1]);
  if (!result || !errors) return std::nullopt;
  HelperReply reply{*result, std::move(*errors), std::move((*fields)[2]), {}};
  reply.names.assign(fields->begin() + kReplyFixedFields, fields->end());
  return reply;
}

}  // namespace tabulex::libreoffice
