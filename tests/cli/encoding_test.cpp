// Text encodings: the platform's conversion, finding a file's charset, and round trips through
// the command line.
#include "cli/Encoding.h"

#include <gtest/gtest.h>

#include <sstream>

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

TEST(Transcode, BetweenUtf8AndCp1252) {
  EXPECT_EQ(Transcode(kUtf8Text, Charset::kUtf8, Charset::kCp1252).bytes, kCp1252Text);
  EXPECT_EQ(Transcode(kCp1252Text, Charset::kCp1252, Charset::kUtf8).bytes, kUtf8Text);
  EXPECT_EQ(Transcode(kCp1252Text, Charset::kCp1252, Charset::kCp1252).bytes, kCp1252Text);
  // Every ASCII byte is the same in both; one byte above them, even the last, is converted.
  std::string ascii(128, '\0');
  for (std::size_t i = 0; i < ascii.size(); ++i) ascii[i] = static_cast<char>(i);
  EXPECT_EQ(Transcode(ascii, Charset::kUtf8, Charset::kCp1252).bytes, ascii);
  EXPECT_EQ(Transcode(ascii, Charset::kCp1252, Charset::kUtf8).bytes, ascii);
  EXPECT_EQ(Transcode(ascii + "\xE9", Charset::kCp1252, Charset::kUtf8).bytes, ascii + "\xC3\xA9");
  // What cannot be held becomes a question mark and is counted.
  const platform::Transcoded omega =
      Transcode("a" + kOmega + "b" + kOmega, Charset::kUtf8, Charset::kCp1252);
  EXPECT_EQ(omega.bytes, "a?b?");
  EXPECT_EQ(omega.replaced, 2u);
  // A byte that is no UTF-8 character is replaced alone.
  const platform::Transcoded bad = Transcode("x\xFFy\xC3", Charset::kUtf8, Charset::kCp1252);
  EXPECT_EQ(bad.bytes, "x?y?");
  EXPECT_EQ(bad.replaced, 2u);
}

TEST(Charsets, Utf8IsWellFormedAndNotAscii) {
  EXPECT_TRUE(LooksLikeUtf8(kUtf8Text));
  EXPECT_FALSE(LooksLikeUtf8("plain"));
  EXPECT_FALSE(LooksLikeUtf8(kCp1252Text));
  EXPECT_FALSE(LooksLikeUtf8("Wei\xC3"));       // cut short
  EXPECT_FALSE(LooksLikeUtf8("\xC3\x9F\x9F"));  // a continuation byte without a lead
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
