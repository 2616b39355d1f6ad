// Portable parts of the file access layer, on the standard library's filesystem and streams.
#include "converter/platform/Files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace tabulex::platform {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  in.seekg(0, std::ios::beg);
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(bytes.data(), size)) return std::nullopt;
  return bytes;
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::path(path), ec);
}

std::optional<std::uintmax_t> FileSize(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(fs::path(path), ec);
  if (ec) return std::nullopt;
  return size;
}

bool CanOpenForWriting(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(fs::path(path), ec)) return false;
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  return static_cast<bool>(f);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  if (fs::is_regular_file(fs::path(path), ec)) fs::remove(fs::path(path), ec);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace tabulex::platform
