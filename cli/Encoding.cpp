// Finding a text file's charset and converting it for the converter.
#include "cli/Encoding.h"

#include <utility>

namespace tabulex::cli {

namespace {

using platform::Charset;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";  // little-endian
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// The count of continuation bytes a UTF-8 lead byte announces; nothing for a byte that cannot
// lead.
std::optional<int> ContinuationsOf(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return std::nullopt;
}

// The bytes with each pair swapped, which turns big-endian UTF-16 into little-endian.
std::string SwappedPairs(std::string_view bytes) {
  std::string swapped(bytes);
  for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
  return swapped;
}

// Whether the text is big-endian UTF-16: by its mark, or in auto by its zero bytes.
bool IsBigEndianUtf16(std::string_view bytes, EncodingChoice choice) {
  if (choice == EncodingChoice::kUtf8 || choice == EncodingChoice::kCp1252) return false;
  return bytes.starts_with(kUtf16BigEndianMark) ||
         (choice == EncodingChoice::kAuto && LooksLikeUtf16(bytes, ByteOrder::kBigEndian));
}

}  // namespace

std::optional<EncodingChoice> EncodingFromName(std::string_view name) {
  if (name == "auto") return EncodingChoice::kAuto;
  if (name == "utf-8" || name == "utf8") return EncodingChoice::kUtf8;
  if (name == "cp1252" || name == "windows-1252") return EncodingChoice::kCp1252;
  if (name == "utf-16" || name == "utf16") return EncodingChoice::kUtf16;
  return std::nullopt;
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool nonAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::optional<int> more = ContinuationsOf(static_cast<unsigned char>(bytes[i]));
    if (!more || i + static_cast<std::size_t>(*more) >= bytes.size()) return false;
    for (int k = 1; k <= *more; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    nonAscii = nonAscii || *more > 0;
    i += static_cast<std::size_t>(*more) + 1;
  }
  return nonAscii;
}

bool LooksLikeUtf16(std::string_view bytes, ByteOrder order) {
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  const std::size_t high = order == ByteOrder::kLittleEndian ? 1 : 0;
  std::size_t zeroHigh = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const bool lowZero = bytes[i + 1 - high] == '\0';
    const bool highZero = bytes[i + high] == '\0';
    if (lowZero && highZero) return false;  // U+0000 is in no text
    if (highZero) ++zeroHigh;
  }
  return zeroHigh * 2 >= bytes.size() / 2;
}

std::string TextCodec::Decode(std::string_view fileBytes) {
  // Big-endian UTF-16 is read as little-endian after a swap; a text output is then written
  // little-endian, with the mark.
  const bool bigEndian = IsBigEndianUtf16(fileBytes, choice_);
  const std::string swapped = bigEndian ? SwappedPairs(fileBytes) : std::string();
  if (bigEndian) fileBytes = swapped;
  const bool utf16 =
      choice_ == EncodingChoice::kUtf16 || bigEndian ||
      (choice_ == EncodingChoice::kAuto &&
       (fileBytes.starts_with(kUtf16Mark) || LooksLikeUtf16(fileBytes, ByteOrder::kLittleEndian)));
  const std::string_view mark = utf16 ? kUtf16Mark : kByteOrderMark;
  const bool bom = fileBytes.starts_with(mark);
  if (bom && choice_ != EncodingChoice::kCp1252) fileBytes.remove_prefix(mark.size());
  switch (choice_) {
    case EncodingChoice::kUtf8:
      sourceCharset_ = Charset::kUtf8;
      break;
    case EncodingChoice::kCp1252:
      sourceCharset_ = Charset::kCp1252;
      break;
    case EncodingChoice::kUtf16:
      sourceCharset_ = Charset::kUtf16Le;
      break;
    case EncodingChoice::kAuto:
      sourceCharset_ = utf16                             ? Charset::kUtf16Le
                       : bom || LooksLikeUtf8(fileBytes) ? Charset::kUtf8
                                                         : Charset::kCp1252;
      break;
  }
  platform::Transcoded decoded = platform::Transcode(fileBytes, *sourceCharset_, Charset::kCp1252);
  replaced_ += decoded.replaced;
  return std::move(decoded.bytes);
}

std::string TextCodec::Encode(std::string_view codePageBytes) {
  const Charset target = choice_ == EncodingChoice::kUtf8     ? Charset::kUtf8
                         : choice_ == EncodingChoice::kCp1252 ? Charset::kCp1252
                         : choice_ == EncodingChoice::kUtf16
                             ? Charset::kUtf16Le
                             : sourceCharset_.value_or(Charset::kUtf8);
  platform::Transcoded encoded = platform::Transcode(codePageBytes, Charset::kCp1252, target);
  replaced_ += encoded.replaced;
  if (target == Charset::kUtf16Le) encoded.bytes.insert(0, kUtf16Mark);
  return std::move(encoded.bytes);
}

void TextCodec::Install(ConverterServices& services) {
  services.decodeText = [this](std::string_view bytes) { return Decode(bytes); };
  services.encodeText = [this](std::string_view bytes) { return Encode(bytes); };
}

}  // namespace tabulex::cli
