// Registers the servers the add-in talks to, and the add-in itself, before any test runs.
#include <gtest/gtest.h>

#include "tests/com/ComTestSupport.h"

namespace tabulex::testing {
namespace {

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

DWORD RegisterHostStandIn() {
  std::string command = "regsvr32.exe /s \"" + WindowsPath(TABULEX_STANDIN_SERVER) + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

class AddinEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const char* dll :
         {kConverterDll, kVarFileDll, kErrorTextDll, kDeviceLinkDll, "Ledgerlink.dll"}) {
      ASSERT_EQ(Regsvr32(dll), 0u) << dll;
    }
    ASSERT_EQ(RegisterHostStandIn(), 0u);
  }
  void TearDown() override { CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new AddinEnvironment);

}  // namespace
}  // namespace tabulex::testing
