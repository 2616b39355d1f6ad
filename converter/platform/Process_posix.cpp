// Child processes bound to this one, and private folders, on POSIX systems.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <thread>

#include "converter/platform/BoundChild_posix.h"
#include "converter/platform/Files.h"
#include "converter/platform/Process.h"

namespace tabulex::platform {

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};
constexpr int kSignalExitBase = 128;
constexpr int kExecFailedStatus = 127;

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return kSignalExitBase + WTERMSIG(raw);
  return kSignalExitBase;
}

// Runs in the forked child: only calls that are safe between fork and exec.
[[noreturn]] void BecomeChild(pid_t parent, const std::vector<char*>& args, ChildStreams streams,
                              int execStatus) {
  setsid();
  // A disposition of "ignore" would pass to the new program; give it the default back.
  signal(SIGPIPE, SIG_DFL);
  // The kill signal arrives when the forking thread's process ends; check the parent is still
  // the one we started from in case it ended before the request took effect.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(kExecFailedStatus);
  const std::array<int, 3> given = {streams.input, streams.output, streams.errors};
  const bool needsNull = std::find(given.begin(), given.end(), -1) != given.end();
  const int null = needsNull ? open("/dev/null", O_RDWR) : -1;
  for (int target = STDIN_FILENO; target <= STDERR_FILENO; ++target) {
    const int source = given[static_cast<std::size_t>(target)] >= 0
                           ? given[static_cast<std::size_t>(target)]
                           : null;
    if (source >= 0) dup2(source, target);
  }
  if (null > STDERR_FILENO) close(null);
  execv(args[0], args.data());
  const int error = errno;
  if (execStatus >= 0) {
    [[maybe_unused]] const ssize_t written = write(execStatus, &error, sizeof error);
  }
  _exit(kExecFailedStatus);
}

}  // namespace

int ForkBoundChild(const std::vector<std::string>& argv, ChildStreams streams, int execStatus) {
  std::vector<std::string> copies(argv);
  std::vector<char*> args;
  for (std::string& a : copies) args.push_back(a.data());
  args.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) BecomeChild(parent, args, streams, execStatus);
  return static_cast<int>(pid);
}

std::optional<int> SpawnBoundChild(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  const int pid = ForkBoundChild(argv, ChildStreams{});
  if (pid < 0) return std::nullopt;
  return pid;
}

void IgnoreBrokenPipes() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

std::optional<int> WaitChild(int pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int raw = 0;
    const pid_t done = waitpid(pid, &raw, WNOHANG);
    if (done == pid) return StatusOf(raw);
    if (done < 0) return kSignalExitBase;  // not our child any more: nothing left to wait for
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval);
  }
}

void KillChild(int pid) {
  kill(pid, SIGKILL);
  int raw = 0;
  waitpid(pid, &raw, 0);
}

int CurrentProcessId() {
  return static_cast<int>(getpid());
}

bool ProcessRuns(int pid) {
  if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM)) return false;
  // A process that has ended but is not yet collected by its parent is not running; Linux
  // shows its state as Z after the name in parentheses.
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

bool IsExecutableFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> CreateUniqueFolder(std::string_view prefix) {
  std::string pattern = TempFolder() + std::string(prefix) + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) return std::nullopt;
  return std::string(buffer.data());
}

bool CreateFolders(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

void RemoveTree(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

}  // namespace tabulex::platform
