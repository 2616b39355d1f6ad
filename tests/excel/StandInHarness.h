// Helpers of the bridge tests: the host stand-in's settings, its call log, and workbooks in
// its file format.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/excel/HostObjects.h"
#include "converter/driver/excel/ExcelBridge.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WineServers.h"

namespace tabulex::testing {

// A workbook in the stand-in's format: three worksheets and a chart sheet; Grades has an empty
// A1, a formula in B1 and a quoted string in C1.
inline constexpr char kStandInBook[] =
    "standin-workbook 1\n"
    "sheet worksheet Budget\n"
    "cell A1 12.5\n"
    "sheet chart Trend\n"
    "sheet worksheet Grades\n"
    "cell B1 =A1+1\n"
    "value B1 1\n"
    "cell C1 say \"hi\"\n"
    "cell A2 7\n"
    "sheet worksheet Notes\n";

inline void SetStandInSetting(const wchar_t* name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  RegSetKeyValueW(HKEY_CURRENT_USER, standin::kSettingsKey, name, REG_SZ, value.c_str(), bytes);
}

inline void ClearStandInSetting(const wchar_t* name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, standin::kSettingsKey, name);
}

// The stand-in's record of the calls it received during one test.
class CallLog {
 public:
  explicit CallLog(std::string path) : path_(std::move(path)) {
    std::filesystem::remove(path_);
    SetStandInSetting(L"CallLog", std::wstring(path_.begin(), path_.end()));
  }
  ~CallLog() { ClearStandInSetting(L"CallLog"); }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(path_, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The calls alone, without object creation and reference counting.
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls = Lines();
    std::erase_if(calls, [](const std::string& line) {
      return line.find(" created") != std::string::npos ||
             line.find(" Release ") != std::string::npos;
    });
    return calls;
  }
  // Objects whose reference count has not come back to zero, and calls made after it did.
  std::vector<std::string> Leaks() const {
    std::map<std::string, std::string> last;
    std::vector<std::string> problems;
    for (const std::string& line : Lines()) {
      const std::string object = line.substr(0, line.find(' '));
      if (last[object] == "0") problems.push_back("used after release: " + line);
      const std::size_t release = line.find(" Release ");
      last[object] = release == std::string::npos ? "alive" : line.substr(release + 9);
    }
    for (const auto& [object, state] : last) {
      if (state != "0") problems.push_back("not released: " + object);
    }
    return problems;
  }
  bool Contains(const std::string& call) const { return std::ranges::count(Calls(), call) > 0; }

 private:
  std::string path_;
};

// The arguments of a read-only Workbooks.Open, after the file name, as the log shows them.
inline const std::string kReadOnlyOpen =
    ", I2:3, I2:1, missing, missing, missing, I2:1, missing, missing, missing, I2:0, missing, "
    "I2:0)";
// A text Workbooks.Open: read-write, tab delimiter.
inline const std::string kTextOpen =
    ", I2:3, I2:0, missing, missing, missing, I2:1, missing, I2:1, missing, I2:0, missing, "
    "I2:0)";
inline const std::string kCloseWithoutSaving = "Workbook#1 call Close(I2:0, missing, missing)";

// A test of the bridge: a folder of its own with the stand-in's call log, and the engine.
class BridgeTest : public ::testing::Test {
 protected:
  TempFolder temp;
  CallLog log{temp.PathOf("calls.log")};
  RecordingContext context;
  std::unique_ptr<SpreadsheetEngine> engine = MakeExcelEngine();
};

}  // namespace tabulex::testing
