// A fresh folder per test under the system's temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace tabulex::testing {

class TempFolder {
 public:
  // Named after the running test with a random suffix, so parallel test processes, those of
  // other build trees included, do not share a folder.
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            (std::string("tabulex_") + info->test_suite_name() + "_" + info->name() + "_" +
             std::to_string(std::random_device()()));
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    std::filesystem::create_directories(root_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  const std::filesystem::path& Root() const { return root_; }
  // The folder with a trailing separator, as the driver takes output folders.
  std::string Folder() const { return root_.string() + "/"; }
  std::string PathOf(const std::string& name) const { return Folder() + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(PathOf(name)); }

 private:
  std::filesystem::path root_;
};

}  // namespace tabulex::testing
