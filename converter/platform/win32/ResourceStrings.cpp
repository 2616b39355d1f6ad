// String-table entries through LoadStringA.
#include "converter/platform/win32/ResourceStrings.h"

#include <vector>

namespace tabulex::win32 {

namespace {
constexpr std::size_t kInitialBuffer = 512;
}

std::optional<std::string> ResourceStrings::Load(unsigned id) {
  // LoadStringA truncates to the buffer and gives no total length, so a text that fills the
  // buffer is read again into a larger one.
  for (std::size_t size = kInitialBuffer;; size *= 2) {
    std::vector<char> buffer(size);
    const int length = LoadStringA(module_, id, buffer.data(), static_cast<int>(size));
    if (length <= 0) return std::nullopt;
    if (static_cast<std::size_t>(length) + 1 < size) return std::string(buffer.data(), length);
  }
}

}  // namespace tabulex::win32
