// Text conversion on POSIX systems, with iconv.
#include <errno.h>
#include <iconv.h>

#include <stdexcept>

#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

namespace {

constexpr char kReplacement = '?';

const char* IconvName(Charset charset) {
  return charset == Charset::kUtf8 ? "UTF-8" : "WINDOWS-1252";
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
  // A Windows-1252 character takes at most 3 bytes in UTF-8; the other way never grows.
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
    const std::size_t skip = from == Charset::kUtf8 ? Utf8Length({in, inLeft}) : 1;
    in += skip;
    inLeft -= skip;
    *next++ = kReplacement;
    --outLeft;
    ++result.replaced;
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  result.bytes = std::move(out);
  return result;
}

}  // namespace tabulex::platform
