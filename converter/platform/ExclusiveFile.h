// New files created exclusively under a unique name, written through the handle that created
// them and moved to their final name by a rename, so that no output path is opened twice by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tabulex::platform {

// Who may read a new file: whoever the umask lets (outputs), or its owner only (copies of the
// user's data in a shared temporary folder).
enum class Visibility { kUmask, kOwnerOnly };

// How a finished file takes its final name.
enum class Replace {
  kExisting,  // replaces whatever file is there
  kNothing,   // fails with kTargetExists when anything is there, atomically
};

enum class Moved { kDone, kTargetExists, kFailed };

// A file this process created under a fresh name (O_CREAT|O_EXCL|O_NOFOLLOW on POSIX,
// CREATE_NEW on Windows, so an existing file or link at the name is never opened). The file is
// removed when the object goes, unless it was moved to its final name.
class ExclusiveFile {
 public:
  // Creates `folder` + `prefix` + a random part + `suffix`; the system's temporary folder when
  // `folder` is empty. Nothing when no file could be created.
  static std::optional<ExclusiveFile> Create(const std::string& folder, std::string_view prefix,
                                             std::string_view suffix = {},
                                             Visibility visibility = Visibility::kUmask);

  ExclusiveFile(ExclusiveFile&& other) noexcept
      : path_(std::move(other.path_)), handle_(other.handle_), moved_(other.moved_) {
    other.handle_ = kClosed;
    other.moved_ = true;
  }
  ExclusiveFile& operator=(ExclusiveFile&&) = delete;
  ExclusiveFile(const ExclusiveFile&) = delete;
  ExclusiveFile& operator=(const ExclusiveFile&) = delete;
  ~ExclusiveFile();

  const std::string& Path() const { return path_; }

  // Appends the bytes through the creating handle; false on any failure (a full disk included).
  bool Write(std::string_view bytes);

  // Flushes the bytes to the disk and closes the handle. The name stays reserved, for another
  // writer (a component, an engine) that is handed the path; it is still removed at the end
  // unless moved.
  bool Close();

  // Gives the file the name `target`. A file still open must still be the one created here (a
  // name replaced meanwhile fails); it is flushed and closed first. Replacing an existing file
  // keeps that file's mode; a file that takes a free name gets the mode the umask gives new files.
  Moved MoveTo(const std::string& target, Replace replace);

 private:
  ExclusiveFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
  bool StillOurs() const;
  bool GiveMode(unsigned mode);

  std::string path_;
  // No file descriptor, and INVALID_HANDLE_VALUE on Windows.
  static constexpr std::intptr_t kClosed = -1;

  std::intptr_t handle_;  // a file descriptor or a HANDLE; kClosed once closed
  bool moved_ = false;
};

// The random part of a unique name: letters and digits, different on every call.
std::string UniqueNamePart();

}  // namespace tabulex::platform
