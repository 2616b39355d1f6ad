// The stand-in variable-file and error-text components: naming, wrappers, loading.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "components/ErrorTextStandIn.h"
#include "components/VarFileStandIn.h"
#include "tests/support/Bytes.h"
#include "tests/support/CalculatorFiles.h"
#include "tests/support/TempFolder.h"

namespace tabulex::components {
namespace {

using testing::Bytes;

TEST(DeviceNames, BothFamilies) {
  EXPECT_EQ(Kv52DeviceName("sales-q1"), "SALESQ1");
  EXPECT_EQ(Kv52DeviceName("9lives"), "A9LIVES");
  EXPECT_EQ(Kv52DeviceName("folder\\abcdefghijk"), "ABCDEFGH");
  EXPECT_EQ(Kv52DeviceName("--"), "SHEET");
  EXPECT_EQ(Kv52DeviceName(""), "SHEET");
  // KV-68 family names are lower case and keep a folder part.
  EXPECT_EQ(Kv68DeviceName("Budget\\Q1 2024"), "budget\\q12024");
  EXPECT_EQ(Kv68DeviceName("my_var"), "my_var");
  EXPECT_EQ(Kv68DeviceName("9lives"), "a9lives");
  EXPECT_EQ(Kv68DeviceName("_x"), "a_x");
  EXPECT_EQ(Kv68DeviceName("abcdefghij"), "abcdefgh");
  EXPECT_EQ(Kv68DeviceName("!!"), "sheet");
  EXPECT_EQ(Kv68DeviceName("##\\name"), "name");
}

TEST(Wrappers, Kv52Layout) {
  const std::string file = *WrapKv52("AB", kAppVarSheetSignature, "xyz");
  ASSERT_EQ(file.size(), 72u + 6 + 3 + 2);
  EXPECT_EQ(file.substr(0, 11), std::string("**KV52F*\x1A\x0A\x00", 11));
  // Count of the bytes from 55 to the end of the data: 17 entry bytes, L = 9.
  EXPECT_EQ(file.substr(53, 19),
            Bytes({26, 0, 13, 0, 9, 0, 0x15, 'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 9, 0}));
  EXPECT_EQ(file.substr(72, 9), Bytes({7, 0, 0xF3, 0x47, 0xBF, 0xAA, 'x', 'y', 'z'}));
  EXPECT_EQ(file.substr(81), testing::Sum16(file.substr(55, 26)));  // sum of bytes 55 to 80
  EXPECT_FALSE(WrapKv52("AB", 1, std::string(65513, 'x')).has_value());
  EXPECT_TRUE(WrapKv52("AB", 1, std::string(65512, 'x')).has_value());
}

TEST(Wrappers, Kv68Layout) {
  const std::string file = *WrapKv68(9, "fold\\name", kKv68SheetTag, "ab");
  ASSERT_EQ(file.size(), 88u + 2 + 7 + 2);
  EXPECT_EQ(file.substr(0, 18), std::string("**KV74P*\x01\x00"
                                            "fold\0\0\0\0",
                                            18));
  EXPECT_EQ(file.substr(58, 30),
            Bytes({1, 0, 82, 0,  0, 0, 'n', 'a',  'm',  'e', 0, 0, 0, 0,    0x1C,
                   0, 0, 0,  99, 0, 0, 0,   0xA5, 0x5A, 0,   0, 0, 0, 0x00, 0x09}));
  EXPECT_EQ(file.substr(88, 9), Bytes({'a', 'b', 0, 'C', 'E', 'L', 'L', 0, 0xF8}));
  EXPECT_EQ(WrapKv68(7, "x", kKv68SheetTag, "").value().substr(0, 18),
            std::string("**KV68**\x01\x00main\0\0\0\0", 18));
}

class VarFileTest : public ::testing::Test, protected testing::TempFolder {};

TEST_F(VarFileTest, SavesAndLoadsBothFamilies) {
  VarFileStandIn out;
  ASSERT_EQ(out.put_DeviceType(10), kOk);
  ASSERT_EQ(out.put_VarName("My Sheet"), kOk);
  std::string name;
  out.get_VarName(&name);
  EXPECT_EQ(name, "mysheet");
  const std::uint8_t data[] = {1, 2, 3};
  ASSERT_EQ(out.SetVarData(data, 3, VarTag(std::string(kKv68SheetTag))), kOk);
  ASSERT_EQ(out.SaveFile(PathOf("s"), 1, 0), kOk);
  std::string written;
  out.get_FileName(&written);
  EXPECT_EQ(written, PathOf("s.r2y"));

  VarFileStandIn in;
  ASSERT_EQ(in.LoadFile(PathOf("s.r2y"), 0), kOk);
  std::int32_t family = 0;
  EXPECT_EQ(in.get_DeviceFamily(&family), kOk);
  EXPECT_EQ(family, 2);
  VarTag tag;
  EXPECT_EQ(in.GetVarDataTag(&tag), kOk);
  EXPECT_EQ(std::get<std::string>(tag), kKv68SheetTag);
  in.get_VarName(&name);
  EXPECT_EQ(name, "mysheet");
  // Saving a KV-68 family variable for the KV-52 Plus is refused.
  EXPECT_EQ(in.put_DeviceType(5), kOk);
  EXPECT_EQ(in.SaveFile(PathOf("t"), 1, 0), kInvalidArg);
  EXPECT_EQ(in.put_DeviceType(7), kOk);
  EXPECT_EQ(in.SaveFile(PathOf("t"), 1, 0), kOk);
  EXPECT_TRUE(std::filesystem::exists(PathOf("t.68y")));
}

TEST_F(VarFileTest, RejectsUnknownDevicesAndBadFiles) {
  VarFileStandIn component;
  EXPECT_EQ(component.put_DeviceType(6), kInvalidArg);
  std::int32_t family;
  EXPECT_EQ(component.get_DeviceFamily(&family), kUnexpected);
  EXPECT_EQ(component.LoadFile(PathOf("absent"), 0), kFileNotFound);

  std::string good = *WrapKv52("AB", kAppVarSheetSignature, "xyz");
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"WrongSignature", "**KV99**" + good.substr(8)},
      {"FileTooShort", good.substr(0, 60)},
      {"BadChecksum", good.substr(0, good.size() - 1) + "\x7F"},
      {"TruncatedData", good.substr(0, good.size() - 3) + good.substr(good.size() - 2)},
      {"Empty", ""},
  };
  for (const Case& c : cases) {
    Write(c.name, c.bytes);
    EXPECT_EQ(component.LoadFile(PathOf(c.name), 0), kInvalidData) << c.name;
  }
  Write("good", good);
  EXPECT_EQ(component.LoadFile(PathOf("good"), 0), kOk);
  EXPECT_EQ(component.get_DeviceFamily(&family), kOk);
  EXPECT_EQ(family, 1);
}

TEST(ErrorTexts, KnownAndUnknownCodes) {
  ErrorTextStandIn component;
  std::string text;
  EXPECT_EQ(component.GetErrorText(0x8C050021u, &text), kOk);
  EXPECT_EQ(text, "The sheet is too large for the calculator. Cells past the limit were left out.");
  for (std::uint32_t code : {0x8C050001u, 0x8C05001Bu, 0x8C05001Cu, 0x8C05001Du, 0x8C05001Fu,
                             0x8C020012u, 0x8C020014u, 0x8C050019u, 0x8C050012u, 0x80004005u}) {
    EXPECT_EQ(ErrorTextFor(code).rfind("Unknown", 0), std::string::npos) << std::hex << code;
  }
  EXPECT_EQ(ErrorTextFor(0x12345678u), "Unknown error 0x12345678");
}

}  // namespace
}  // namespace tabulex::components
