// Bounded byte streams: the input a sheet parses and the output it builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tabulex {

// Reads from an owned copy of the input bytes. Every read is checked against the end: a read
// that does not fit fails, leaves the position unchanged and makes the stream failed (sticky),
// so a run of reads needs one check at the end.
class InputStream {
 public:
  InputStream(const void* data, std::size_t size);
  explicit InputStream(std::string bytes);

  std::size_t Size() const { return bytes_.size(); }
  std::size_t Tell() const { return position_; }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }
  bool Failed() const { return failed_; }

  // One byte, or nothing at the end.
  std::optional<std::uint8_t> Get();
  // Steps back over the byte that the last successful Get returned.
  void Unget();
  // Exactly `count` bytes, or nothing when fewer remain.
  std::optional<std::string> Read(std::size_t count);
  std::optional<std::uint16_t> ReadU16LE();
  std::optional<std::uint16_t> ReadU16BE();
  // Moves to an absolute position; a position past the end fails.
  bool Seek(std::size_t position);

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }

  std::string bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

// A growable in-memory output with a write position, so fixed parts written first as
// placeholders can be overwritten once their contents are known.
class OutputStream {
 public:
  void Write(std::string_view bytes);
  void Put(std::uint8_t byte);
  void WriteU16LE(std::uint16_t value);
  void WriteU16BE(std::uint16_t value);
  // Moves the write position; moving past the end pads with zero bytes.
  void Seek(std::size_t position);
  std::size_t Tell() const { return position_; }
  std::size_t Size() const { return data_.size(); }
  const std::string& Contents() const { return data_; }

 private:
  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace tabulex
