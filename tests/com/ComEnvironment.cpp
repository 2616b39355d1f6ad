// Registers the three servers with regsvr32 before any test runs, in the test's apartment.
#include <gtest/gtest.h>

#include "tests/com/ComTestSupport.h"

namespace tabulex::testing {
namespace {

class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const char* dll : {kConverterDll, kVarFileDll, kErrorTextDll}) {
      ASSERT_EQ(Regsvr32(dll), 0u) << dll;
    }
  }
  void TearDown() override { CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
}  // namespace tabulex::testing
