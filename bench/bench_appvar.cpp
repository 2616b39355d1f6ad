// Converting a sheet at the KV-52 Plus size limit between tab-delimited text and the image.
#include <benchmark/benchmark.h>

#include <string>

#include "converter/appvar/AppVarSheet.h"
#include "converter/model/TextSheet.h"
#include "converter/platform/Memory.h"
#include "tests/support/RecordingContext.h"

namespace {

using tabulex::testing::QuietContext;

// Rows of a text, a number and a formula: more than the image can hold, so the writer stops at
// the limit.
std::string LimitSheetText() {
  std::string text;
  for (int row = 1; row <= 400; ++row) {
    const std::string r = std::to_string(row);
    text += "Item " + r + "\t" + r + ".25\t=SUM(B1:B" + r + ")*2+MAX(A1,B" + r + ")\r\n";
  }
  return text;
}

std::string TextToImage(tabulex::ConversionContext& context, const std::string& text) {
  tabulex::TextSheet source(context, text.data(), text.size());
  source.SetName("BENCH");
  source.TranslateToIntermediate();
  tabulex::AppVarSheet target(context, source);
  target.TranslateFromIntermediate();
  target.SetDeviceName("BENCH");
  return target.GetOutput();
}

void BM_TextToAppVar(benchmark::State& state) {
  const std::string text = LimitSheetText();
  std::size_t bytes = 0;
  for (auto _ : state) {
    // One context per conversion, as the driver makes it: its memory goes with it.
    QuietContext context(tabulex::platform::ArenaBlocks());
    const std::string image = TextToImage(context, text);
    bytes = image.size();
    benchmark::DoNotOptimize(image.data());
  }
  state.counters["image_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_TextToAppVar)->Unit(benchmark::kMicrosecond);

void BM_AppVarToText(benchmark::State& state) {
  QuietContext setup;
  const std::string image = TextToImage(setup, LimitSheetText());
  for (auto _ : state) {
    QuietContext context(tabulex::platform::ArenaBlocks());
    tabulex::AppVarSheet source(context, image.data(), image.size());
    source.TranslateToIntermediate();
    tabulex::TextSheet target(context, source);
    target.TranslateFromIntermediate();
    const std::string text = target.GetOutput();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["image_bytes"] = static_cast<double>(image.size());
}
BENCHMARK(BM_AppVarToText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
