// Text to .5xv and back through the conversion driver and the stand-in components.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "components/StandInServices.h"
#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/Spreadsheet.h"

namespace tabulex {
namespace {

namespace fs = std::filesystem;

// Answers every message box with Yes and keeps the texts.
class ScriptedUi : public UserInterface {
 public:
  int ShowMessage(std::string_view text, std::optional<std::string_view>, std::uint32_t,
                  std::optional<std::string_view>) override {
    messages.emplace_back(text);
    return message::kAnswerYes;
  }
  std::vector<std::string> messages;
};

class AppVarRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("tabulex_appvar_") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    ui_ = std::make_shared<ScriptedUi>();
    converter_ = std::make_unique<Converter>(components::StandInServices(ui_));
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Folder() const {
    return folder_.string() + static_cast<char>(fs::path::preferred_separator);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  void WriteText(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }
  std::string ReadBytes(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // text file -> NAME.5xv -> BACK.txt; returns the text read back.
  std::string RoundTrip(const std::string& text, const std::string& name) {
    WriteText("source.txt", text);
    EXPECT_EQ(converter_->Convert(PathOf("source.txt"), ZQ_TAB_TEXT, "", Folder(), name,
                                  ZQ_TABULEX_52P, 0),
              kOk);
    EXPECT_EQ(converter_->Convert(PathOf(name + ".5xv"), ZQ_TABULEX_52P, "", Folder(), "BACK",
                                  ZQ_TAB_TEXT, 0),
              kOk);
    return ReadBytes("BACK.txt");
  }

  fs::path folder_;
  std::shared_ptr<ScriptedUi> ui_;
  std::unique_ptr<Converter> converter_;
};

TEST_F(AppVarRoundTripTest, CellsComeBackInTheCalculatorsSpelling) {
  const std::string text =
      "hello\t12.5\t=SUM(A1:A5)\r\n"
      "$12\t3 apples\t1500000000000\r\n"
      "0.00002\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\r\n"
      "$0.5\t=$A$1*2\t-0.05\r\n";
  // Text is upper-cased; "$12" is stored as the number 12; numbers outside fixed notation come
  // back in scientific form; formulas come back in the dialect's spelling, which the text writer
  // turns into Excel's ("If(" becomes "IF("); the "$" of a text that is no amount has no token
  // and reads "?".
  EXPECT_EQ(RoundTrip(text, "ROUND"),
            "HELLO\t12.5\t=SUM(A1:A5)\t\t\r\n"
            "12\t3 APPLES\t1.5E12\t\t\r\n"
            "2E-5\t=QUOTIENT(A1)\t=IF(A1>2,1,0)\t\t\r\n"
            "?0.5\t=$A$1*2\t-0.05\t");
  EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(AppVarRoundTripTest, LongTextAndDroppedCells) {
  // 45 characters keep 39 after the quote token; a cell in column AA is not written.
  std::string text = std::string(45, 'x') + "\r\n";
  text += std::string(26, '\t') + "7\r\n";
  EXPECT_EQ(RoundTrip(text, "LONG"), std::string(39, 'X') + "\t");
}

TEST_F(AppVarRoundTripTest, DeviceNameIsTheSheetName) {
  WriteText("source.txt", "1\r\n");
  ASSERT_EQ(converter_->Convert(PathOf("source.txt"), ZQ_TAB_TEXT, "", Folder(), "sales-q1",
                                ZQ_TABULEX_52P, 0),
            kOk);
  // The component changed the name, so the user was told.
  EXPECT_EQ(ui_->messages.size(), 1u);
  LoadedSource loaded =
      converter_->ReadSource(PathOf("SALESQ1.5xv"), ZQ_TABULEX_52P, "", "ignored");
  ASSERT_EQ(loaded.Result(), kOk);
  ASSERT_NE(loaded.Sheet(), nullptr);
  EXPECT_EQ(loaded.Sheet()->Header()->name, "SALESQ1");
}

TEST_F(AppVarRoundTripTest, SheetWithoutCellsIsTooSmallToReadBack) {
  WriteText("source.txt", "\t");
  ASSERT_EQ(converter_->Convert(PathOf("source.txt"), ZQ_TAB_TEXT, "", Folder(), "EMPTY",
                                ZQ_TABULEX_52P, 0),
            kOk);
  EXPECT_EQ(fs::file_size(PathOf("EMPTY.5xv")), 271u);
  EXPECT_EQ(converter_->Convert(PathOf("EMPTY.5xv"), ZQ_TABULEX_52P, "", Folder(), "BACK",
                                ZQ_TAB_TEXT, 0),
            CONVERT_E_SOURCE_TOO_SMALL);
  EXPECT_FALSE(fs::exists(PathOf("BACK.txt")));
}

}  // namespace
}  // namespace tabulex
