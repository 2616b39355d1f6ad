// Registers the host stand-in's in-process DLL for the whole program and keeps the thread in
// an apartment, so the DLL stays loaded between tests. Other test programs share the prefix and
// expect no host to be registered, so it is unregistered at the end.
#include "tests/support/WineServers.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(
    new RegisteredServers({WindowsPath(TABULEX_STANDIN_SERVER)}, true));

}  // namespace
}  // namespace tabulex::testing
