// Portable parts of the file access layer, on the standard library's filesystem and streams.
#include "converter/platform/Files.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "converter/platform/ExclusiveFile.h"

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

std::string UniqueNamePart() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static constexpr int kLength = 10;
  static std::atomic<std::uint64_t> counter{0};
  // Seeded per thread from the system's entropy, the clock and a counter, so that threads and
  // processes started together still draw different names.
  thread_local std::mt19937_64 generator([] {
    std::random_device entropy;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seed{entropy(), entropy(), static_cast<unsigned>(now),
                       static_cast<unsigned>(now >> 32),
                       static_cast<unsigned>(counter.fetch_add(1))};
    return std::mt19937_64(seed);
  }());
  std::string part;
  for (int i = 0; i < kLength; ++i) part.push_back(kAlphabet[generator() % kAlphabet.size()]);
  return part;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace tabulex::platform
