// Conversion of text between UTF-8, UTF-16 and the converter's single-byte code page
// (Windows-1252).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulex::platform {

// UTF-16 is little-endian, as Windows writes "Unicode text"; byte-order marks are the caller's.
enum class Charset { kUtf8, kCp1252, kUtf16Le };

struct Transcoded {
  std::string bytes;
  // Characters the target cannot hold, and bytes that are no character of the source, each
  // written as one "?".
  std::size_t replaced = 0;
};

// Converts with the platform's own converter; the same charset on both sides copies the bytes.
Transcoded Transcode(std::string_view bytes, Charset from, Charset to);

// The platform's converter between two different charsets, which Transcode calls.
Transcoded TranscodeAcross(std::string_view bytes, Charset from, Charset to);

}  // namespace tabulex::platform
