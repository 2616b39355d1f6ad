// POSIX systems take any part of a file name without a slash or a zero byte, which a name given
// as a string cannot hold anyway.
#include "converter/platform/FileProblems.h"

namespace tabulex::platform {

std::optional<std::string> SystemNamePartProblem(std::string_view) {
  return std::nullopt;
}

}  // namespace tabulex::platform
