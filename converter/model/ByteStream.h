// Bounded byte streams: the input a reader parses and the output a writer builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex {

// Where a stream's first failed read was and how many bytes it wanted.
struct StreamFailure {
  std::size_t offset = 0;
  std::size_t wanted = 0;
};

// Reads bytes, every read checked against the end. A read that does not fit fails and leaves
// the position unchanged; the first failure is recorded and the stream refuses every read after
// it (sticky), so a run of reads needs one check at the end.
class InputStream {
 public:
  // Over an owned copy of the bytes.
  InputStream(const void* data, std::size_t size);
  explicit InputStream(std::string bytes);
  // Over bytes owned elsewhere, which must outlive the stream.
  static InputStream Over(std::string_view bytes);

  InputStream(InputStream&& other) noexcept;
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;
  InputStream& operator=(InputStream&&) = delete;

  std::size_t Size() const { return bytes_.size(); }
  // All the bytes, whatever the position; valid while the stream is.
  std::string_view Bytes() const { return bytes_; }
  std::size_t Tell() const { return position_; }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }
  bool Failed() const { return failure_.has_value(); }
  const std::optional<StreamFailure>& Failure() const { return failure_; }

  // One byte, or nothing at the end.
  std::optional<std::uint8_t> Get();
  // Steps back over the byte that the last successful Get returned.
  void Unget();
  // Exactly `count` bytes, or nothing when fewer remain.
  std::optional<std::string> Read(std::size_t count);
  // The next `count` bytes in place, without a copy; valid while the stream's bytes are.
  std::optional<std::string_view> Slice(std::size_t count);
  std::optional<std::uint16_t> ReadU16LE();
  std::optional<std::uint16_t> ReadU16BE();
  std::optional<std::uint32_t> ReadU32LE();
  // Moves to an absolute position; a position past the end fails.
  bool Seek(std::size_t position);

 private:
  struct Borrowed {};
  InputStream(std::string_view bytes, Borrowed) : bytes_(bytes) {}
  void Fail(std::size_t wanted);

  std::string owned_;
  std::string_view bytes_;
  std::size_t position_ = 0;
  std::optional<StreamFailure> failure_;
  bool owns_ = false;
};

// A growable in-memory output with a write position, so fixed parts written first as
// placeholders can be overwritten once their contents are known.
class OutputStream {
 public:
  void Write(std::string_view bytes);
  void Put(std::uint8_t byte);
  void WriteU16LE(std::uint16_t value);
  void WriteU16BE(std::uint16_t value);
  void WriteU32LE(std::uint32_t value);
  // Writes `count` zero bytes.
  void WriteZeros(std::size_t count);
  // Makes room for `count` bytes in all, so that writing up to that size does not reallocate.
  void Reserve(std::size_t count) { data_.reserve(count); }
  // Writes `text` cut or padded with zero bytes to exactly `width` bytes.
  void WritePadded(std::string_view text, std::size_t width);
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
