// Exclusive files, no-replace renames, the writability check and terminal detection on Windows.
#include <io.h>
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::platform {

namespace {

constexpr int kCreateAttempts = 64;
// Another writer holds a file it has just renamed for a moment; its sharing rules refuse every
// open until it lets go. Such a hold is waited out (up to 10 x 20 ms) before the file counts as
// locked, as a file open in another program is.
constexpr int kSharingRetries = 10;
constexpr DWORD kSharingRetryMs = 20;

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// A path in the system's wide characters, made absolute and given the prefix of the native
// namespace ("\\??\\C:\\..." or "\\??\\UNC\\server\\..."), which a rename by handle takes as it is.
std::wstring NativePath(const std::string& path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return {};
  full.resize(written);
  // A path already in the long form ("\\\\?\\C:\\...") only changes its prefix.
  if (full.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + full.substr(4);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + full.substr(2);
  return L"\\??\\" + full;
}

// Renames the file behind `file` to `target`. The rename goes through the handle: the target
// name is never opened, so another writer that holds it open meanwhile does not turn a taken
// name into a failure, nor does this rename lock the name against that writer.
Moved RenameByHandle(HANDLE file, const std::string& target, Replace replace) {
  const std::wstring name = NativePath(target);
  if (name.empty()) return Moved::kFailed;
  const std::size_t nameBytes = name.size() * sizeof(wchar_t);
  std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace == Replace::kExisting ? TRUE : FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, name.c_str(), nameBytes + sizeof(wchar_t));
  if (SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size()))) {
    return Moved::kDone;
  }
  const DWORD error = GetLastError();
  if (replace == Replace::kNothing &&
      (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
    return Moved::kTargetExists;
  }
  return Moved::kFailed;
}

// Opens a closed file's name again for the rename only. A link put at the name is opened as the
// link, never followed, and refused like anything else that is not a plain file.
HANDLE OpenForRename(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  if (file == INVALID_HANDLE_VALUE) return file;
  if (GetFileInformationByHandle(file, &info) &&
      !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    return file;
  }
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
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
    // DELETE access lets the file be renamed through this handle when it is finished.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

Moved ExclusiveFile::MoveTo(const std::string& target, Replace replace) {
  if (moved_) return Moved::kFailed;
  if (handle_ != kClosed && !FlushFileBuffers(Handle(handle_))) return Moved::kFailed;
  const bool open = handle_ != kClosed;
  const HANDLE file = open ? Handle(handle_) : OpenForRename(path_);
  if (file == INVALID_HANDLE_VALUE) return Moved::kFailed;
  // The bytes are on the disk already, so closing cannot lose them.
  const Moved result = RenameByHandle(file, target, replace);
  CloseHandle(file);
  if (open) handle_ = kClosed;
  moved_ = result == Moved::kDone;
  return result;
}

bool CanOpenForWriting(const std::string& path) {
  for (int attempt = 0;; ++attempt) {
    // A folder cannot be opened without backup semantics, so it counts as not writable.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION || attempt == kSharingRetries) return false;
    Sleep(kSharingRetryMs);
  }
}

bool StdinIsTerminal() {
  return _isatty(_fileno(stdin)) != 0;
}

}  // namespace tabulex::platform
