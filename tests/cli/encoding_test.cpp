// Text encodings: the platform's conversion, finding a file's charset, and round trips through
// the command line.
#include "cli/Encoding.h"

#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "converter/platform/TextEncoding.h"
#include "tests/support/CommandRunner.h"
#include "tests/support/TempFolder.h"

namespace tabulex::cli {
namespace {

using platform::Charset;
using platform::Transcode;

// "Weiß" and the euro sign in both charsets.
const std::string kUtf8Text = "Wei\xC3\x9F \xE2\x82\xAC";
const std::string kCp1252Text = "Wei\xDF \x80";
// The Greek capital omega has no place in Windows-1252.
const std::string kOmega = "\xCE\xA9";
// "Weiß €" in little-endian UTF-16: W, e, i, sharp s (U+00DF), space, euro sign (U+20AC).
const std::string kUtf16Text{"W\0e\0i\0\xDF\0 \0\xAC\x20", 12};
// The same in big-endian UTF-16.
const std::string kUtf16BigEndian{"\0W\0e\0i\0\xDF\0 \x20\xAC", 12};
// U+1F600 (an emoji), one character of two units: D83D DE00.
const std::string kUtf16Pair{"\x3D\xD8\x00\xDE", 4};

TEST(Transcode, BetweenCharsets) {
  using enum Charset;
  std::string ascii(128, '\0');
  for (std::size_t i = 0; i < ascii.size(); ++i) ascii[i] = static_cast<char>(i);
  const struct {
    std::string in;
    Charset from, to;
    std::string bytes;
    std::size_t replaced;
  } cases[] = {
      {kUtf8Text, kUtf8, kCp1252, kCp1252Text, 0},
      {kCp1252Text, kCp1252, kUtf8, kUtf8Text, 0},
      {kCp1252Text, kCp1252, kCp1252, kCp1252Text, 0},
      // Every ASCII byte is the same in both; one byte above them, even the last, is converted.
      {ascii, kUtf8, kCp1252, ascii, 0},
      {ascii, kCp1252, kUtf8, ascii, 0},
      {ascii + "\xE9", kCp1252, kUtf8, ascii + "\xC3\xA9", 0},
      // What cannot be held becomes a question mark and is counted.
      {"a" + kOmega + "b" + kOmega, kUtf8, kCp1252, "a?b?", 2},
      // A byte that is no UTF-8 character is replaced alone.
      {"x\xFFy\xC3", kUtf8, kCp1252, "x?y?", 2},
      {kCp1252Text, kCp1252, kUtf16Le, kUtf16Text, 0},
      {kUtf16Text, kUtf16Le, kCp1252, kCp1252Text, 0},
      // ASCII differs in UTF-16: it is converted, not copied.
      {"ab", kCp1252, kUtf16Le, std::string("a\0b\0", 4), 0},
      {kUtf16Pair, kUtf16Le, kUtf8, "\xF0\x9F\x98\x80", 0},
      // A surrogate pair is one character, replaced once.
      {kUtf16Pair, kUtf16Le, kCp1252, "?", 1},
      // A high surrogate without its partner, and an odd last byte, are no characters.
      {std::string("\x3D\xD8x\0y\0z", 7), kUtf16Le, kCp1252, "?xy?", 2},
      // Written in UTF-16, the replacement is a unit too.
      {kOmega + "a", kUtf8, kUtf16Le, std::string("\xA9\003a\0", 4), 0},
      {"\377a", kUtf8, kUtf16Le, std::string("?\0a\0", 4), 1},
  };
  for (const auto& c : cases) {
    const platform::Transcoded result = Transcode(c.in, c.from, c.to);
    EXPECT_EQ(result.bytes, c.bytes) << ::testing::PrintToString(c.in);
    EXPECT_EQ(result.replaced, c.replaced) << ::testing::PrintToString(c.in);
  }
}

TEST(Charsets, Utf8IsWellFormedAndNotAscii) {
  EXPECT_TRUE(LooksLikeUtf8(kUtf8Text));
  EXPECT_FALSE(LooksLikeUtf8("plain"));
  EXPECT_FALSE(LooksLikeUtf8(kCp1252Text));
  EXPECT_FALSE(LooksLikeUtf8("Wei\xC3"));       // cut short
  EXPECT_FALSE(LooksLikeUtf8("\xC3\x9F\x9F"));  // a continuation byte without a lead
}

TEST(Charsets, Utf16WithoutAMarkIsKnownByItsZeroHighBytes) {
  const auto le = [](const std::string& bytes) {
    return LooksLikeUtf16(bytes, ByteOrder::kLittleEndian);
  };
  EXPECT_TRUE(le(kUtf16Text));                            // 5 of 6 units have a zero high byte
  EXPECT_TRUE(le(kUtf16Text + kUtf16Pair + kUtf16Pair));  // 5 of 10
  EXPECT_FALSE(le(kUtf16Text + kUtf16Pair + kUtf16Pair + kUtf16Pair));  // 5 of 12
  EXPECT_FALSE(le(kUtf16Text.substr(1)));                               // half a unit
  EXPECT_FALSE(le(kUtf16Text + std::string(2, '\0')));                  // U+0000
  EXPECT_FALSE(le(""));
  EXPECT_FALSE(le("plain text"));
  // The other byte order is the other byte of each unit.
  EXPECT_FALSE(LooksLikeUtf16(kUtf16Text, ByteOrder::kBigEndian));
  EXPECT_TRUE(LooksLikeUtf16(kUtf16BigEndian, ByteOrder::kBigEndian));
}

TEST(Codec, AutoWritesTheTargetInTheSourcesCharset) {
  TextCodec fromUtf8(EncodingChoice::kAuto);
  EXPECT_EQ(fromUtf8.Decode("\xEF\xBB\xBF" + kUtf8Text), kCp1252Text);
  EXPECT_EQ(fromUtf8.Encode(kCp1252Text), kUtf8Text);
  TextCodec fromCp1252(EncodingChoice::kAuto);
  EXPECT_EQ(fromCp1252.Decode(kCp1252Text), kCp1252Text);
  EXPECT_EQ(fromCp1252.Encode(kCp1252Text), kCp1252Text);
  // No text source: the target is UTF-8.
  EXPECT_EQ(TextCodec(EncodingChoice::kAuto).Encode(kCp1252Text), kUtf8Text);
  // UTF-16 is known by its byte-order mark, and written with it.
  TextCodec fromUtf16(EncodingChoice::kAuto);
  EXPECT_EQ(fromUtf16.Decode("\xFF\xFE" + kUtf16Text), kCp1252Text);
  EXPECT_EQ(fromUtf16.Encode(kCp1252Text), "\xFF\xFE" + kUtf16Text);
  EXPECT_EQ(TextCodec(EncodingChoice::kUtf16).Decode(kUtf16Text), kCp1252Text);
  // Written without its mark, it is known by its zero bytes, and written back with the mark.
  TextCodec fromBareUtf16(EncodingChoice::kAuto);
  EXPECT_EQ(fromBareUtf16.Decode(kUtf16Text), kCp1252Text);
  EXPECT_EQ(fromBareUtf16.Encode(kCp1252Text), "\xFF\xFE" + kUtf16Text);
  // Big-endian, with its mark or without, is read too, and written back little-endian.
  TextCodec fromBigEndian(EncodingChoice::kAuto);
  EXPECT_EQ(fromBigEndian.Decode("\xFE\xFF" + kUtf16BigEndian), kCp1252Text);
  EXPECT_EQ(fromBigEndian.Encode(kCp1252Text), "\xFF\xFE" + kUtf16Text);
  EXPECT_EQ(TextCodec(EncodingChoice::kAuto).Decode(kUtf16BigEndian), kCp1252Text);
  EXPECT_EQ(TextCodec(EncodingChoice::kUtf16).Decode("\xFE\xFF" + kUtf16BigEndian), kCp1252Text);
  TextCodec forced(EncodingChoice::kCp1252);
  EXPECT_EQ(forced.Decode(kCp1252Text), kCp1252Text);
  EXPECT_EQ(forced.Encode(kCp1252Text), kCp1252Text);
  EXPECT_EQ(forced.Replaced(), 0u);
}

using EncodingCommandTest = testing::CommandTest;

TEST_F(EncodingCommandTest, Utf8TextSurvivesACalculatorFile) {
  folder.Write("de.txt", "\xEF\xBB\xBF" + kUtf8Text + "\tx\n");
  ASSERT_EQ(Run({"convert", PathOf("de.txt"), "--to", "68y"}), 0) << err.str();
  ASSERT_EQ(Run({"convert", PathOf("de.68y"), "--to", "txt", "--name", "back"}), 0) << err.str();
  EXPECT_EQ(folder.Read("back.txt"), kUtf8Text + "\tx\t");
  ASSERT_EQ(
      Run({"convert", PathOf("de.68y"), "--to", "txt", "--name", "old", "--encoding", "cp1252"}),
      0);
  EXPECT_EQ(folder.Read("old.txt"), kCp1252Text + "\tx\t");
  EXPECT_EQ(err.str(), "");
}

TEST_F(EncodingCommandTest, Utf16TextIsReadAndWrittenBackAsUtf16) {
  // What a spreadsheet program saves as "Unicode text": mark, cells, CR LF.
  const std::string tab{"\t\0", 2};
  folder.Write("u.txt", "\xFF\xFE" + kUtf16Text + tab + std::string("1\0\r\0\n\0", 6));
  ASSERT_EQ(Run({"convert", PathOf("u.txt"), "--to", "txt", "--name", "back"}), 0) << err.str();
  EXPECT_EQ(folder.Read("back.txt"), "\xFF\xFE" + kUtf16Text + tab + std::string("1\0", 2) + tab);
  ASSERT_EQ(Run({"convert", PathOf("u.txt"), "--to", "68y"}), 0) << err.str();
  ASSERT_EQ(Run({"convert", PathOf("u.68y"), "--to", "txt", "--name", "utf8"}), 0) << err.str();
  EXPECT_EQ(folder.Read("utf8.txt"), kUtf8Text + "\t=1.\t");  // calculator numbers are formulas
  EXPECT_EQ(err.str(), "");
}

TEST_F(EncodingCommandTest, UnmappableCharactersAreCountedInOneWarning) {
  folder.Write("greek.txt", kOmega + "\t" + kOmega + "x\t\xC3\xA9\n");
  ASSERT_EQ(Run({"convert", PathOf("greek.txt"), "--to", "txt", "--name", "out"}), 0);
  EXPECT_EQ(folder.Read("out.txt"), "?\t?x\t\xC3\xA9\t");
  EXPECT_EQ(err.str(), "tabulex: " + PathOf("greek.txt") +
                           ": 2 characters have no equivalent in the other text encoding and "
                           "became \"?\"\n");
  EXPECT_EQ(Run({"convert", PathOf("greek.txt"), "--to", "txt", "--encoding", "latin9"}), 64);
}

}  // namespace
}  // namespace tabulex::cli
