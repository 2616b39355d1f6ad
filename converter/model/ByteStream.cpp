// Bounded input and growable output byte streams.
#include "converter/model/ByteStream.h"

#include <cstring>

namespace tabulex {

InputStream::InputStream(const void* data, std::size_t size)
    : owned_(size == 0 ? std::string() : std::string(static_cast<const char*>(data), size)),
      bytes_(owned_),
      owns_(true) {}

InputStream::InputStream(std::string bytes)
    : owned_(std::move(bytes)), bytes_(owned_), owns_(true) {}

InputStream InputStream::Over(std::string_view bytes) {
  return InputStream(bytes, Borrowed{});
}

InputStream::InputStream(InputStream&& other) noexcept
    : owned_(std::move(other.owned_)),
      bytes_(other.bytes_),
      position_(other.position_),
      failure_(other.failure_),
      owns_(other.owns_) {
  if (owns_) bytes_ = owned_;
}

void InputStream::Fail(std::size_t wanted) {
  if (!failure_) failure_ = StreamFailure{position_, wanted};
}

std::optional<std::string_view> InputStream::Slice(std::size_t count) {
  // Compared with what remains, so a huge count cannot wrap around.
  if (failure_ || count > Remaining()) {
    Fail(count);
    return std::nullopt;
  }
  std::string_view result = bytes_.substr(position_, count);
  position_ += count;
  return result;
}

std::optional<std::uint8_t> InputStream::Get() {
  std::optional<std::string_view> byte = Slice(1);
  if (!byte) return std::nullopt;
  return static_cast<std::uint8_t>((*byte)[0]);
}

void InputStream::Unget() {
  if (!failure_ && position_ > 0) --position_;
}

std::optional<std::string> InputStream::Read(std::size_t count) {
  std::optional<std::string_view> bytes = Slice(count);
  if (!bytes) return std::nullopt;
  return std::string(*bytes);
}

std::optional<std::uint16_t> InputStream::ReadU16LE() {
  std::optional<std::string_view> bytes = Slice(2);
  if (!bytes) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>((*bytes)[0]) |
                                    static_cast<std::uint8_t>((*bytes)[1]) << 8);
}

std::optional<std::uint16_t> InputStream::ReadU16BE() {
  std::optional<std::string_view> bytes = Slice(2);
  if (!bytes) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>((*bytes)[0]) << 8 |
                                    static_cast<std::uint8_t>((*bytes)[1]));
}

std::optional<std::uint32_t> InputStream::ReadU32LE() {
  std::optional<std::string_view> bytes = Slice(4);
  if (!bytes) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>((*bytes)[i]);
  return value;
}

bool InputStream::Seek(std::size_t position) {
  if (failure_ || position > bytes_.size()) {
    Fail(0);
    return false;
  }
  position_ = position;
  return true;
}

void OutputStream::Write(std::string_view bytes) {
  if (position_ == data_.size()) {
    // Writing at the end, as writers mostly do: one copy, no zero fill first.
    data_.append(bytes);
    position_ = data_.size();
    return;
  }
  if (position_ + bytes.size() > data_.size()) data_.resize(position_ + bytes.size());
  if (!bytes.empty()) std::memcpy(data_.data() + position_, bytes.data(), bytes.size());
  position_ += bytes.size();
}

void OutputStream::Put(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  Write(std::string_view(&c, 1));
}

void OutputStream::WriteU16LE(std::uint16_t value) {
  Put(static_cast<std::uint8_t>(value & 0xFF));
  Put(static_cast<std::uint8_t>(value >> 8));
}

void OutputStream::WriteU16BE(std::uint16_t value) {
  Put(static_cast<std::uint8_t>(value >> 8));
  Put(static_cast<std::uint8_t>(value & 0xFF));
}

void OutputStream::WriteU32LE(std::uint32_t value) {
  WriteU16LE(static_cast<std::uint16_t>(value & 0xFFFF));
  WriteU16LE(static_cast<std::uint16_t>(value >> 16));
}

void OutputStream::WriteZeros(std::size_t count) {
  if (position_ == data_.size()) {
    data_.append(count, '\0');
    position_ = data_.size();
    return;
  }
  Write(std::string(count, '\0'));
}

void OutputStream::WritePadded(std::string_view text, std::size_t width) {
  text = text.substr(0, width);
  Write(text);
  WriteZeros(width - text.size());
}

void OutputStream::Seek(std::size_t position) {
  if (position > data_.size()) data_.resize(position);
  position_ = position;
}

}  // namespace tabulex
