// Finding out why a file operation failed, by looking at the path after the fact.
#include "converter/platform/FileProblems.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::platform {

namespace fs = std::filesystem;

namespace {

// The system's text for an error number, starting in lower case to follow a path and a colon.
std::string Reason(int error) {
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

// The longest name of one file or folder on the file systems in use, in bytes.
constexpr std::size_t kLongestPart = 255;

std::optional<std::string> PartProblem(std::string_view part) {
  if (part.size() > kLongestPart) {
    return "a part of it is longer than " + std::to_string(kLongestPart) + " bytes";
  }
  return SystemNamePartProblem(part);
}

// The file's own name is more than an extension: "sub/" + ".txt" points at a folder, and the file
// written would be a hidden one named after the extension.
std::optional<std::string> LastPartProblem(std::string_view part) {
  if (part.empty() || (part.front() == '.' && part.find('.', 1) == std::string_view::npos)) {
    return "it names a folder, not a file";
  }
  return std::nullopt;
}

constexpr std::string_view kProbePrefix = "~tx";
constexpr std::size_t kProbeSize = 64 * 1024;

}  // namespace

std::optional<std::string> ReadProblem(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(fs::path(path), ec);
  if (!fs::exists(status)) return "no such file";
  if (fs::is_directory(status)) return "is a folder, not a file";
  // Opening a pipe would wait for a writer, and a device may never end; neither is a sheet.
  if (!fs::is_regular_file(status)) return "is not a regular file";
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno != 0 ? Reason(errno) : std::string("cannot be opened");
  return std::nullopt;
}

std::optional<std::string> WriteProblem(const std::string& folder) {
  // Without its trailing separator, so that a file given as the folder is seen as a file.
  std::string bare = folder.empty() ? std::string(".") : folder;
  while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\')) bare.pop_back();
  const fs::path dir(bare);
  std::error_code ec;
  const fs::file_status status = fs::status(dir, ec);
  if (!fs::exists(status)) return "no such folder";
  if (!fs::is_directory(status)) return "not a folder";
  const fs::space_info space = fs::space(dir, ec);
  if (!ec && space.available == 0) return "no space left on the disk";
  errno = 0;
  // An empty folder is the current one here, never the temporary folder.
  std::optional<ExclusiveFile> probe =
      ExclusiveFile::Create(folder.empty() ? std::string("./") : folder, kProbePrefix);
  if (!probe) return errno != 0 ? Reason(errno) : std::string("files cannot be created there");
  // As much as a calculator sheet takes, so that a nearly full disk shows.
  errno = 0;
  const bool written = probe->Write(std::string(kProbeSize, '\0'));
  const int error = errno;
  probe.reset();  // removes the probe
  if (!written) return error != 0 ? Reason(error) : std::string("files cannot be written there");
  return std::nullopt;
}

std::optional<std::string> FileNameProblem(std::string_view name) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find_first_of("/\\", start);
    const std::string_view part =
        name.substr(start, end == std::string_view::npos ? end : end - start);
    if (std::optional<std::string> problem = PartProblem(part)) return problem;
    if (end == std::string_view::npos) return LastPartProblem(part);
    start = end + 1;
  }
}

}  // namespace tabulex::platform
