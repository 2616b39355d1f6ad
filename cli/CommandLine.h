// The `tabulex` command: convert files and show what a file holds.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/FileConverter.h"

namespace tabulex::cli {

// The file type named by a TYPE argument (xls, txt, 5xv, 68y, 7xy, r2y, none).
std::optional<int> TypeFromName(std::string_view name);
// The file type of a path's extension, case-insensitive; workbooks include .xlsx and .ods.
std::optional<int> TypeFromExtension(std::string_view path);

// A bytes as the `cells` listing prints it: bytes outside 0x20 to 0x7E and the backslash as
// \xHH.
std::string Escape(std::string_view bytes);

// What the command knows of where it runs.
struct Environment {
  bool stdinIsTerminal = false;
  bool stdoutIsTerminal = false;
  bool stderrIsTerminal = false;
  std::optional<int> columns;  // the terminal's width
  bool noColor = false;        // NO_COLOR is set
};

// Runs the command; returns the exit status.
int RunCommandLine(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, const Environment& environment);

}  // namespace tabulex::cli
