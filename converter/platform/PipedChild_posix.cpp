// Helper programs over pipes on POSIX systems: the pipes, poll and read, and the helper's own
// reply stream.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

#include "converter/platform/BoundChild_posix.h"
#include "converter/platform/PipedChild.h"
#include "converter/platform/Process.h"

namespace tabulex::platform {

namespace {

constexpr int kKilledStatus = 128 + SIGKILL;
// How much of the child's standard error is kept: enough for a few lines of explanation.
constexpr std::size_t kKeptErrors = 4096;
// After the child's output ends, how long its last words on standard error are waited for.
constexpr int kLastWordsMs = 1000;
constexpr std::chrono::milliseconds kEndWait{30000};
constexpr std::size_t kReadChunk = 4096;
// Pipe ends are kept above the standard streams, so that moving them onto the child's
// standard streams can never overwrite one another.
constexpr int kFirstFreeFd = STDERR_FILENO + 1;

struct Pipe {
  int read = -1;
  int write = -1;
};

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Moves a descriptor above the standard streams (in a process started with one of them
// closed, a new pipe may take its number), keeping it closed on exec.
int AboveStandardStreams(int fd) {
  if (fd >= kFirstFreeFd) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kFirstFreeFd);
  close(fd);
  return moved;
}

std::optional<Pipe> MakePipe() {
  std::array<int, 2> ends{};
  if (pipe2(ends.data(), O_CLOEXEC) != 0) return std::nullopt;
  Pipe p{AboveStandardStreams(ends[0]), AboveStandardStreams(ends[1])};
  if (p.read < 0 || p.write < 0) {
    CloseFd(p.read);
    CloseFd(p.write);
    return std::nullopt;
  }
  return p;
}

void ClosePipes(std::array<Pipe, 4>& pipes) {
  for (Pipe& p : pipes) {
    CloseFd(p.read);
    CloseFd(p.write);
  }
}

// The errno of a failed exec, read from the status pipe; 0 when exec succeeded (the pipe
// closed without a word).
int ExecError(int statusRead) {
  int error = 0;
  for (;;) {
    const ssize_t got = read(statusRead, &error, sizeof error);
    if (got < 0 && errno == EINTR) continue;
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Reads what is there; 0 at the end of the stream or on an error.
std::size_t ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, buffer, size);
    if (got < 0 && errno == EINTR) continue;
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }
}

}  // namespace

std::optional<PipedChild> PipedChild::Start(const std::vector<std::string>& argv,
                                            std::string& why) {
  if (argv.empty()) return std::nullopt;
  // The child may die while we write to it; that must fail the write, not end us.
  IgnoreBrokenPipes();
  // Input, output, errors and the exec status.
  std::array<Pipe, 4> pipes;
  for (Pipe& p : pipes) {
    std::optional<Pipe> made = MakePipe();
    if (!made) {
      why = strerror(errno);
      ClosePipes(pipes);
      return std::nullopt;
    }
    p = *made;
  }
  const int pid = ForkBoundChild(argv, ChildStreams{pipes[0].read, pipes[1].write, pipes[2].write},
                                 pipes[3].write);
  if (pid < 0) {
    why = strerror(errno);
    ClosePipes(pipes);
    return std::nullopt;
  }
  CloseFd(pipes[0].read);
  CloseFd(pipes[1].write);
  CloseFd(pipes[2].write);
  CloseFd(pipes[3].write);
  const int error = ExecError(pipes[3].read);
  CloseFd(pipes[3].read);
  PipedChild child(pid, pipes[0].write, pipes[1].read, pipes[2].read);
  if (error != 0) {
    why = strerror(error);
    child.Finish(std::chrono::milliseconds(0));
    return std::nullopt;
  }
  return child;
}

