// Registers the servers the add-in talks to, the host stand-in and the add-in itself before
// any test runs, in the test's apartment. Other test programs share the prefix and expect no
// host to be registered, so all of them are unregistered at the end.
#include "tests/com/ComTestSupport.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RegisteredServers(
    {
        ServerPath(kConverterDll),
        ServerPath(kVarFileDll),
        ServerPath(kErrorTextDll),
        ServerPath(kDeviceLinkDll),
        ServerPath("Ledgerlink.dll"),
        WindowsPath(TABULEX_STANDIN_SERVER),
    },
    true));

}  // namespace
}  // namespace tabulex::testing
