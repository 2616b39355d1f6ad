// Registers the servers the add-in talks to, the host stand-in and the add-in itself before
// any test runs, in the test's apartment.
#include "tests/com/ComTestSupport.h"
#include "tests/support/WineServers.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RegisteredServers({
    ServerPath(kConverterDll),
    ServerPath(kVarFileDll),
    ServerPath(kErrorTextDll),
    ServerPath(kDeviceLinkDll),
    ServerPath("Ledgerlink.dll"),
    WindowsPath(TABULEX_STANDIN_SERVER),
}));

}  // namespace
}  // namespace tabulex::testing
