// Text conversion shared by every platform: the same charset on both sides is a copy.
#include "converter/platform/TextEncoding.h"

namespace tabulex::platform {

Transcoded Transcode(std::string_view bytes, Charset from, Charset to) {
  if (from == to) return Transcoded{std::string(bytes), 0};
  return TranscodeAcross(bytes, from, to);
}

}  // namespace tabulex::platform
