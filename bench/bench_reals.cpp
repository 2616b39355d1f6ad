// Numbers of both real formats: plain decimals encoded from their digits against the conversion
// through double, and KV-68 reals written as text from their digits against the long double.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "converter/appvar/AppVarReal.h"
#include "converter/kv68/Kv68Real.h"

namespace {

// Numbers as sheets hold them: prices, counts, measurements, negatives and small fractions.
std::vector<std::string> SheetNumbers() {
  std::vector<std::string> numbers;
  for (int i = 1; i <= 4096; ++i) {
    const int whole = (i * 7919) % 100000;
    switch (i % 4) {
      case 0:
        numbers.push_back(std::to_string(whole));
        break;
      case 1:
        numbers.push_back(std::to_string(whole) + "." + std::to_string(i % 100));
        break;
      case 2:
        numbers.push_back("-" + std::to_string(whole % 1000) + ".5");
        break;
      default:
        numbers.push_back("0.00" + std::to_string(whole));
        break;
    }
  }
  return numbers;
}

template <typename Encode>
void RunOverNumbers(benchmark::State& state, Encode encode) {
  const std::vector<std::string> numbers = SheetNumbers();
  for (auto _ : state) {
    for (const std::string& number : numbers) benchmark::DoNotOptimize(encode(number));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * numbers.size()));
}

void BM_AppVarFromDigits(benchmark::State& state) {
  RunOverNumbers(state, [](const std::string& n) { return tabulex::TextToReal(n).bytes[2]; });
}
BENCHMARK(BM_AppVarFromDigits);

void BM_AppVarThroughDouble(benchmark::State& state) {
  RunOverNumbers(state, [](const std::string& n) {
    return tabulex::DoubleToReal(std::strtod(n.c_str(), nullptr)).bytes[2];
  });
}
BENCHMARK(BM_AppVarThroughDouble);

void BM_Kv68FromDigits(benchmark::State& state) {
  RunOverNumbers(state, [](const std::string& n) { return (*tabulex::EncodePlainDecimal(n))[2]; });
}
BENCHMARK(BM_Kv68FromDigits);

void BM_Kv68ThroughDouble(benchmark::State& state) {
  RunOverNumbers(state, [](const std::string& n) {
    return tabulex::EncodeReal(std::strtod(n.c_str(), nullptr))[2];
  });
}
BENCHMARK(BM_Kv68ThroughDouble);

std::vector<tabulex::Kv68Real> SheetReals() {
  std::vector<tabulex::Kv68Real> reals;
  for (const std::string& number : SheetNumbers()) {
    const tabulex::Kv68RealBytes bytes = *tabulex::EncodePlainDecimal(number);
    reals.push_back(tabulex::Kv68Real::FromBytes(bytes));
  }
  return reals;
}

void BM_Kv68TextFromDigits(benchmark::State& state) {
  const std::vector<tabulex::Kv68Real> reals = SheetReals();
  for (auto _ : state) {
    for (const tabulex::Kv68Real& real : reals) benchmark::DoNotOptimize(real.ToText());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * reals.size()));
}
BENCHMARK(BM_Kv68TextFromDigits);

void BM_Kv68TextThroughLongDouble(benchmark::State& state) {
  const std::vector<tabulex::Kv68Real> reals = SheetReals();
  for (auto _ : state) {
    for (const tabulex::Kv68Real& real : reals) {
      std::array<char, 64> text{};
      std::snprintf(text.data(), text.size(), "%.14LG", real.ToLongDouble());
      benchmark::DoNotOptimize(std::string(text.data()));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * reals.size()));
}
BENCHMARK(BM_Kv68TextThroughLongDouble);

}  // namespace

BENCHMARK_MAIN();
