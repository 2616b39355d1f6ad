// Unique files, replacing renames and terminal detection on Windows.
#include <io.h>
#include <windows.h>

#include <vector>

#include "converter/platform/Files.h"

namespace tabulex::platform {

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

std::optional<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix) {
  const std::string base = folder.empty() ? TempFolder() : folder;
  const std::string prefixText(prefix);
  // The platform call creates the file empty under a name it chose: prefix, number, ".tmp".
  std::vector<char> buffer(base.size() + 32 + MAX_PATH);
  if (GetTempFileNameA(base.c_str(), prefixText.c_str(), 0, buffer.data()) == 0) {
    return std::nullopt;
  }
  return std::string(buffer.data());
}

bool RenameOver(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool StdinIsTerminal() {
  return _isatty(_fileno(stdin)) != 0;
}

}  // namespace tabulex::platform
