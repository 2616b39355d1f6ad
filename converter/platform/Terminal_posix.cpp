// Terminal queries on POSIX systems.
#include <sys/ioctl.h>
#include <unistd.h>

#include "converter/platform/Terminal.h"

namespace tabulex::platform {

bool StdoutIsTerminal() {
  return isatty(STDOUT_FILENO) != 0;
}

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

std::optional<int> TerminalColumns() {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
  return static_cast<int>(size.ws_col);
}

}  // namespace tabulex::platform
