// The calculator file wrappers as the variable-file component writes them, one table row per
// family, and the check of a file against its row.
#include "converter/driver/CalculatorWrapper.h"

#include <array>
#include <cstdio>

#include "converter/driver/FileTypes.h"
#include "converter/driver/Messages.h"
#include "converter/model/ByteStream.h"

namespace tabulex {

namespace {

enum class Order { kLittle, kBig };

// A field that states the file's length: the file ends `addend` bytes after the value.
struct SizeField {
  std::size_t offset;
  std::size_t width;  // 2 or 4 bytes
  Order order;
  std::size_t addend;
};

struct WrapperLayout {
  std::int32_t family;  // the first type of the family
  std::string_view familyName;
  std::array<std::string_view, 2> signatures;
  std::size_t headerSize;    // bytes before the variable data
  SizeField dataSize;        // the variable data's length; the data starts at headerSize
  SizeField fileSize;        // a second statement of the length, checked against the first
  std::size_t checksumFrom;  // the 16-bit sum covers the bytes from here to the checksum
};

constexpr std::size_t kSignatureLength = 8;
constexpr std::size_t kChecksumLength = kCalculatorChecksumLength;

// Where a type's variable data starts, as the table of file types gives it.
constexpr std::size_t HeaderSizeOf(std::int32_t type) {
  for (const CalculatorFileType& entry : kCalculatorFileTypes) {
    if (entry.fileType == type) return entry.dataOffset;
  }
  return 0;
}

constexpr std::size_t kKv52Header = HeaderSizeOf(ZQ_TABULEX_52P);
constexpr std::size_t kKv68Header = HeaderSizeOf(ZQ_TABULEX_68);

// clang-format off
constexpr std::array kWrappers = {
  WrapperLayout{ZQ_TABULEX_52P, "KV-52 Plus",   {"**KV52F*", "**KV52F*"}, kKv52Header,
                {57, 2, Order::kLittle, kKv52Header + kChecksumLength}, {53, 2, Order::kLittle, 55 + kChecksumLength}, 55},
  WrapperLayout{ZQ_TABULEX_68,  "KV-68 family", {"**KV68**", "**KV74P*"}, kKv68Header,
                {86, 2, Order::kBig,    kKv68Header + kChecksumLength}, {76, 4, Order::kLittle, 0},                    86},
};
// clang-format on

const WrapperLayout* LayoutOf(std::int32_t type) {
  const std::int32_t family = IsKv68Family(type) ? ZQ_TABULEX_68 : type;
  for (const WrapperLayout& layout : kWrappers) {
    if (layout.family == family) return &layout;
  }
  return nullptr;
}

// The file length a size field states; nothing when the field lies past the file's end.
std::optional<std::size_t> StatedLength(InputStream& in, const SizeField& field) {
  if (!in.Seek(field.offset)) return std::nullopt;
  std::optional<std::uint16_t> first = field.order == Order::kBig ? in.ReadU16BE() : in.ReadU16LE();
  std::optional<std::uint16_t> second = std::uint16_t{0};
  if (field.width == 4) second = in.ReadU16LE();
  if (!first || !second) return std::nullopt;
  return (static_cast<std::size_t>(*second) << 16 | *first) + field.addend;
}

std::uint16_t Sum(std::string_view bytes) {
  std::uint32_t sum = 0;
  for (char c : bytes) sum += static_cast<std::uint8_t>(c);
  return static_cast<std::uint16_t>(sum);
}

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

// Whether the file starts with one of the family's signatures.
bool Signed(const WrapperLayout& layout, std::string_view file) {
  const std::string_view signature = file.substr(0, kSignatureLength);
  return signature == layout.signatures[0] || signature == layout.signatures[1];
}

std::string CutShort(std::size_t have, std::size_t stated) {
  return "file is cut short: " + messages::GroupedDigits(have) + " of " +
         messages::GroupedDigits(stated) + " bytes";
}

// The checksum is read where the size fields put it; a mismatch is only a warning.
std::optional<std::string> ChecksumWarning(const WrapperLayout& layout, std::string_view file,
                                           std::size_t end) {
  InputStream in(file.data(), file.size());
  if (!in.Seek(end)) return std::nullopt;
  const std::optional<std::uint16_t> stored = in.ReadU16LE();
  const std::uint16_t computed = Sum(file.substr(layout.checksumFrom, end - layout.checksumFrom));
  if (!stored || *stored == computed) return std::nullopt;
  return "checksum mismatch (stored " + Hex4(*stored) + ", computed " + Hex4(computed) +
         "): the file is damaged, and the cells read from it may be wrong";
}

}  // namespace

std::optional<std::string_view> CalculatorFamilyOf(std::string_view file) {
  for (const WrapperLayout& layout : kWrappers) {
    if (Signed(layout, file)) return layout.familyName;
  }
  return std::nullopt;
}

WrapperCheck CheckWrapper(std::int32_t type, std::string_view file) {
  WrapperCheck check;
  const WrapperLayout* layout = LayoutOf(type);
  if (!layout) {
    check.refusal = "not a calculator spreadsheet file";
    return check;
  }
  if (!Signed(*layout, file)) {
    check.refusal = "not a " + std::string(layout->familyName) + " spreadsheet file";
    return check;
  }
  InputStream in(file.data(), file.size());
  const std::optional<std::size_t> byData = StatedLength(in, layout->dataSize);
  const std::optional<std::size_t> byFile = StatedLength(in, layout->fileSize);
  if (!byData || !byFile) {
    check.refusal = CutShort(file.size(), layout->headerSize + kChecksumLength);
    return check;
  }
  const std::size_t stated = std::max(*byData, *byFile);
  if (stated > file.size()) {
    check.refusal = CutShort(file.size(), stated);
    return check;
  }
  check.dataOffset = layout->headerSize;
  check.dataSize = *byData - layout->headerSize - kChecksumLength;
  check.warning = ChecksumWarning(*layout, file, *byData - kChecksumLength);
  if (!check.warning && (*byFile != *byData || *byData != file.size())) {
    check.warning = "its size fields say " + messages::GroupedDigits(*byData) + " and " +
                    messages::GroupedDigits(*byFile) + " bytes, but it has " +
                    messages::GroupedDigits(file.size()) +
                    ": the file is damaged, and the cells read from it may be wrong";
  }
  return check;
}

}  // namespace tabulex
