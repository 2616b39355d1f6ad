// What the command line needs to know of the terminal it writes to.
#pragma once

#include <optional>

namespace tabulex::platform {

bool StdoutIsTerminal();
bool StderrIsTerminal();
// The width of the terminal standard output writes to, in columns; nothing when it is none.
std::optional<int> TerminalColumns();

}  // namespace tabulex::platform
