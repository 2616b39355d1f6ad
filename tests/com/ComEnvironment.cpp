// Defines the ids declared by the generated ITabulex header, once for the whole test program,
// and registers the converter and the two component servers before any test runs.
#include <initguid.h>

#include "converter/com/TabulexConverter_h.h"
#include "tests/com/ComTestSupport.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RegisteredServers(
    {ServerPath(kConverterDll), ServerPath(kVarFileDll), ServerPath(kErrorTextDll)}));

}  // namespace
}  // namespace tabulex::testing
