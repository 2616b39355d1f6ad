// Registers the converter and the two component servers before any test runs, in the test's
// apartment.
#include "tests/com/ComTestSupport.h"
#include "tests/support/WineServers.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RegisteredServers(
    {ServerPath(kConverterDll), ServerPath(kVarFileDll), ServerPath(kErrorTextDll)}));

}  // namespace
}  // namespace tabulex::testing
