// The Export, Import and Convert and Send commands, clicked through the host stand-in with the
// file dialogs answered by a script, against the real converter and component servers.
#include "addin/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "addin/Settings.h"
#include "components/VarFileStandIn.h"
#include "tests/addin/AddinHarness.h"
#include "tests/addin/DialogScript.h"

namespace tabulex::testing {
namespace {

constexpr char kExport[] = "&Export to ZQ Tabulex";
constexpr char kImport[] = "&Import from ZQ Tabulex";

// The files of a folder, by name.
std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The add-in's own temporary files in the system's temporary folder.
std::vector<std::string> TemporaryTexts() {
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("tsh", 0) == 0) names.push_back(name);
  }
  return names;
}

class CommandTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(Connect());
    before_ = TemporaryTexts();
    guard_ = std::make_unique<DialogScript>();
  }
  void TearDown() override {
    EXPECT_TRUE(guard_->Unexpected().empty()) << guard_->Unexpected()[0].text;
    EXPECT_EQ(TemporaryTexts(), before_) << "temporary files left behind";
    Disconnect();
    AddinTest::TearDown();
  }

  // Opens a workbook of one worksheet in the host; it becomes the active workbook.
  Object OpenSheet(const std::string& name, const std::vector<std::string>& cells) {
    std::string text = "standin-workbook 1\nsheet worksheet " + name + "\n";
    for (const std::string& cell : cells) text += "cell " + cell + "\n";
    const std::string path = PathOf(name + ".book");
    std::ofstream(path, std::ios::binary) << text;
    const Variant file(path);
    Object book = Object::From(host_.GetObject(L"Workbooks").Call(L"Open", {&file}), L"Open");
    std::filesystem::remove(path);
    return book;
  }
  void Export(std::optional<std::string> answer) {
    ui_->answers.push_back(std::move(answer));
    Click(host_, kExport);
  }
  std::vector<std::pair<std::string, std::string>> ErrorMessage(HRESULT code) {
    return {{ErrorText(code), "Error"}};
  }

  std::vector<std::string> before_;
  // No real dialog may appear: the converter's own messages would be one.
  std::unique_ptr<DialogScript> guard_;
};

TEST_F(CommandTest, ExportOffersTheFirstEightCharactersOfTheSheetNameWithTheFilterAndFolder) {
  SetString(HKEY_CURRENT_USER, addin::kConvertedFilesKey, "", "C:\\Converted");
  OpenSheet("Measurements", {"A1 5"});
  Export(std::nullopt);
  ASSERT_EQ(ui_->saveRequests.size(), 1u);
  const addin::FileDialogRequest& request = ui_->saveRequests[0];
  EXPECT_EQ(request.fileName, "Measurem");
  EXPECT_EQ(request.filter,
            "KV-52 Plus Family/KV-57 Plus Family (*.5xv)|*.5xv|KV-68 Family (*.68y)|*.68y|"
            "KV-74 Plus (*.7xy)|*.7xy|Rambla 200 (*.r2y)|*.r2y");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_EQ(request.initialFolder, "C:\\Converted");
  // Cancelled: no message, no file.
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_TRUE(FilesIn(folder_).empty());
  DeleteKey(HKEY_CURRENT_USER, addin::kConvertedFilesKey);
}

TEST_F(CommandTest, ExportToAnUpperCaseKv74ExtensionWritesAKv74File) {
  OpenSheet("Data", {"A1 5", "B1 text", "A2 7"});
  Export(PathOf("data.7XY"));
  EXPECT_TRUE(ui_->messages.empty());
  const std::vector<std::string> files = FilesIn(folder_);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(std::filesystem::path(files[0]).extension(), ".7xy");
}

TEST_F(CommandTest, ExportToAKv52FileUsesTheUpperCaseNameAndKeepsTheSheetInTheWorkbook) {
  const Object book = OpenSheet("Data", {"A1 5"});
  Export(PathOf("budget.5xv"));
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"BUDGET.5xv"});
  // The workbook the user worked in is still there, unchanged and active.
  EXPECT_EQ(Text(host_.GetObject(L"ActiveSheet"), L"Name"), "Data");
  EXPECT_EQ(Number(book.GetObject(L"Worksheets"), L"Count"), 1);
}

