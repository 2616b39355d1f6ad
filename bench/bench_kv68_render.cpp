// Rendering calculator expression data of 6,000 and 60,000 bytes, flat and deeply nested. The
// time should grow linearly with the size of the data.
#include <benchmark/benchmark.h>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdint>
#include <vector>

#include "converter/kv68/ExpressionRenderer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counted(Bytes expression) {
  Bytes data(expression.size() + 2);
  data[0] = static_cast<std::uint8_t>(expression.size() >> 8);
  data[1] = static_cast<std::uint8_t>(expression.size() & 0xFF);
  std::copy(expression.begin(), expression.end(), data.begin() + 2);
  return data;
}

// max(r1, r2, ...): one function with many real arguments, nesting depth 1.
Bytes Flat(std::size_t size) {
  Bytes e = {0xE5};
  std::uint8_t digit = 0x12;
  while (e.size() + 11 <= size) {
    e.insert(e.end(), {0xC0, 0x03, digit, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x23});
    digit = static_cast<std::uint8_t>(digit == 0x98 ? 0x12 : digit + 0x11);
  }
  e.push_back(0xD8);
  return Counted(e);
}

// Alternating x*(... + 1) around sin(...): every operator nests inside the next one.
Bytes Nested(std::size_t size) {
  Bytes e = {0x08};
  for (int i = 0; e.size() + 4 <= size; ++i) {
    if (i % 2 == 0) {
      e.insert(e.end(), {0x01, 0x01, 0x1F, 0x8B});  // ... + 1
    } else {
      e.insert(e.end(), {0x45, 0x08, 0x8F, 0x7A});  // -(sin(...) * x)
    }
  }
  return Counted(e);
}

void BM_RenderFlat(benchmark::State& state) {
  const Bytes data = Flat(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(tabulex::RenderExpression(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(data.size()));
}

void BM_RenderNested(benchmark::State& state) {
  const Bytes data = Nested(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(tabulex::RenderExpression(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(data.size()));
}

BENCHMARK(BM_RenderFlat)->Arg(6000)->Arg(60000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderNested)->Arg(6000)->Arg(60000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // A 60,000-byte expression needs a few megabytes of working storage. By default glibc hands
  // blocks of that size back to the system when they are freed, so every iteration pays page
  // faults on fresh memory, which grows with the block sizes and hides the renderer's own
  // (linear) work. Keeping freed memory in the process measures the renderer alone.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
