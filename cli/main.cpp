// Entry point of the `tabulex` command.
#include <cstdlib>
#include <iostream>

#include "cli/CommandLine.h"
#include "converter/platform/Files.h"
#include "converter/platform/Terminal.h"

int main(int argc, char** argv) {
  tabulex::cli::Environment environment;
  environment.stdinIsTerminal = tabulex::platform::StdinIsTerminal();
  environment.stdoutIsTerminal = tabulex::platform::StdoutIsTerminal();
  environment.stderrIsTerminal = tabulex::platform::StderrIsTerminal();
  environment.columns = tabulex::platform::TerminalColumns();
  const char* noColor = std::getenv("NO_COLOR");
  environment.noColor = noColor != nullptr && *noColor != '\0';
  return tabulex::cli::RunCommandLine(argc, argv, std::cin, std::cout, std::cerr, environment);
}
