// Unique files, replacing renames and terminal detection on POSIX systems.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "converter/platform/Files.h"

namespace tabulex::platform {

std::string TempFolder() {
  std::error_code ec;
  std::string folder = std::filesystem::temp_directory_path(ec).string();
  if (ec || folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder.push_back('/');
  return folder;
}

std::optional<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix) {
  std::string base = folder.empty() ? TempFolder() : folder;
  if (base.back() != '/' && base.back() != '\\') base.push_back('/');
  std::string pattern = base + std::string(prefix) + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return std::nullopt;
  close(fd);
  return std::string(buffer.data());
}

namespace {

// Files are created as the user's umask allows for a new file.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666) & ~mask;
}

// A unique file is created readable by its owner only; the output it becomes gets the mode of
// the file it replaces, or the mode a new file would get.
void GiveOutputMode(const std::string& temp, const std::string& target) {
  struct stat existing {};
  const mode_t mode =
      ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : NewFileMode();
  ::chmod(temp.c_str(), mode);
}

}  // namespace

bool RenameOver(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (std::filesystem::is_directory(std::filesystem::path(to), ec)) return false;
  GiveOutputMode(from, to);
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool StdinIsTerminal() {
  return isatty(STDIN_FILENO) != 0;
}

}  // namespace tabulex::platform
