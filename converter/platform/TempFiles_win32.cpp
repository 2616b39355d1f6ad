// Exclusive files, no-replace renames and terminal detection on Windows.
#include <io.h>
#include <windows.h>

#include <vector>

#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::platform {

namespace {

constexpr int kCreateAttempts = 64;

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

std::string TempFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length > buffer.size()) {
    buffer.resize(length + 1);
    length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::string folder(buffer.data(), length);
  if (folder.empty()) folder = ".\\";
  if (folder.back() != '\\' && folder.back() != '/') folder.push_back('\\');
  return folder;
}

// The visibility is left to the folder's inherited access rules on this platform.
std::optional<ExclusiveFile> ExclusiveFile::Create(const std::string& folder,
                                                   std::string_view prefix, std::string_view suffix,
                                                   Visibility) {
  std::string base = folder.empty() ? TempFolder() : folder;
  if (base.back() != '/' && base.back() != '\\') base.push_back('\\');
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string path = base + std::string(prefix) + UniqueNamePart() + std::string(suffix);
    // CREATE_NEW fails on anything at the name, a link included, so nothing is followed.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      return ExclusiveFile(std::move(path), reinterpret_cast<std::intptr_t>(file));
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

ExclusiveFile::~ExclusiveFile() {
  if (handle_ != kClosed) CloseHandle(Handle(handle_));
  if (!moved_ && !path_.empty()) DeleteFileA(path_.c_str());
}

bool ExclusiveFile::Write(std::string_view bytes) {
  if (handle_ == kClosed) return false;
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(Handle(handle_), bytes.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool ExclusiveFile::Close() {
  if (handle_ == kClosed) return true;
  const bool flushed = FlushFileBuffers(Handle(handle_)) != 0;
  const bool closed = CloseHandle(Handle(handle_)) != 0;
  handle_ = kClosed;
  return flushed && closed;
}

// The handle denies deleting and renaming to others, so the name cannot change under it.
bool ExclusiveFile::StillOurs() const {
  return true;
}

Moved ExclusiveFile::MoveTo(const std::string& target, Replace replace) {
  if (moved_) return Moved::kFailed;
  if (handle_ != kClosed && !StillOurs()) return Moved::kFailed;
  if (!Close()) return Moved::kFailed;
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return replace == Replace::kNothing ? Moved::kTargetExists : Moved::kFailed;
  }
  const DWORD flags = replace == Replace::kExisting ? MOVEFILE_REPLACE_EXISTING : 0;
  if (MoveFileExA(path_.c_str(), target.c_str(), flags)) {
    moved_ = true;
    return Moved::kDone;
  }
  const DWORD error = GetLastError();
  if (replace == Replace::kNothing &&
      (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
    return Moved::kTargetExists;
  }
  return Moved::kFailed;
}

bool StdinIsTerminal() {
  return _isatty(_fileno(stdin)) != 0;
}

}  // namespace tabulex::platform
