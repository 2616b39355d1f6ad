// Terminal queries on Windows.
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "converter/platform/Terminal.h"

namespace tabulex::platform {

bool StdoutIsTerminal() {
  return _isatty(_fileno(stdout)) != 0;
}

bool StderrIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

std::optional<int> TerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return std::nullopt;
  return static_cast<int>(info.srWindow.Right - info.srWindow.Left + 1);
}

}  // namespace tabulex::platform
