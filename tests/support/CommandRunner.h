// Runs the tabulex command in-process, as a test does, and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace tabulex::testing {

struct CommandRunner {
  // Runs `tabulex ARGS...` with `input` as its standard input; returns the exit status.
  int Run(std::vector<std::string> args, const cli::Environment& environment = {},
          const std::string& input = "") {
    args.insert(args.begin(), "tabulex");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    out.str("");
    err.str("");
    return cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), in, out, err,
                               environment);
  }

  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace tabulex::testing
