// Starting a child process bound to this one on POSIX systems: the one fork and exec behind
// SpawnBoundChild and PipedChild.
#pragma once

#include <string>
#include <vector>

namespace tabulex::platform {

// Descriptors the child gets as its standard input, output and error; -1 puts /dev/null there.
struct ChildStreams {
  int input = -1;
  int output = -1;
  int errors = -1;
};

// Forks and runs `argv[0]` (a full path) with the arguments, in a session of its own and killed
// by the system when the calling thread's process ends. When the exec fails and `execStatus` is
// a descriptor, the child writes its errno there before it exits with status 127; a successful
// exec closes the descriptor if it is close-on-exec. Returns the child's process id, or -1 with
// errno set when the fork fails.
int ForkBoundChild(const std::vector<std::string>& argv, ChildStreams streams, int execStatus = -1);

}  // namespace tabulex::platform
