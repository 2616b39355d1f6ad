// The text encodings of the command line: which charset a text file is in, and the converter
// hooks that turn text files into the converter's code page and back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "converter/driver/Components.h"
#include "converter/platform/TextEncoding.h"

namespace tabulex::cli {

// --encoding: auto finds a text source's charset and writes a text target in it.
enum class EncodingChoice { kAuto, kUtf8, kCp1252, kUtf16 };

std::optional<EncodingChoice> EncodingFromName(std::string_view name);

// Whether the bytes are well-formed UTF-8 and hold at least one byte outside ASCII, which is
// what a UTF-8 file looks like and a Windows-1252 file almost never does.
bool LooksLikeUtf8(std::string_view bytes);

enum class ByteOrder { kLittleEndian, kBigEndian };

// Whether the bytes read as UTF-16 of mostly Western letters in the given byte order: whole
// units, none of them zero, and at least half with a zero high byte. A UTF-8 or Windows-1252
// text holds no zero byte at all, and read as one, such a file would lose every cell after its
// first letter.
bool LooksLikeUtf16(std::string_view bytes, ByteOrder order);

// Decodes text sources and encodes text targets of one conversion; counts the characters that
// became "?".
class TextCodec {
 public:
  explicit TextCodec(EncodingChoice choice) : choice_(choice) {}

  // File bytes to the converter's code page; a byte-order mark is skipped. In auto, UTF-16 is
  // known by its byte-order mark, which programs put in front of it ("Unicode text"), or, for
  // a file written without one, by its zero bytes (LooksLikeUtf16); big-endian UTF-16 too.
  std::string Decode(std::string_view fileBytes);
  // The converter's code page to file bytes: the charset chosen, else the text source's, else
  // UTF-8 (when the source was not text). UTF-16 gets its byte-order mark.
  std::string Encode(std::string_view codePageBytes);
  std::size_t Replaced() const { return replaced_; }

  // Makes the converter call this codec; it must outlive the conversions.
  void Install(ConverterServices& services);

 private:
  EncodingChoice choice_;
  std::optional<platform::Charset> sourceCharset_;
  std::size_t replaced_ = 0;
};

}  // namespace tabulex::cli
