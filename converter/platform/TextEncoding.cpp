// Text conversion shared by every platform: the same charset on both sides is a copy, and so is
// a text of ASCII alone.
#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

namespace {

constexpr unsigned char kFirstNonAscii = 0x80;

// Whether every byte is ASCII, which UTF-8 and Windows-1252 write alike. No early exit, so the
// loop stays a plain OR over the bytes.
bool IsAscii(std::string_view bytes) {
  unsigned char seen = 0;
  for (const char byte : bytes) seen |= static_cast<unsigned char>(byte);
  return seen < kFirstNonAscii;
}

}  // namespace

// Nearly every sheet is ASCII: copying it spares the platform's converter, whose start alone
// (loading its Windows-1252 tables) costs more than converting a whole sheet.
Transcoded Transcode(std::string_view bytes, Charset from, Charset to) {
  const bool wide = from == Charset::kUtf16Le || to == Charset::kUtf16Le;
  if (from == to || (!wide && IsAscii(bytes))) return Transcoded{std::string(bytes), 0};
  return TranscodeAcross(bytes, from, to);
}

}  // namespace tabulex::platform
