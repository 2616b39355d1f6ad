// Conversions through ITabulex end to end, with the real component servers, real files and real
// message boxes answered by a helper thread; then the driver's Windows collaborators: the COM
// adapters over the stand-in servers, the stand-ins' error objects and unimplemented slots, and
// the string table resource.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/ErrorTextStandIn.h"
#include "components/StandInServices.h"
#include "converter/com/TabulexConverter_h.h"
#include "converter/driver/Converter.h"
#include "converter/driver/Messages.h"
#include "converter/model/ErrorCodes.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/ComComponents.h"
#include "converter/platform/win32/MakerInterfaces.h"
#include "converter/platform/win32/ResourceStrings.h"
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
    EXPECT_EQ(dialogs.Only().owner, nullptr);
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

// The driver fixture with the maker's components reached through COM.
class ComComponents : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    services.createVarFile = win32::CreateComVarFile;
    services.createErrorText = win32::CreateComErrorText;
  }
};

TEST_F(ComComponents, LoadedFilesReportTheirFamilyAndTag) {
  Write("grades.txt", "1\r\n");
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "GRADES", ZQ_TABULEX_52P), kOk);
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_68), kOk);
  std::unique_ptr<IVarFileData> component = win32::CreateComVarFile();
  ASSERT_NE(component, nullptr);
  const std::tuple<const char*, std::int32_t, VarTag> files[] = {
      {"GRADES.5xv", 1, VarTag(std::uint32_t{0xAABF47F3})},
      {"grades.68y", 2, VarTag(std::string("CELL"))}};
  for (const auto& [file, family, tag] : files) {
    ASSERT_EQ(component->LoadFile(PathOf(file), 0), kOk);
    std::int32_t loadedFamily = 0;
    VarTag loadedTag;
    std::string fileName;
    EXPECT_EQ(component->get_DeviceFamily(&loadedFamily), kOk);
    EXPECT_EQ(loadedFamily, family) << file;
    EXPECT_EQ(component->GetVarDataTag(&loadedTag), kOk);
    EXPECT_EQ(loadedTag, tag) << file;
    EXPECT_EQ(component->get_FileName(&fileName), kOk);
    EXPECT_EQ(fileName, PathOf(file));
  }
}

// The stand-in's own vtable, reached without the adapter: failures leave an error object under
// the interface of the method, slots outside the table are not implemented, and it does not
// aggregate.
TEST(VarFileServer, ErrorObjectsAndSlotsOutsideTheTable) {
  maker::VarFileData* component = nullptr;
  ASSERT_EQ(CoCreateInstance(maker::kVarFileClassId, nullptr, CLSCTX_INPROC_SERVER,
                             maker::kIVarFileDataId, reinterpret_cast<void**>(&component)),
            S_OK);
  // The error object the last failing call left, as (interface id, description).
  const auto lastError = [] {
    IErrorInfo* info = nullptr;
    GUID id = GUID_NULL;
    BSTR text = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
      info->GetGUID(&id);
      info->GetDescription(&text);
      info->Release();
    }
    const win32::UniqueBstr owned(text);
    return std::make_pair(id, win32::AnsiFromBstr(text));
  };
  EXPECT_EQ(component->lpVtbl->put_DeviceType(component, 99), E_INVALIDARG);
  auto [id, description] = lastError();
  EXPECT_TRUE(IsEqualGUID(id, maker::kIVarFileId));
  EXPECT_EQ(description, components::ErrorTextFor(0x80070057u));
  VARIANT tag;
  VariantInit(&tag);
  tag.vt = VT_I2;
  tag.iVal = 1;
  BYTE data[] = {1, 2, 3};
  EXPECT_EQ(component->lpVtbl->SetVarData(component, data, 3, tag), DISP_E_TYPEMISMATCH);
  std::tie(id, description) = lastError();
  EXPECT_TRUE(IsEqualGUID(id, maker::kIVarFileDataId));
  EXPECT_EQ(component->lpVtbl->get_VarName(component, nullptr), E_POINTER);

  EXPECT_EQ(component->lpVtbl->Slot3(component), E_NOTIMPL);
  EXPECT_EQ(component->lpVtbl->Slot16(component), E_NOTIMPL);
  EXPECT_EQ(component->lpVtbl->Slot40(component), E_NOTIMPL);
  void* refused = nullptr;
  EXPECT_EQ(CoCreateInstance(maker::kVarFileClassId, reinterpret_cast<IUnknown*>(component),
                             CLSCTX_INPROC_SERVER, IID_IUnknown, &refused),
            CLASS_E_NOAGGREGATION);
  component->lpVtbl->Release(component);
}

TEST(StringTable, TheServerResourceHoldsEveryRowOfTheList) {
  HMODULE server =
      LoadLibraryExA(ServerPath(kConverterDll).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(server, nullptr);
  win32::ResourceStrings strings(server);
  for (const messages::StringResource& row : messages::kStringTable) {
    EXPECT_EQ(strings.Load(row.id), std::string(row.text)) << row.id;
  }
  EXPECT_EQ(strings.Load(101), std::nullopt);
  FreeLibrary(server);
}

}  // namespace
}  // namespace tabulex::testing
