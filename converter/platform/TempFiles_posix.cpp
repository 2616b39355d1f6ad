// Unique files, replacing renames and terminal detection on POSIX systems.
#include <stdio.h>
#include <stdlib.h>
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

bool RenameOver(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (std::filesystem::is_directory(std::filesystem::path(to), ec)) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool StdinIsTerminal() {
  return isatty(STDIN_FILENO) != 0;
}

}  // namespace tabulex::platform
