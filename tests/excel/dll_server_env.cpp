// Registers the host stand-in's in-process DLL for the whole program and keeps the thread in
// an apartment, so the DLL stays loaded between tests.
#include <gtest/gtest.h>
#include <objbase.h>

#include "tests/excel/StandInHarness.h"

namespace tabulex::testing {
namespace {

class DllServer : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(RunAndWait(L"C:\\windows\\system32\\regsvr32.exe /s \"" +
                         HostPath(TABULEX_STANDIN_SERVER) + L"\""),
              0);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  // Other test programs share the prefix and expect no host to be registered.
  void TearDown() override {
    CoUninitialize();
    RunAndWait(L"C:\\windows\\system32\\regsvr32.exe /u /s \"" + HostPath(TABULEX_STANDIN_SERVER) +
               L"\"");
  }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new DllServer);

}  // namespace
}  // namespace tabulex::testing
