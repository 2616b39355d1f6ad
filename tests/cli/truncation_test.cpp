// Every prefix of a file of each calculator type, made from the bundled example, goes through
// `tabulex cells` and `tabulex convert --to txt`: each gives the cells with a warning, or a
// clear refusal, and never anything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/CommandLine.h"
#include "tests/support/CommandRunner.h"
#include "tests/support/TempFolder.h"

namespace tabulex::cli {
namespace {

class Truncation : public ::testing::TestWithParam<const char*>, protected testing::CommandRunner {
 protected:
  using CommandRunner::Run;
  testing::TempFolder folder_;
};

TEST_P(Truncation, EveryPrefixIsReadOrRefusedClearly) {
  const std::string type = GetParam();
  // Copied first: a path with a leading slash reads as an option on Windows.
  std::ifstream example(TABULEX_EXAMPLES_DIR "/grades.txt", std::ios::binary);
  folder_.Write("grades.txt", std::string((std::istreambuf_iterator<char>(example)), {}));
  ASSERT_EQ(Run({"convert", folder_.PathOf("grades.txt"), "--to", type, "--name", "whole",
                 "--out-dir", folder_.Folder()}),
            0)
      << err.str();
  const std::string written = out.str().substr(0, out.str().size() - 1);
  std::ifstream file(written, std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(file)), {});
  ASSERT_GT(whole.size(), 200u);
  const std::string cut = folder_.PathOf("cut." + type);
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    folder_.Write("cut." + type, whole.substr(0, length));
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"cells", cut},
          std::vector<std::string>{"convert", cut, "--to", "txt", "--overwrite"}}) {
      const int status = Run(command);
      if (length == whole.size()) {
        EXPECT_EQ(status, 0) << command[0] << ": " << err.str();
        EXPECT_EQ(err.str(), "");
      } else if (status == 0) {
        EXPECT_NE(err.str(), "") << command[0] << " at " << length << " gave no warning";
      } else {
        // A refusal says why: the file is too small, cut short, or not of its type.
        EXPECT_EQ(status, 1) << command[0] << " at " << length;
        EXPECT_NE(err.str(), "") << command[0] << " at " << length;
        EXPECT_EQ(err.str().find("The conversion failed"), std::string::npos) << err.str();
      }
    }
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Root())) {
    left.push_back(entry.path().filename().string());
  }
  std::vector<std::string> expected = {"cut." + type, "cut.txt", "grades.txt",
                                       std::filesystem::path(written).filename().string()};
  std::sort(left.begin(), left.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(left, expected);
}

INSTANTIATE_TEST_SUITE_P(CalculatorTypes, Truncation,
                         ::testing::Values("5xv", "68y", "7xy", "r2y"));

}  // namespace
}  // namespace tabulex::cli
