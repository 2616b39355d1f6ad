// Twenty workbooks to KV-68 files through one LibreOffice engine, against starting
// `soffice --convert-to` once per workbook (which only gets as far as the text). Goal: the
// engine at least 5 times faster per workbook.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "components/StandInServices.h"
#include "components/libreoffice/LibreOfficeEngine.h"
#include "converter/driver/Converter.h"
#include "converter/platform/Files.h"
#include "tests/support/RecordingContext.h"

namespace {

using namespace tabulex;

constexpr int kWorkbooks = 20;
constexpr const char* kOfficeCommand = "/usr/lib/libreoffice/program/soffice";

// Replaces every existing output without asking and shows nothing.
class Unattended : public UserInterface {
 public:
  int ShowMessage(std::string_view, std::optional<std::string_view>, std::uint32_t,
                  std::optional<std::string_view>) override {
    return message::kAnswerYes;
  }
};

// A folder of twenty .xlsx workbooks of 60 rows of text, numbers and formulas, made once.
const std::filesystem::path& Workbooks() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "tabulex-bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "out");
    libreoffice::LibreOfficeEngine engine;
    testing::QuietContext context;
    for (int book = 0; book < kWorkbooks; ++book) {
      std::string text;
      for (int row = 1; row <= 60; ++row) {
        const std::string r = std::to_string(row);
        text += "Item " + r + "\t" + std::to_string(book * row) + ".5\t=B" + r + "*2\r\n";
      }
      const std::filesystem::path txt = root / "book.txt";
      std::ofstream(txt, std::ios::binary) << text;
      engine.TextToExcelWorkbook(context, txt.string(),
                                 (root / ("book" + std::to_string(book) + ".xlsx")).string());
    }
    return root;
  }();
  return folder;
}

std::string Book(int book) {
  return (Workbooks() / ("book" + std::to_string(book) + ".xlsx")).string();
}

// One command's work: a fresh engine (its start included) converts every workbook.
void BM_OneEngineForTwentyWorkbooks(benchmark::State& state) {
  const std::string out = (Workbooks() / "out").string() + "/";
  for (auto _ : state) {
    auto engine = std::make_shared<libreoffice::LibreOfficeEngine>();
    Converter converter(components::StandInServices(std::make_shared<Unattended>(), engine));
    for (int book = 0; book < kWorkbooks; ++book) {
      const std::string name = "b" + std::to_string(book);
      if (converter.Convert(Book(book), ZQ_EXCEL, "Sheet1", out, name, ZQ_TABULEX_68, 0) != kOk) {
        state.SkipWithError("conversion failed");
      }
    }
  }
  state.counters["per_workbook_s"] = benchmark::Counter(
      static_cast<double>(kWorkbooks),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OneEngineForTwentyWorkbooks)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

// The same workbooks exported to text by one `soffice --convert-to` per file, with a profile
// that is already set up.
void BM_ConvertToPerWorkbook(benchmark::State& state) {
  const std::string profile = "file://" + (Workbooks() / "profile").string();
  const std::string out = (Workbooks() / "out").string();
  for (auto _ : state) {
    for (int book = 0; book < kWorkbooks; ++book) {
      const std::string command =
          std::string(kOfficeCommand) + " -env:UserInstallation=" + profile +
          " --headless --convert-to 'txt:Text - txt - csv (StarCalc):9,34,ANSI,1' --outdir '" +
          out + "' '" + Book(book) + "' >/dev/null 2>&1";
      if (std::system(command.c_str()) != 0) state.SkipWithError("soffice failed");
    }
  }
  state.counters["per_workbook_s"] = benchmark::Counter(
      static_cast<double>(kWorkbooks),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ConvertToPerWorkbook)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
