// The workbook engine of the command: a client of the workbook helper program, which runs
// LibreOffice on the command's behalf, so that the command itself links no office library.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "components/WorkbookEngine.h"
#include "components/libreoffice/HelperProtocol.h"
#include "converter/platform/PipedChild.h"

namespace tabulex::libreoffice {

class OfficeHelperEngine : public components::WorkbookEngine {
 public:
  // Long enough for the office to start and to load and save a very large workbook.
  static constexpr std::chrono::milliseconds kDefaultReplyLimit{std::chrono::minutes(10)};

  // `command` starts the helper: its full path, then its arguments. Nothing starts until the
  // first operation; one helper (and its one office) then serves every operation until the
  // engine is destroyed.
  // A helper that gives no answer within `replyLimit` (to its start or to an operation) is
  // ended, and the operation fails saying so: a workbook that hangs the office must not hang the
  // command with it.
  explicit OfficeHelperEngine(std::vector<std::string> command,
                              std::chrono::milliseconds replyLimit = kDefaultReplyLimit);
  ~OfficeHelperEngine() override;

  int ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                       const std::string& textPath, const std::string& sheetName) override;
  int TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                          const std::string& workbookPath) override;
  HResult GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                             std::vector<std::string>* names) override;
  std::string LastFailure() const override { return lastFailure_; }

  // The helper's process id while it runs.
  std::optional<int> HelperProcessId() const;

 private:
  // Starts the helper if it does not run and waits until it is ready; reports
  // ERR_EXCEL_NOT_STARTED when it cannot be.
  bool EnsureStarted(ConversionContext& context);
  // The helper's reply to the request. When the helper does not give one, it is ended (the
  // next operation starts a new one), the failure names `path` and the helper's last words,
  // and ERR_EXCEL_FAILED is reported.
  std::optional<HelperReply> Ask(ConversionContext& context, const HelperRequest& request,
                                 const std::string& path);
  // Hands the reply's error codes to the context and keeps its failure; returns its result.
  std::int32_t Relay(ConversionContext& context, const HelperReply& reply);

  // Ends a helper that gave no answer in time; says so in the failure, after `what`.
  void EndSilentHelper(const std::string& what);

  std::vector<std::string> command_;
  std::chrono::milliseconds replyLimit_;
  std::optional<platform::PipedChild> helper_;
  std::string lastFailure_;
};

}  // namespace tabulex::libreoffice
