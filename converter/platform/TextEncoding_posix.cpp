// Text conversion on POSIX systems, with iconv.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <stdexcept>

#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

namespace {

constexpr std::size_t kUtf16Unit = 2;

const char* IconvName(Charset charset) {
  switch (charset) {
    case Charset::kUtf8:
      return "UTF-8";
    case Charset::kUtf16Le:
      return "UTF-16LE";
    case Charset::kCp1252:
      break;
  }
  return "WINDOWS-1252";
}

// The "?" that stands for a character the target cannot hold, in the target's charset.
std::string_view Replacement(Charset charset) {
  return charset == Charset::kUtf16Le ? std::string_view("?\0", kUtf16Unit) : "?";
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// How many bytes the UTF-8 character at the start of `bytes` takes; 1 when they are no
// character, so that a bad byte is skipped alone.
std::size_t Utf8Length(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 1;
  if (length > bytes.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(bytes[i]))) return 1;
  }
  return length;
}

// How many bytes the UTF-16 character at the start of `bytes` takes: a surrogate pair is one
// character; a unit cut short, or a surrogate without its partner, is skipped alone.
std::size_t Utf16Length(std::string_view bytes) {
  const auto unitAt = [&bytes](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
  };
  constexpr unsigned kHighFirst = 0xD800;
  constexpr unsigned kLowFirst = 0xDC00;
  constexpr unsigned kLowEnd = 0xE000;
  if (bytes.size() < kUtf16Unit) return bytes.size();
  const unsigned unit = unitAt(0);
  const bool high = unit >= kHighFirst && unit < kLowFirst;
  if (high && bytes.size() >= 2 * kUtf16Unit) {
    const unsigned next = unitAt(kUtf16Unit);
    if (next >= kLowFirst && next < kLowEnd) return 2 * kUtf16Unit;
  }
  return kUtf16Unit;
}

// The length of the character at the start of `bytes`, which iconv refused.
std::size_t RefusedLength(std::string_view bytes, Charset from) {
  switch (from) {
    case Charset::kUtf8:
      return Utf8Length(bytes);
    case Charset::kUtf16Le:
      return Utf16Length(bytes);
    case Charset::kCp1252:
      break;
  }
  return 1;
}

// Owns an iconv conversion descriptor.
class Converter {
 public:
  Converter(Charset from, Charset to) : cd_(iconv_open(IconvName(to), IconvName(from))) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(cd_); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

Transcoded TranscodeAcross(std::string_view bytes, Charset from, Charset to) {
  Transcoded result;
  Converter converter(from, to);
  // A byte of the source takes at most 3 bytes in the target (a Windows-1252 byte in UTF-8), and
  // a replacement no more than the character it stands for, doubled.
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* next = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(converter.Get(), &in, &inLeft, &next, &outLeft) != static_cast<std::size_t>(-1)) {
      break;
    }
    if (errno != EILSEQ && errno != EINVAL) throw std::runtime_error("iconv");
    // A character the target cannot hold, or bytes that are no character: one "?" for it.
    const std::size_t skip = RefusedLength({in, inLeft}, from);
    in += skip;
    inLeft -= skip;
    const std::string_view replacement = Replacement(to);
    next = std::copy(replacement.begin(), replacement.end(), next);
    outLeft -= replacement.size();
    ++result.replaced;
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  result.bytes = std::move(out);
  return result;
}

}  // namespace tabulex::platform
