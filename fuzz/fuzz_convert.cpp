// Runs the `tabulex` command on arbitrary bytes as a file of one type: `cells`, a conversion to
// text, one to the other calculator family and a re-save. Built once per source type, named by
// FUZZ_SOURCE_TYPE.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/FileConverter.h"
#include "components/WorkbookEngine.h"
#include "converter/platform/ExclusiveFile.h"

#ifndef FUZZ_SOURCE_TYPE
#error "FUZZ_SOURCE_TYPE names the source type: txt, 5xv, 68y or 7xy"
#endif

namespace {

namespace fs = std::filesystem;

struct Plan {
  const char* source;
  std::vector<const char*> targets;
};

// Every source goes to text; calculator sources also to the other family and to a type of their
// own family, which takes the re-save path.
const Plan kPlans[] = {
    {"txt", {"txt", "5xv", "68y"}},
    {"5xv", {"txt", "68y", "5xv"}},
    {"68y", {"txt", "5xv", "7xy"}},
    {"7xy", {"txt", "5xv", "r2y"}},
};

const Plan& ThePlan() {
  for (const Plan& plan : kPlans) {
    if (std::string_view(plan.source) == FUZZ_SOURCE_TYPE) return plan;
  }
  __builtin_trap();
}

// One folder per process, in memory where the system has one, so runs do not wait on a disk.
const std::string& Folder() {
  static const std::string folder = [] {
    std::error_code ec;
    fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path path = base / ("tabulex_fuzz_" + tabulex::platform::UniqueNamePart());
    fs::create_directories(path);
    return path.string() + "/";
  }();
  return folder;
}

// `tabulex convert INPUT --to TARGET --name out --out-dir FOLDER --overwrite`, past the parsing
// of its command line: the parse does not depend on the input's bytes, and it took longer than
// the conversion (the whole command is still run once per input, for `cells`).
int Convert(const std::string& input, const char* target) {
  static const std::shared_ptr<tabulex::components::WorkbookEngine> engine =
      tabulex::components::MakeWorkbookEngine();
  tabulex::cli::ConvertSettings settings;
  settings.to = tabulex::cli::TypeFromName(target).value();
  settings.outDir = Folder();
  settings.name = "out";
  settings.policy = tabulex::cli::OverwritePolicy::kOverwrite;
  settings.engine = engine;
  std::istringstream in;
  std::ostringstream err;
  return tabulex::cli::ConvertFile(settings, input, in, err).status;
}

int Run(std::vector<std::string> args) {
  args.insert(args.begin(), "tabulex");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  return tabulex::cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), in, out, err,
                                      tabulex::cli::Environment{});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Plan& plan = ThePlan();
  const std::string input = Folder() + "in." + plan.source;
  std::ofstream(input, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const int listed = Run({"cells", input});
  if (listed != 0 && listed != 1) __builtin_trap();
  for (const char* target : plan.targets) {
    const int converted = Convert(input, target);
    if (converted != 0 && converted != 1) __builtin_trap();
  }
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(Folder(), ec)) {
    if (entry.path().filename().string().rfind("out", 0) == 0) fs::remove(entry.path(), ec);
  }
  return 0;
}
