// Converting a sheet at the KV-68 family's 65300-byte limit between tab-delimited text and the
// variable data. Target: under 2 ms each way.
#include <benchmark/benchmark.h>

#include <string>

#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/TextSheet.h"
#include "converter/platform/Memory.h"
#include "tests/support/RecordingContext.h"

namespace {

using tabulex::testing::QuietContext;

// Rows of texts, numbers and formulas: more than the variable data can hold, so the writer
// stops at the limit.
std::string LimitSheetText() {
  std::string text;
  for (int row = 1; row <= 600; ++row) {
    const std::string r = std::to_string(row);
    const std::string formula = "=SUM(B1:B" + r + ")*2+MAX(A1,B" + r + ")-PI()";
    text += "Item " + r + "\t" + r + ".25\t" + formula + "\tTotal " + r + "\t-" + r + "e3\t" +
            "=AVERAGE(A1:E" + r + ")\r\n";
  }
  return text;
}

// The variable data the driver hands the variable-file component.
std::string TextToVariableData(tabulex::ConversionContext& context, const std::string& text) {
  tabulex::TextSheet source(context, text.data(), text.size());
  source.SetName("bench");
  source.TranslateToIntermediate();
  tabulex::Kv68Sheet target(context, source);
  target.TranslateFromIntermediate();
  return target.VariableData();
}

void BM_TextToKv68(benchmark::State& state) {
  const std::string text = LimitSheetText();
  std::size_t bytes = 0;
  for (auto _ : state) {
    // One context per conversion, as the driver makes it: its memory goes with it.
    QuietContext context(tabulex::platform::ArenaBlocks());
    const std::string data = TextToVariableData(context, text);
    bytes = data.size();
    benchmark::DoNotOptimize(data.data());
  }
  state.counters["data_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_TextToKv68)->Unit(benchmark::kMicrosecond);

void BM_Kv68ToText(benchmark::State& state) {
  QuietContext setup;
  const std::string data = TextToVariableData(setup, LimitSheetText());
  for (auto _ : state) {
    QuietContext context(tabulex::platform::ArenaBlocks());
    tabulex::Kv68Sheet source(context, data.data(), data.size());
    source.SetVarName("bench");
    source.TranslateToIntermediate();
    tabulex::TextSheet target(context, source);
    target.TranslateFromIntermediate();
    const std::string text = target.GetOutput();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["data_bytes"] = static_cast<double>(data.size());
}
BENCHMARK(BM_Kv68ToText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
