// Conversions through ITabulex end to end: the real component servers, real files and real
// message boxes answered by a helper thread.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/ErrorTextStandIn.h"
#include "components/StandInServices.h"
#include "converter/com/TabulexConverter_h.h"
#include "converter/driver/Converter.h"
#include "converter/driver/Messages.h"
#include "converter/model/ErrorCodes.h"
#include "converter/platform/win32/Bstr.h"
#include "tests/com/ComTestSupport.h"
#include "tests/com/DialogScript.h"
#include "tests/support/DriverFixture.h"
#include "tests/support/TempFolder.h"

namespace tabulex::testing {
namespace {

const std::string kNumbers = "1\t2\r\n3\t=A1+B1\r\n";

class ConvertThroughCom : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_Tabulex, nullptr, CLSCTX_INPROC_SERVER, IID_ITabulex,
                               converter.Out()),
              S_OK);
  }

  HRESULT Convert(const std::string& input, std::int32_t from, const std::string& name,
                  std::int32_t to) {
    win32::UniqueBstr inputPath = win32::BstrFromAnsi(folder.PathOf(input));
    win32::UniqueBstr sheet = win32::BstrFromAnsi("");
    win32::UniqueBstr output = win32::BstrFromAnsi(folder.Folder());
    win32::UniqueBstr internalName = win32::BstrFromAnsi(name);
    return converter->Convert(inputPath.get(), static_cast<::TABULEX_FILE_TYPES>(from), sheet.get(),
                              output.get(), internalName.get(),
                              static_cast<::TABULEX_FILE_TYPES>(to), 0);
  }

  std::string Remembered() {
    BSTR name = nullptr;
    EXPECT_EQ(converter->GetTheFileName(&name), S_OK);
    win32::UniqueBstr owned(name);
    return win32::AnsiFromBstr(name);
  }

  TempFolder folder;
  Releaser<ITabulex> converter;
};

// Through COM the files come out byte for byte as the portable stand-ins write them in-process:
// from text, re-saved under another name (for KV-68 as a KV-74 Plus file), and back to text.
TEST_F(ConvertThroughCom, EveryCalculatorFormatComesOutAsFromThePortableStandIns) {
  folder.Write("numbers.txt", kNumbers);
  std::filesystem::create_directories(folder.Root() / "portable");
  Converter portable(components::StandInServices(std::make_shared<ScriptedUi>()));
  DialogScript dialogs;
  const auto convertBoth = [&](const std::string& input, std::int32_t from, const std::string& name,
                               std::int32_t to) {
    const std::string written = name + std::string(ExtensionOf(to));
    EXPECT_EQ(Convert(input, from, name, to), S_OK);
    EXPECT_EQ(Remembered(), folder.PathOf(written));
    EXPECT_EQ(
        portable.Convert(folder.PathOf(input), from, "", folder.PathOf("portable/"), name, to, 0),
        kOk);
    EXPECT_EQ(folder.Read(written), folder.Read("portable/" + written));
    return written;
  };
  const struct {
    std::int32_t type;
    const char* name;
    const char* again;
    std::int32_t againType;
  } targets[] = {{ZQ_TABULEX_52P, "NUMBERS", "AGAIN", ZQ_TABULEX_52P},
                 {ZQ_TABULEX_68, "numbers", "again68", ZQ_TABULEX_74},
                 {ZQ_TABULEX_74, "numbers", "again74", ZQ_TABULEX_74},
                 {ZQ_TABULEX_RB200, "numbers", "againr2", ZQ_TABULEX_RB200}};
  for (const auto& target : targets) {
    SCOPED_TRACE(target.type);
    const std::string file = convertBoth("numbers.txt", ZQ_TAB_TEXT, target.name, target.type);
    convertBoth(file, target.type, target.again, target.againType);
    const std::string back = convertBoth(file, target.type, "back_" + file, ZQ_TAB_TEXT);
    EXPECT_NE(folder.Read(back).find('3'), std::string::npos);
  }
  EXPECT_TRUE(dialogs.Unexpected().empty());
}

