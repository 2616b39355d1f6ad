// Runs the tabulex command in-process, as a test does, and keeps what it printed.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "tests/support/TempFolder.h"

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

// A test of the command with a fresh folder of its own.
class CommandTest : public ::testing::Test, protected CommandRunner {
 protected:
  using CommandRunner::Run;
  std::string PathOf(const std::string& name) const { return folder.PathOf(name); }
  void Write(const std::string& name, const std::string& bytes) const { folder.Write(name, bytes); }
  std::string Read(const std::string& name) const { return folder.Read(name); }

  TempFolder folder;
};

}  // namespace tabulex::testing
