// Registering our servers in the test prefix from the Windows test programs: build-tree paths as
// Windows sees them, running a program to its end, regsvr32, and a test environment that
// registers servers before any test runs.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tabulex::testing {

// A build-tree path as the Windows programs see it, through the drive that maps the root.
inline std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

// Runs a command line to its end; its exit code, or -1 when it cannot start. A program that
// never ends is left to the test's time limit.
inline int RunAndWait(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

// Runs regsvr32 /s (with /u when unregistering) on the server at a Windows path.
inline int RegisterServer(const std::string& path, bool unregister = false) {
  return RunAndWait(std::string("regsvr32.exe ") + (unregister ? "/u " : "") + "/s \"" + path +
                    "\"");
}

// Registers in-process servers before any test runs and keeps the test thread in a
// single-threaded apartment, so the servers stay loaded between tests. Servers that other test
// programs sharing the prefix must not find are unregistered at the end.
class RegisteredServers : public ::testing::Environment {
 public:
  explicit RegisteredServers(std::vector<std::string> paths, bool unregisterAtEnd = false)
      : paths_(std::move(paths)), unregisterAtEnd_(unregisterAtEnd) {}

  void SetUp() override {
    for (const std::string& path : paths_) ASSERT_EQ(RegisterServer(path), 0) << path;
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override {
    CoUninitialize();
    if (!unregisterAtEnd_) return;
    for (const std::string& path : paths_) RegisterServer(path, true);
  }

 private:
  std::vector<std::string> paths_;
  bool unregisterAtEnd_;
};

}  // namespace tabulex::testing
