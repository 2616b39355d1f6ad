// The bounded input stream: reads past the end, wrap-around sizes, stickiness, failure position.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "converter/model/ByteStream.h"
#include "tests/support/Bytes.h"

namespace tabulex {
namespace {

using testing::Bytes;

TEST(InputStream, ReadsEachWidthInItsByteOrder) {
  InputStream in(Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09}));
  EXPECT_EQ(in.ReadU16LE(), 0x0201);
  EXPECT_EQ(in.ReadU16BE(), 0x0304);
  EXPECT_EQ(in.ReadU32LE(), 0x08070605u);
  EXPECT_EQ(in.Get(), 0x09);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_FALSE(in.Failed());
}

TEST(InputStream, FailedReadKeepsThePositionAndTheFirstFailureSticks) {
  InputStream in(Bytes({0x01, 0x02, 0x03}));
  ASSERT_EQ(in.Get(), 0x01);
  EXPECT_EQ(in.ReadU32LE(), std::nullopt);
  EXPECT_EQ(in.Tell(), 1u);
  ASSERT_TRUE(in.Failure());
  EXPECT_EQ(in.Failure()->offset, 1u);
  EXPECT_EQ(in.Failure()->wanted, 4u);
  // Later reads are refused, even one that would fit; the position and the first failure stay.
  EXPECT_EQ(in.Get(), std::nullopt);
  EXPECT_EQ(in.Read(5), std::nullopt);  // would fail on its own, with another size
  EXPECT_EQ(in.Slice(1), std::nullopt);
  EXPECT_FALSE(in.Seek(0));
  EXPECT_EQ(in.Tell(), 1u);
  EXPECT_EQ(in.Failure()->offset, 1u);
  EXPECT_EQ(in.Failure()->wanted, 4u);
}

TEST(InputStream, HugeSizesDoNotWrapAround) {
  InputStream in(Bytes({0x01, 0x02}));
  ASSERT_EQ(in.Get(), 0x01);
  EXPECT_EQ(in.Slice(std::numeric_limits<std::size_t>::max()), std::nullopt);
  EXPECT_EQ(in.Tell(), 1u);
  InputStream seeking(Bytes({0x01}));
  EXPECT_FALSE(seeking.Seek(std::numeric_limits<std::size_t>::max()));
  // A seek to the end is allowed; past it fails and the position stays.
  InputStream ending(Bytes({0x01, 0x02}));
  EXPECT_TRUE(ending.Seek(2));
  EXPECT_TRUE(ending.AtEnd());
  EXPECT_FALSE(ending.Seek(3));
  EXPECT_EQ(ending.Tell(), 2u);
}

TEST(InputStream, SliceViewsTheBytesInPlaceAndAMovedStreamKeepsItsOwn) {
  const std::string bytes = Bytes({0x0A, 0x0B, 0x0C});
  InputStream in = InputStream::Over(bytes);
  ASSERT_TRUE(in.Seek(1));
  const std::optional<std::string_view> slice = in.Slice(2);
  ASSERT_TRUE(slice);
  EXPECT_EQ(slice->data(), bytes.data() + 1);
  EXPECT_EQ(*slice, Bytes({0x0B, 0x0C}));
  // A moved stream keeps its own bytes.
  InputStream first(std::string("ab"));
  ASSERT_EQ(first.Get(), 'a');
  InputStream second(std::move(first));
  EXPECT_EQ(second.Get(), 'b');
}

TEST(OutputStream, WritesEachWidthAndPadsFields) {
  OutputStream out;
  out.WriteU16LE(0x0201);
  out.WriteU16BE(0x0304);
  out.WriteU32LE(0x08070605u);
  out.WritePadded("ab", 4);
  out.WritePadded("abcdef", 3);
  EXPECT_EQ(out.Contents(), Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,  // numbers
                                   'a', 'b', 0x00, 0x00,                            // padded
                                   'a', 'b', 'c'}));                                // cut
}

}  // namespace
}  // namespace tabulex
