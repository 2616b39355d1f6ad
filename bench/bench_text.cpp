// Converting a large tab-delimited text file to text through the model: the reader's field
// scan, the cells and records made per field, and the writer.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "converter/model/TextSheet.h"
#include "converter/platform/Memory.h"
#include "tests/support/RecordingContext.h"

namespace {

using tabulex::testing::QuietContext;

// Rows of numbers and short texts, about `size` bytes in all. Rows are 320 fields wide, so that
// even 100 MB stays within the 32767 rows a sheet keeps.
std::string NumbersAndTexts(std::size_t size) {
  constexpr int kGroupsPerRow = 40;
  std::string text;
  text.reserve(size + 4096);
  for (long row = 1; text.size() < size; ++row) {
    for (int group = 0; group < kGroupsPerRow; ++group) {
      const std::string r = std::to_string(row * kGroupsPerRow + group);
      text += r + "\t" + r + ".5\t-" + r + "\tItem " + r + "\t0.125\t\"say \"\"hi\"\"\"\t" + r +
              "00\tDone\t";
    }
    text += "\r\n";
  }
  return text;
}

std::string TextToText(const std::string& text) {
  // One context per conversion, as the driver makes it: its memory goes with it.
  QuietContext context(tabulex::platform::ArenaBlocks());
  tabulex::TextSheet source(context, text.data(), text.size());
  source.TranslateToIntermediate();
  tabulex::TextSheet target(context, source);
  target.TranslateFromIntermediate();
  return target.FileText();
}

void BM_TextToText(benchmark::State& state) {
  const std::string text = NumbersAndTexts(static_cast<std::size_t>(state.range(0)) << 20);
  for (auto _ : state) {
    const std::string out = TextToText(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
// 1 MB and 10 MB: the time per byte should not grow with the size.
BENCHMARK(BM_TextToText)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
