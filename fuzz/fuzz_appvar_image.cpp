// Reads arbitrary bytes as a KV-52 Plus spreadsheet image and writes the cells back as one.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "converter/appvar/AppVarSheet.h"
#include "tests/support/RecordingContext.h"

namespace {

using tabulex::testing::QuietContext;

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
