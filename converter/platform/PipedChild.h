// A helper program talked to over pipes on its standard streams (POSIX only), and the helper's
// own side of them.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulex::platform {

// A child process that reads requests on its standard input and answers on its standard
// output. What it writes to its standard error is kept (the last few kilobytes), to say why it
// failed. Like SpawnBoundChild, the child runs in a session of its own and the system kills it
// when the thread that started it ends.
class PipedChild {
 public:
  // Starts `argv[0]` (a full path) with the arguments. Returns nothing, with `why` set to the
  // system's reason, when it cannot be started.
  static std::optional<PipedChild> Start(const std::vector<std::string>& argv, std::string& why);

  PipedChild(PipedChild&& other) noexcept;
  PipedChild& operator=(PipedChild&& other) noexcept;
  PipedChild(const PipedChild&) = delete;
  PipedChild& operator=(const PipedChild&) = delete;
  // Ends the child as Finish does, with a generous wait, unless it was finished before.
  ~PipedChild();

  // Writes all of `bytes` to the child's input; false when the child no longer reads it.
  bool Send(std::string_view bytes);
  // The next line the child writes, without its line feed; nothing when its output ends first,
  // or when `limit` passes first (TimedOut then says so; the child is left running).
  std::optional<std::string> ReadLine(
      std::optional<std::chrono::milliseconds> limit = std::nullopt);
  // Whether the last ReadLine gave up at its limit.
  bool TimedOut() const { return timedOut_; }
  // The end of what the child wrote to its standard error so far.
  const std::string& Errors() const { return errors_; }
  // Whether the child still runs; one that ended is collected.
  bool Running();
  // Closes the child's input, which asks it to end, waits up to `wait` for it to end, kills it
  // otherwise, and returns its exit status (128 plus the signal number when a signal ended it).
  // Once finished, the child is not waited for again.
  int Finish(std::chrono::milliseconds wait);
  int ProcessId() const { return pid_; }

 private:
  PipedChild(int pid, int input, int output, int errors)
      : pid_(pid), input_(input), output_(output), errorStream_(errors) {}
  // Waits until the output or the error stream can be read and reads what is there; false at
  // the end of the output, or after `wait` without anything to read.
  bool ReadMore(int timeoutMs);
  void KeepErrors(std::string_view bytes);
  void CloseAll();

  int pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errorStream_ = -1;
  // The exit status, once the child has ended and been collected.
  std::optional<int> ended_;
  std::string pending_;
  std::string errors_;
  bool timedOut_ = false;
};

// The path of the program this process runs; nothing when the system does not say.
std::optional<std::string> RunningProgramPath();

// This process's standard output, kept for its replies to the program that started it. Writes
// of libraries to the standard output go to the standard error from then on, so they cannot be
// taken for a reply.
class ReplyOutput {
 public:
  ReplyOutput();
  ReplyOutput(const ReplyOutput&) = delete;
  ReplyOutput& operator=(const ReplyOutput&) = delete;
  ~ReplyOutput();
  // Writes all of `bytes`; false when the reader has gone.
  bool Write(std::string_view bytes);

 private:
  int fd_ = -1;
};

}  // namespace tabulex::platform
