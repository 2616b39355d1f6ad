// Feeds arbitrary bytes to both tab-delimited text readers and writes the result back.
#include <cstddef>
#include <cstdint>

#include "converter/model/TextSheet.h"
#include "tests/support/RecordingContext.h"

template <class Sheet>
static void RoundTrip(const std::uint8_t* data, std::size_t size) {
  tabulex::testing::RecordingContext context;
  Sheet source(context, data, size);
  source.SetName("fuzz");
  source.TranslateToIntermediate();
  Sheet target(context, source);
  target.TranslateFromIntermediate();
  (void)target.GetOutput();
  (void)target.Describe();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RoundTrip<tabulex::TextSheet>(data, size);
  RoundTrip<tabulex::ExcelTextSheet>(data, size);
  return 0;
}
