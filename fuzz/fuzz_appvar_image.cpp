// Reads arbitrary bytes as a KV-52 Plus spreadsheet image and writes the cells back as one.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "converter/appvar/AppVarSheet.h"

namespace {

class QuietContext : public tabulex::ConversionContext {
 public:
  void ReportErrorCode(std::uint32_t) override {}
  int ShowMessage(std::string_view, std::optional<std::string_view>, std::uint32_t,
                  std::optional<std::string_view>) override {
    return tabulex::message::kAnswerOk;
  }
  void Trace(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QuietContext context;
  try {
    tabulex::AppVarSheet source(context, data, size);
    source.TranslateToIntermediate();
    (void)source.Describe();
    tabulex::AppVarSheet target(context, source);
    target.TranslateFromIntermediate();
    target.SetDeviceName("FUZZ");
    (void)target.GetOutput();
  } catch (const std::invalid_argument&) {
    // A record of the invalid type 2 ends the conversion.
  }
  return 0;
}
