// tabulex-office: the workbook helper. Runs the LibreOffice engine for the tabulex command,
// which sends one request line per workbook operation on standard input and reads one reply
// line per request on standard output; the helper ends (and ends its office) when its input
// ends. Keeping the office libraries in this process lets the command link its C++ runtime
// statically.
#include <iostream>
#include <string>

#include "components/libreoffice/HelperProtocol.h"
#include "components/libreoffice/LibreOfficeEngine.h"
#include "converter/model/ConversionContext.h"
#include "converter/platform/PipedChild.h"

namespace tabulex::libreoffice {

namespace {

// Keeps the error codes the engine reports, for the reply. The engine shows no messages and
// writes no traces.
class ReplyContext : public ConversionContext {
 public:
  void ReportErrorCode(std::uint32_t code) override { errors.push_back(code); }
  int ShowMessage(std::string_view, std::optional<std::string_view>, std::uint32_t,
                  std::optional<std::string_view>) override {
    return message::kAnswerCancel;
  }
  void Trace(std::string_view) override {}

  std::vector<std::uint32_t> errors;
};

HelperReply Serve(LibreOfficeEngine& engine, const HelperRequest& request) {
  ReplyContext context;
  HelperReply reply;
  const std::vector<std::string>& a = request.arguments;
  switch (request.operation) {
    case HelperOperation::kSheetNames:
      reply.result = engine.GetExcelSheetNames(context, a[0], &reply.names);
      break;
    case HelperOperation::kSheetToText:
      reply.result = engine.ExcelSheetToText(context, a[0], a[1], a[2]);
      break;
    case HelperOperation::kTextToWorkbook:
      reply.result = engine.TextToExcelWorkbook(context, a[0], a[1]);
      break;
  }
  reply.errors = std::move(context.errors);
  reply.failure = engine.LastFailure();
  return reply;
}

HelperReply Unreadable() {
  return HelperReply{
      kFail, {ERR_EXCEL_FAILED}, "the workbook helper got a request it cannot read", {}};
}

int Run() {
  platform::ReplyOutput replies;
  LibreOfficeEngine engine;
  if (!replies.Write(std::string(kHelperReady) + "\n")) return 1;
  std::string line;
  while (std::getline(std::cin, line)) {
    const std::optional<HelperRequest> request = ParseRequest(line);
    const HelperReply reply = request ? Serve(engine, *request) : Unreadable();
    if (!replies.Write(ReplyLine(reply))) return 1;
  }
  return 0;
}

}  // namespace

}  // namespace tabulex::libreoffice

int main() {
  return tabulex::libreoffice::Run();
}