PipedChild::PipedChild(PipedChild&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      input_(std::exchange(other.input_, -1)),
      output_(std::exchange(other.output_, -1)),
      errorStream_(std::exchange(other.errorStream_, -1)),
      ended_(std::exchange(other.ended_, std::nullopt)),
      pending_(std::move(other.pending_)),
      errors_(std::move(other.errors_)),
      timedOut_(other.timedOut_) {}

PipedChild& PipedChild::operator=(PipedChild&& other) noexcept {
  if (this != &other) {
    Finish(kEndWait);
    pid_ = std::exchange(other.pid_, -1);
    input_ = std::exchange(other.input_, -1);
    output_ = std::exchange(other.output_, -1);
    errorStream_ = std::exchange(other.errorStream_, -1);
    ended_ = std::exchange(other.ended_, std::nullopt);
    pending_ = std::move(other.pending_);
    errors_ = std::move(other.errors_);
    timedOut_ = other.timedOut_;
  }
  return *this;
}

PipedChild::~PipedChild() {
  Finish(kEndWait);
}

bool PipedChild::Send(std::string_view bytes) {
  return input_ >= 0 && WriteAll(input_, bytes);
}

std::optional<std::string> PipedChild::ReadLine(std::optional<std::chrono::milliseconds> limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = limit ? Clock::now() + *limit : Clock::time_point::max();
  // Milliseconds left for poll, rounded up so that the deadline has passed when it returns;
  // -1 waits without end.
  const auto left = [&] {
    if (!limit) return -1;
    const auto rest = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(rest.count(), 0, INT_MAX));
  };
  timedOut_ = false;
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    if (output_ < 0) break;
    if (!ReadMore(left())) {
      timedOut_ = output_ >= 0 && Clock::now() >= deadline;
      if (timedOut_) return std::nullopt;
      break;
    }
  }
  // Whatever the child says on its way out explains why its output ended.
  while (errorStream_ >= 0 && ReadMore(kLastWordsMs)) {
  }
  return std::nullopt;
}

bool PipedChild::ReadMore(int timeoutMs) {
  std::array<pollfd, 2> watched = {{{output_, POLLIN, 0}, {errorStream_, POLLIN, 0}}};
  if (output_ < 0 && errorStream_ < 0) return false;
  int ready = 0;
  do {
    ready = poll(watched.data(), watched.size(), timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  std::array<char, kReadChunk> buffer{};
  if (watched[1].revents != 0) {
    const std::size_t got = ReadSome(errorStream_, buffer.data(), buffer.size());
    if (got == 0) CloseFd(errorStream_);
    KeepErrors(std::string_view(buffer.data(), got));
  }
  if (watched[0].revents != 0) {
    const std::size_t got = ReadSome(output_, buffer.data(), buffer.size());
    if (got == 0) {
      CloseFd(output_);
      return false;
    }
    pending_.append(buffer.data(), got);
  }
  return output_ >= 0 || errorStream_ >= 0;
}

void PipedChild::KeepErrors(std::string_view bytes) {
  errors_.append(bytes);
  if (errors_.size() > kKeptErrors) errors_.erase(0, errors_.size() - kKeptErrors);
}

void PipedChild::CloseAll() {
  CloseFd(input_);
  CloseFd(output_);
  CloseFd(errorStream_);
}

bool PipedChild::Running() {
  if (!ended_ && pid_ >= 0) ended_ = WaitChild(pid_, std::chrono::milliseconds(0));
  return !ended_ && pid_ >= 0;
}

int PipedChild::Finish(std::chrono::milliseconds wait) {
  if (!ended_ && pid_ >= 0) {
    CloseFd(input_);
    ended_ = WaitChild(pid_, wait);
    if (!ended_) {
      KillChild(pid_);
      ended_ = kKilledStatus;
    }
  }
  CloseAll();
  return ended_.value_or(kKilledStatus);
}

std::optional<std::string> RunningProgramPath() {
  std::array<char, PATH_MAX> buffer{};
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

ReplyOutput::ReplyOutput() : fd_(fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, kFirstFreeFd)) {
  dup2(STDERR_FILENO, STDOUT_FILENO);
}

ReplyOutput::~ReplyOutput() {
  CloseFd(fd_);
}

bool ReplyOutput::Write(std::string_view bytes) {
  return fd_ >= 0 && WriteAll(fd_, bytes);
}

}  // namespace tabulex::platform
