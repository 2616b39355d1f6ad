// The workbook engine of builds made with LibreOffice's SDK: the workbook helper, installed
// beside the command or, in a build tree, where the build made it.
#include <filesystem>

#include "components/WorkbookEngine.h"
#include "components/libreoffice/OfficeHelperEngine.h"
#include "converter/platform/Files.h"
#include "converter/platform/PipedChild.h"
#include "converter/platform/Process.h"

namespace tabulex::components {

namespace {

// Where the helper is installed, from the folder of the installed command.
constexpr const char* kInstalledHelper = TABULEX_HELPER_FROM_COMMAND;
// Where the build made it.
constexpr const char* kBuiltHelper = TABULEX_HELPER_IN_BUILD;

std::string HelperPath() {
  std::optional<std::string> command = platform::RunningProgramPath();
  const std::string installed =
      command ? std::filesystem::path(platform::FolderOf(*command) + kInstalledHelper)
                    .lexically_normal()
                    .string()
              : std::string();
  if (!installed.empty() && platform::IsExecutableFile(installed)) return installed;
  if (platform::IsExecutableFile(kBuiltHelper)) return kBuiltHelper;
  // Neither is there: the failure to start names the place it should be installed in.
  return installed.empty() ? std::string(kBuiltHelper) : installed;
}

}  // namespace

std::shared_ptr<WorkbookEngine> MakeWorkbookEngine() {
  return std::make_shared<libreoffice::OfficeHelperEngine>(std::vector<std::string>{HelperPath()});
}

bool HasWorkbookEngine() {
  return true;
}

}  // namespace tabulex::components
