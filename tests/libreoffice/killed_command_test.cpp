// No LibreOffice process outlives the command that started it, even when the command is killed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "components/libreoffice/LibreOfficeEngine.h"
#include "converter/platform/Files.h"
#include "converter/platform/Process.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

using namespace std::chrono_literals;

// The parent process id and command name of a running process, from /proc.
struct ProcessInfo {
  int parent = 0;
  std::string name;
};

std::optional<ProcessInfo> InfoOf(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  // pid (name) state ppid ...; the name may hold spaces, so split at the last ')'.
  const std::size_t open = line.find('(');
  const std::size_t close = line.rfind(')');
  std::istringstream rest(line.substr(close + 2));
  char state = 0;
  ProcessInfo info;
  rest >> state >> info.parent;
  info.name = line.substr(open + 1, close - open - 1);
  if (state == 'Z') return std::nullopt;  // ended, waiting to be reaped
  return info;
}

// The processes whose parent is `parent` and whose command name starts with `name`.
std::vector<int> ChildrenOf(int parent, std::string_view name) {
  std::vector<int> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::optional<ProcessInfo> info = InfoOf(std::stoi(pid));
    if (info && info->parent == parent && info->name.starts_with(name)) {
      found.push_back(std::stoi(pid));
    }
  }
  return found;
}

TEST(KilledCommand, LeavesNoOfficeBehind) {
  const std::string book = std::string(TABULEX_TEST_DATA) + "chart-sheet.xlsx";
  // Lists the sheets of the same workbook over and over, so the office is busy when we kill.
  std::optional<int> command = platform::SpawnBoundChild(
      {"/bin/sh", "-c", "while :; do '" TABULEX_COMMAND "' sheets '" + book + "'; done"});
  ASSERT_TRUE(command.has_value());
  // The shell's child is the command, the command's child its workbook helper, and the
  // helper's child the office.
  std::vector<int> offices;
  int tabulex = 0;
  int helper = 0;
  for (auto deadline = std::chrono::steady_clock::now() + 60s;
       offices.empty() && std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(50ms)) {
    for (int started : ChildrenOf(*command, "tabulex")) {
      for (int helping : ChildrenOf(started, "tabulex-office")) {
        offices = ChildrenOf(helping, "soffice");
        if (!offices.empty()) {
          tabulex = started;
          helper = helping;
        }
      }
    }
  }
  ASSERT_FALSE(offices.empty()) << "no office was started";
  platform::KillChild(*command);  // the loop ends; the command is killed with it, below
  platform::KillChild(tabulex);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (InfoOf(offices.front()) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_FALSE(InfoOf(offices.front())) << "soffice.bin " << offices.front() << " outlived us";
  EXPECT_FALSE(InfoOf(helper)) << "the workbook helper " << helper << " outlived us";

  // The killed helper could not remove its office's profile; the next start does.
  const std::string prefix = "tabulex-office-" + std::to_string(helper) + "-";
  auto abandoned = [&] {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator(platform::TempFolder())) {
      count += e.path().filename().string().starts_with(prefix);
    }
    return count;
  };
  EXPECT_EQ(abandoned(), 1);
  // Names that only look like a profile's, with a number too large for a process id, are left
  // alone and do not stop the start.
  const std::string planted =
      platform::TempFolder() + "tabulex-office-99999999999999-" + std::to_string(helper);
  std::filesystem::create_directory(planted);
  libreoffice::LibreOfficeEngine next;
  testing::RecordingContext context;
  std::vector<std::string> names;
  EXPECT_EQ(next.GetExcelSheetNames(context, book, &names), kOk) << next.LastFailure();
  EXPECT_EQ(abandoned(), 0);
  EXPECT_TRUE(std::filesystem::remove(planted));
}

}  // namespace
}  // namespace tabulex
