// Bounded input and growable output byte streams.
#include "converter/model/ByteStream.h"

#include <cstring>

namespace tabulex {

InputStream::InputStream(const void* data, std::size_t size)
    : bytes_(size == 0 ? std::string() : std::string(static_cast<const char*>(data), size)) {}

InputStream::InputStream(std::string bytes) : bytes_(std::move(bytes)) {}

std::optional<std::uint8_t> InputStream::Get() {
  if (position_ >= bytes_.size()) {
    Fail();
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(bytes_[position_++]);
}

void InputStream::Unget() {
  if (position_ > 0) --position_;
}

std::optional<std::string> InputStream::Read(std::size_t count) {
  if (count > Remaining()) {
    Fail();
    return std::nullopt;
  }
  std::string result = bytes_.substr(position_, count);
  position_ += count;
  return result;
}

std::optional<std::uint16_t> InputStream::ReadU16LE() {
  if (Remaining() < 2) {
    Fail();
    return std::nullopt;
  }
  auto lo = static_cast<std::uint8_t>(bytes_[position_]);
  auto hi = static_cast<std::uint8_t>(bytes_[position_ + 1]);
  position_ += 2;
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::optional<std::uint16_t> InputStream::ReadU16BE() {
  if (Remaining() < 2) {
    Fail();
    return std::nullopt;
  }
  auto hi = static_cast<std::uint8_t>(bytes_[position_]);
  auto lo = static_cast<std::uint8_t>(bytes_[position_ + 1]);
  position_ += 2;
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

bool InputStream::Seek(std::size_t position) {
  if (position > bytes_.size()) return Fail();
  position_ = position;
  return true;
}

void OutputStream::Write(std::string_view bytes) {
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

void OutputStream::Seek(std::size_t position) {
  if (position > data_.size()) data_.resize(position);
  position_ = position;
}

}  // namespace tabulex
