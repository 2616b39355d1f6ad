// The conversion context the driver hands to its sheets: error texts, message boxes, traces.
#pragma once

#include "converter/driver/Components.h"
#include "converter/driver/Messages.h"
#include "converter/model/ConversionContext.h"
#include "converter/platform/Memory.h"

namespace tabulex {

class DriverContext : public ConversionContext {
 public:
  explicit DriverContext(const ConverterServices& services)
      : ConversionContext(platform::ArenaBlocks()), services_(services) {}

  // Shows the text the error-text component gives for the code, or the
  // application error text without it.
  void ReportErrorCode(std::uint32_t code) override;
  int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                  std::uint32_t style, std::optional<std::string_view> ownerTitle) override;
  void Trace(std::string_view text) override;
  void CellLeftOut(int row, int column) override;
  void CellCut(int row, int column) override;

  // The text of a string-table entry.
  std::string Text(const messages::StringResource& entry);

  // The error-text component's text for a code, or nothing when the component is missing or
  // has no text.
  std::optional<std::string> ErrorText(std::uint32_t code);

 private:
  const ConverterServices& services_;
};

}  // namespace tabulex
