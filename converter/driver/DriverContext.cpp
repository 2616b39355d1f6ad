// Reporting through the components the converter was built with.
#include "converter/driver/DriverContext.h"

#include "converter/driver/Messages.h"

namespace tabulex {

std::optional<std::string> DriverContext::ErrorText(std::uint32_t code) {
  std::unique_ptr<IErrorText> component =
      services_.createErrorText ? services_.createErrorText() : nullptr;
  if (!component) return std::nullopt;
  std::string text;
  if (component->GetErrorText(code, &text) < 0) return std::nullopt;
  return text;
}

std::string DriverContext::Text(const messages::StringResource& entry) {
  if (services_.strings) {
    if (std::optional<std::string> loaded = services_.strings->Load(entry.id)) return *loaded;
  }
  return std::string(entry.text);
}

void DriverContext::ReportErrorCode(std::uint32_t code) {
  if (std::optional<std::string> text = ErrorText(code)) {
    ShowMessage(*text, std::nullopt, message::kIconError, std::nullopt);
  } else {
    ShowMessage(Text(messages::kApplicationError), std::nullopt,
                message::kIconError | message::kTaskModal, std::nullopt);
  }
}

int DriverContext::ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                               std::uint32_t style, std::optional<std::string_view> ownerTitle) {
  if (!services_.ui) return message::kAnswerOk;
  return services_.ui->ShowMessage(text, caption, style, ownerTitle);
}

void DriverContext::Trace(std::string_view text) {
  if (services_.trace) services_.trace(text);
}

void DriverContext::CellLeftOut(int row, int column) {
  if (services_.cellLeftOut) services_.cellLeftOut(row, column);
}

void DriverContext::CellCut(int row, int column) {
  if (services_.cellCut) services_.cellCut(row, column);
}

}  // namespace tabulex
