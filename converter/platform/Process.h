// Child processes and private folders for helpers that run beside the converter (POSIX only).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulex::platform {

// Starts `argv[0]` (a full path) with the arguments in a session of its own, with its standard
// streams on /dev/null, and binds it to this process: the system kills it when this process
// ends, however it ends. (The system ties this to the calling thread: call it from a thread that
// lives as long as the child may.) Returns the child's process id, or nothing when it cannot be
// started.
std::optional<int> SpawnBoundChild(const std::vector<std::string>& argv);

// Makes a write to a pipe or socket whose other end has gone fail with an error, instead of
// ending this process: a helper talked to over a pipe may die at any moment.
void IgnoreBrokenPipes();

// Waits up to `timeout` for the child to end and reaps it. Returns its exit status (128 plus
// the signal number when a signal ended it), or nothing while it still runs.
std::optional<int> WaitChild(int pid, std::chrono::milliseconds timeout);

// Kills the child and reaps it.
void KillChild(int pid);

// The id of this process.
int CurrentProcessId();

// Whether a process with this id runs.
bool ProcessRuns(int pid);

// Whether the path names a file this process may execute.
bool IsExecutableFile(const std::string& path);

// Creates a new, empty folder with a unique name made of `prefix` and a system-chosen part in
// the system's temporary folder and returns its path, without a trailing separator.
std::optional<std::string> CreateUniqueFolder(std::string_view prefix);

// Creates a folder and the folders above it that are missing; true when it exists after.
bool CreateFolders(const std::string& path);

// Removes a folder and everything in it; nothing happens when it does not exist.
void RemoveTree(const std::string& path);

// The names of the entries in a folder, in no particular order; empty when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

}  // namespace tabulex::platform