TEST_F(ConvertThroughCom, OverwritePromptAnswers) {
  folder.Write("numbers.txt", kNumbers);
  folder.Write("copy.txt", "old");
  const std::string target = folder.PathOf("copy.txt");
  const struct {
    int button;
    HRESULT result;
    const char* contents;
  } answers[] = {
      {IDNO, CONVERT_SKIPPED, "old"}, {IDCANCEL, CONVERT_CANCELLED, "old"}, {IDYES, S_OK, nullptr}};
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.button);
    DialogScript dialogs({{target, answer.button}});
    EXPECT_EQ(Convert("numbers.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), answer.result);
    const DialogScript::Seen seen = dialogs.Only();
    EXPECT_EQ(seen.text, messages::kFileExists.text);
    EXPECT_EQ(seen.owner, nullptr);
    if (answer.contents) {
      EXPECT_EQ(folder.Read("copy.txt"), answer.contents);
    }
  }
  EXPECT_NE(folder.Read("copy.txt"), "old");
  EXPECT_EQ(Remembered(), target);
}

TEST_F(ConvertThroughCom, RenamedVariableIsReportedAsOwnedByTheConverterWindow) {
  folder.Write("numbers.txt", kNumbers);
  HWND window = CreateWindowExA(0, "STATIC", "ZQ Tabulex Converter", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  DialogScript dialogs({{"Invalid File Name", IDOK}});
  EXPECT_EQ(Convert("numbers.txt", ZQ_TAB_TEXT, "my sheet", ZQ_TABULEX_52P), S_OK);
  EXPECT_EQ(dialogs.Only().owner, window);
  DestroyWindow(window);
  EXPECT_TRUE(folder.Exists("MYSHEET.5xv"));
}

TEST_F(ConvertThroughCom, TargetHeldOpenByAnotherProgramIsReadOnly) {
  folder.Write("numbers.txt", kNumbers);
  folder.Write("copy.txt", "old");
  const std::string target = folder.PathOf("copy.txt");
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DialogScript dialogs({{"Error", IDOK}});
  EXPECT_EQ(Convert("numbers.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), CONVERT_CANCELLED);
  const DialogScript::Seen seen = dialogs.Only();
  CloseHandle(held);
  EXPECT_EQ(seen.text, target + "\nThe above file is read-only. Unable to continue.");
  EXPECT_EQ(folder.Read("copy.txt"), "old");
}

// A missing component server, through the adapters the converter creates its components with:
// the variable file is needed for a calculator target but not before a re-save's source is read,
// and without the error texts the reinstall message stands in for every text.
TEST_F(ConvertThroughCom, MissingComponentServers) {
  folder.Write("numbers.txt", kNumbers);
  folder.Write("empty.txt", "");
  const struct {
    const char* dll;
    const char* input;
    std::int32_t from;
    std::int32_t to;
    HRESULT result;
    std::string message;
  } rows[] = {
      {kVarFileDll, "numbers.txt", ZQ_TAB_TEXT, ZQ_TABULEX_52P, E_FAIL,
       components::ErrorTextFor(static_cast<std::uint32_t>(E_POINTER))},
      {kVarFileDll, "absent.68y", ZQ_TABULEX_68, ZQ_TABULEX_74, E_FAIL,
       folder.PathOf("absent.68y") + ": " + components::ErrorTextFor(ERR_SOURCE_OPEN)},
      {kErrorTextDll, "empty.txt", ZQ_TAB_TEXT, ZQ_TAB_TEXT, CONVERT_E_SOURCE_TOO_SMALL,
       "Application error.  Please reinstall ZQ Tabulex Converter."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input);
    Unregistered unregistered(row.dll);
    DialogScript dialogs({{kDefaultCaption, IDOK}});
    EXPECT_EQ(Convert(row.input, row.from, "copy", row.to), row.result);
    EXPECT_EQ(dialogs.Only().text, row.message);
  }
  for (const char* output : {"COPY.5xv", "copy.7xy", "copy.txt"})
    EXPECT_FALSE(folder.Exists(output));
}

}  // namespace
}  // namespace tabulex::testing
