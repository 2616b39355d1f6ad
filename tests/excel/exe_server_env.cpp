// Registers the host stand-in's local-server EXE for the whole program and keeps one object
// of it alive, so the server process starts once and every bridge call goes across processes.
#include <gtest/gtest.h>
#include <objbase.h>

#include "tests/excel/StandInHarness.h"

namespace tabulex::testing {
namespace {

class ExeServer : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(RunAndWait("\"" + WindowsPath(TABULEX_STANDIN_SERVER) + "\" /RegServer"), 0);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ClearStandInSetting(L"CallLog");
    ASSERT_EQ(CoCreateInstance(standin::kHostClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&kept_)),
              S_OK);
  }
  void TearDown() override {
    if (kept_) kept_->Release();
    CoUninitialize();
    // Other test programs share the prefix and expect no host to be registered.
    RunAndWait("\"" + WindowsPath(TABULEX_STANDIN_SERVER) + "\" /UnregServer");
  }

 private:
  IDispatch* kept_ = nullptr;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new ExeServer);

}  // namespace
}  // namespace tabulex::testing
