// Exclusive files, no-replace renames, the writability check and terminal detection on POSIX
// systems.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::platform {

namespace {

// Names are random enough that a clash means someone is planting names ahead of us; give up
// after a few rather than loop.
constexpr int kCreateAttempts = 64;
// The open call applies the umask to these.
constexpr mode_t kUmaskMode = 0666;
constexpr mode_t kOwnerOnlyMode = 0600;

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

// Renames without replacing: renameat2 where the file system supports it, else a hard link
// (which fails on an existing name) and the removal of the old name.
Moved RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return Moved::kDone;
  }
  if (errno == EEXIST) return Moved::kTargetExists;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return Moved::kFailed;
  if (link(from.c_str(), to.c_str()) != 0) {
    return errno == EEXIST ? Moved::kTargetExists : Moved::kFailed;
  }
  unlink(from.c_str());
  return Moved::kDone;
}

// A name handed to another writer must still hold a plain file, never a link put there since.
bool HoldsPlainFile(const std::string& path) {
  struct stat named {};
  return lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode);
}

// The mode the user's umask gives a new file.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return kUmaskMode & ~mask;
}

// A file that replaces another keeps the mode of the file it replaces; one that takes a free name
// gets the mode a new file would get, whatever visibility it was created with.
mode_t ModeFor(const std::string& target) {
  struct stat existing {};
  return stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
             ? existing.st_mode & 07777
             : NewFileMode();
}

}  // namespace

std::string TempFolder() {
  std::error_code ec;
  std::string folder = std::filesystem::temp_directory_path(ec).string();
  if (ec || folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder.push_back('/');
  return folder;
}

std::optional<ExclusiveFile> ExclusiveFile::Create(const std::string& folder,
                                                   std::string_view prefix, std::string_view suffix,
                                                   Visibility visibility) {
  std::string base = folder.empty() ? TempFolder() : folder;
  if (base.back() != '/' && base.back() != '\\') base.push_back('/');
  const mode_t mode = visibility == Visibility::kOwnerOnly ? kOwnerOnlyMode : kUmaskMode;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string path = base + std::string(prefix) + UniqueNamePart() + std::string(suffix);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) return ExclusiveFile(std::move(path), fd);
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

ExclusiveFile::~ExclusiveFile() {
  if (handle_ != kClosed) close(Fd(handle_));
  // unlink removes a link planted at the name, never what it points to.
  if (!moved_ && !path_.empty()) unlink(path_.c_str());
}

bool ExclusiveFile::Write(std::string_view bytes) {
  if (handle_ == kClosed) return false;
  while (!bytes.empty()) {
    const ssize_t written = write(Fd(handle_), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool ExclusiveFile::Close() {
  if (handle_ == kClosed) return true;
  const bool synced = fsync(Fd(handle_)) == 0;
  const bool closed = close(Fd(handle_)) == 0;
  handle_ = kClosed;
  return synced && closed;
}

bool ExclusiveFile::StillOurs() const {
  struct stat held {};
  struct stat named {};
  if (fstat(Fd(handle_), &held) != 0 || lstat(path_.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool ExclusiveFile::GiveMode(unsigned mode) {
  const mode_t bits = static_cast<mode_t>(mode);
  return (handle_ != kClosed ? fchmod(Fd(handle_), bits) : chmod(path_.c_str(), bits)) == 0;
}

Moved ExclusiveFile::MoveTo(const std::string& target, Replace replace) {
  if (moved_) return Moved::kFailed;
  if (handle_ != kClosed ? !StillOurs() : !HoldsPlainFile(path_)) return Moved::kFailed;
  if (replace == Replace::kExisting && !GiveMode(ModeFor(target))) return Moved::kFailed;
  if (!Close()) return Moved::kFailed;
  Moved result = Moved::kFailed;
  if (replace == Replace::kExisting) {
    if (rename(path_.c_str(), target.c_str()) == 0) result = Moved::kDone;
  } else {
    result = RenameNoReplace(path_, target);
  }
  if (result == Moved::kDone) moved_ = true;
  return result;
}

bool CanOpenForWriting(const std::string& path) {
  // A folder refuses O_RDWR, so it counts as not writable.
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool StdinIsTerminal() {
  return isatty(STDIN_FILENO) != 0;
}

}  // namespace tabulex::platform
