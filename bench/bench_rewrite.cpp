// Rewriting long formulas with many occurrences of a search text.
#include <benchmark/benchmark.h>

#include <string>

#include "converter/model/CellData.h"
#include "converter/model/ExcelFormulas.h"

namespace {

// A 1 MB formula holding 100,000 occurrences of "_neg_".
std::string LongFormula() {
  std::string formula = "=";
  while (formula.size() < (1u << 20) - 10) formula += "_neg_A1+..";
  return formula;
}

void BM_NeutralToExcelOneMegabyte(benchmark::State& state) {
  const std::string formula = LongFormula();
  for (auto _ : state) {
    std::string text = formula;
    tabulex::NeutralToExcel(text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * formula.size()));
}
BENCHMARK(BM_NeutralToExcelOneMegabyte)->Unit(benchmark::kMillisecond);

void BM_ExcelToNeutralOneMegabyte(benchmark::State& state) {
  std::string formula = "=";
  while (formula.size() < (1u << 20) - 10) formula += "(-A1)^-2+";
  for (auto _ : state) {
    tabulex::CellData record;
    record.formula = formula;
    tabulex::ExcelToNeutral(record);
    benchmark::DoNotOptimize(record.formula->data());
  }
}
BENCHMARK(BM_ExcelToNeutralOneMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
