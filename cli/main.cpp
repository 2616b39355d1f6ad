// Entry point of the `tabulex` command.
#include <iostream>

#include "cli/CommandLine.h"
#include "converter/platform/Files.h"

int main(int argc, char** argv) {
  return tabulex::cli::RunCommandLine(argc, argv, std::cin, std::cout, std::cerr,
                                      tabulex::platform::StdinIsTerminal());
}
