// The command's side of the workbook helper: start it, send one request line per operation,
// and pass on what the engine in the helper reported, unchanged.
#include "components/libreoffice/OfficeHelperEngine.h"

#include <chrono>
#include <sstream>

#include "converter/model/ConversionContext.h"

namespace tabulex::libreoffice {

namespace {

// The helper ends its office before it ends itself, which the office may take seconds for.
constexpr std::chrono::milliseconds kHelperEndWait{30000};

// The last line the helper wrote to its standard error, which says why it ended (the system's
// loader, for example, names a library it could not find).
std::string LastWords(std::string errors) {
  const std::size_t end = errors.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return std::string();
  errors.erase(end + 1);
  const std::size_t start = errors.find_last_of("\r\n");
  return start == std::string::npos ? errors : errors.substr(start + 1);
}

// Why the helper stopped: its last words, else its exit status.
std::string EndOf(platform::PipedChild& helper) {
  const std::string words = LastWords(helper.Errors());
  const int status = helper.Finish(kHelperEndWait);
  return words.empty() ? "it ended with status " + std::to_string(status) : words;
}

}  // namespace

OfficeHelperEngine::OfficeHelperEngine(std::vector<std::string> command,
                                       std::chrono::milliseconds replyLimit)
    : command_(std::move(command)), replyLimit_(replyLimit) {}

OfficeHelperEngine::~OfficeHelperEngine() = default;

std::optional<int> OfficeHelperEngine::HelperProcessId() const {
  return helper_ ? std::optional<int>(helper_->ProcessId()) : std::nullopt;
}

bool OfficeHelperEngine::EnsureStarted(ConversionContext& context) {
  lastFailure_.clear();
  if (helper_ && helper_->Running()) return true;
  const std::string& program = command_.front();
  std::string why;
  helper_ = platform::PipedChild::Start(command_, why);
  if (!helper_) {
    lastFailure_ = "cannot run the workbook helper " + program + ": " + why;
  } else if (const std::optional<std::string> first = helper_->ReadLine(replyLimit_);
             first != kHelperReady) {
    if (helper_->TimedOut()) {
      EndSilentHelper("the workbook helper " + program + " did not start");
    } else {
      // A program that says something else is not the helper: it is not waited for.
      if (first) helper_->Finish(std::chrono::milliseconds(0));
      lastFailure_ = "the workbook helper " + program + " did not start: " + EndOf(*helper_);
    }
    helper_.reset();
  }
  if (helper_) return true;
  context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
  return false;
}

std::optional<HelperReply> OfficeHelperEngine::Ask(ConversionContext& context,
                                                   const HelperRequest& request,
                                                   const std::string& path) {
  // A helper that died refuses the request; reading on collects its last words.
  helper_->Send(RequestLine(request));
  const std::optional<std::string> line = helper_->ReadLine(replyLimit_);
  std::optional<HelperReply> reply = line ? ParseReply(*line) : std::nullopt;
  if (reply) return reply;
  if (helper_->TimedOut()) {
    EndSilentHelper(path + ": the workbook helper did not answer");
  } else if (line) {
    // A helper that says something else cannot be trusted with the next request.
    helper_->Finish(std::chrono::milliseconds(0));
    lastFailure_ = path + ": the workbook helper gave a reply it cannot read";
  } else {
    lastFailure_ = path + ": the workbook helper stopped: " + EndOf(*helper_);
  }
  helper_.reset();
  context.ReportErrorCode(ERR_EXCEL_FAILED);
  return std::nullopt;
}

void OfficeHelperEngine::EndSilentHelper(const std::string& what) {
  // Ending the helper ends its office too.
  helper_->Finish(std::chrono::milliseconds(0));
  const auto seconds = std::chrono::duration_cast<std::chrono::duration<double>>(replyLimit_);
  std::ostringstream limit;
  limit << seconds.count();
  lastFailure_ = what + " within " + limit.str() + " s, so it was ended";
}

std::int32_t OfficeHelperEngine::Relay(ConversionContext& context, const HelperReply& reply) {
  for (std::uint32_t code : reply.errors) context.ReportErrorCode(code);
  lastFailure_ = reply.failure;
  return reply.result;
}

HResult OfficeHelperEngine::GetExcelSheetNames(ConversionContext& context,
                                               const std::string& workbookPath,
                                               std::vector<std::string>* names) {
  if (!EnsureStarted(context)) return kFail;
  const HelperRequest request{HelperOperation::kSheetNames, {workbookPath}};
  std::optional<HelperReply> reply = Ask(context, request, workbookPath);
  if (!reply) return kFail;
  const HResult result = Relay(context, *reply);
  if (result == kOk) *names = std::move(reply->names);
  return result;
}

int OfficeHelperEngine::ExcelSheetToText(ConversionContext& context,
                                         const std::string& workbookPath,
                                         const std::string& textPath,
                                         const std::string& sheetName) {
  if (!EnsureStarted(context)) return -1;
  const HelperRequest request{HelperOperation::kSheetToText, {workbookPath, textPath, sheetName}};
  std::optional<HelperReply> reply = Ask(context, request, workbookPath);
  return reply ? Relay(context, *reply) : 0;
}

int OfficeHelperEngine::TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                                            const std::string& workbookPath) {
  if (!EnsureStarted(context)) return -1;
  const HelperRequest request{HelperOperation::kTextToWorkbook, {textPath, workbookPath}};
  std::optional<HelperReply> reply = Ask(context, request, workbookPath);
  return reply ? Relay(context, *reply) : 0;
}

}  // namespace tabulex::libreoffice