TEST_F(CommandTest, ExportOfAnEmptySheetReportsTooSmallAndWritesNothing) {
  OpenSheet("Empty", {});
  Export(PathOf("empty.68y"));
  EXPECT_EQ(ui_->messages, ErrorMessage(addin::kErrSourceTooSmall));
  EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(CommandTest, ExportToAnUnknownExtensionWritesNothing) {
  OpenSheet("Data", {"A1 5"});
  Export(PathOf("data.xls"));
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(CommandTest, AFailureTheHostRaisesEndsExportSilently) {
  OpenSheet("Data", {"A1 5"});
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tabulex\\Host stand-in", L"FailMember", REG_SZ,
                  L"SaveAs", sizeof L"SaveAs");
  // The stand-in reads its settings when the application is created.
  host_ = NewHost();
  ASSERT_NO_FATAL_FAILURE(Connect());
  OpenSheet("Data", {"A1 5"});
  Export(PathOf("data.68y"));
  RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Tabulex\\Host stand-in", L"FailMember");
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(CommandTest, ImportAddsTheSheetUnderTheUpperCaseFileTitleToTheActiveWorkbook) {
  OpenSheet("Data", {"A1 5", "B1 6"});
  Export(PathOf("budget.68y"));
  ASSERT_EQ(FilesIn(folder_).size(), 1u);
  const std::string written = PathOf(FilesIn(folder_)[0]);

  const Object target = OpenSheet("Target", {"A1 1"});
  SetString(HKEY_CURRENT_USER, addin::kUserDataKey, "", "C:\\Mine");
  ui_->answers.push_back(written);
  Click(host_, kImport);
  EXPECT_TRUE(ui_->messages.empty());
  ASSERT_EQ(ui_->openRequests.size(), 1u);
  EXPECT_EQ(ui_->openRequests[0].initialFolder, "C:\\Mine");
  const Object sheets = target.GetObject(L"Worksheets");
  ASSERT_EQ(Number(sheets, L"Count"), 2);
  const Variant second(2L);
  const Object imported = sheets.GetObject(L"Item", {&second});
  EXPECT_EQ(Text(imported, L"Name"), "BUDGET");
  const Variant a1(L"A1"), b1(L"B1");
  // The calculator's text comes back as the converter writes numbers: "=5." for 5.
  EXPECT_EQ(imported.GetObject(L"Range", {&a1}).GetValue(L"Formula").Text(), "=5.");
  EXPECT_EQ(imported.GetObject(L"Range", {&b1}).GetValue(L"Formula").Text(), "=6.");
  DeleteKey(HKEY_CURRENT_USER, addin::kUserDataKey);
}

TEST_F(CommandTest, ImportFallsBackToTheLinkProgramsFolder) {
  DeleteKey(HKEY_CURRENT_USER, addin::kUserDataKey);
  SetString(HKEY_CURRENT_USER, addin::kLinkUserDataKey, "", "C:\\Link");
  ui_->answers.push_back(std::nullopt);
  Click(host_, kImport);
  ASSERT_EQ(ui_->openRequests.size(), 1u);
  EXPECT_EQ(ui_->openRequests[0].initialFolder, "C:\\Link");
  EXPECT_EQ(ui_->openRequests[0].filterIndex, 1);
  EXPECT_TRUE(ui_->messages.empty());
  DeleteKey(HKEY_CURRENT_USER, addin::kLinkUserDataKey);
}

TEST_F(CommandTest, ImportOfAKv52FileThatIsNoSpreadsheetReportsItAndChangesNoWorkbook) {
  const Object target = OpenSheet("Target", {"A1 1"});
  // A KV-52 Plus variable whose data tag is not the spreadsheet's.
  const std::optional<std::string> bytes = components::WrapKv52("NOTES", 0x12345678u, "abcdef");
  ASSERT_TRUE(bytes);
  const std::string path = PathOf("notes.5xv");
  std::ofstream(path, std::ios::binary) << *bytes;
  ui_->answers.push_back(path);
  Click(host_, kImport);
  EXPECT_EQ(ui_->messages, ErrorMessage(addin::kErrNotASpreadsheet));
  EXPECT_EQ(Number(target.GetObject(L"Worksheets"), L"Count"), 1);
}

TEST_F(CommandTest, ImportOfAFileTheComponentCannotLoadReportsTheComponentsError) {
  OpenSheet("Target", {"A1 1"});
  const std::string path = PathOf("broken.68y");
  std::ofstream(path, std::ios::binary) << "not a calculator file";
  ui_->answers.push_back(path);
  Click(host_, kImport);
  ASSERT_EQ(ui_->messages.size(), 1u);
  EXPECT_EQ(ui_->messages[0].second, "Error");
}

}  // namespace
}  // namespace tabulex::testing
