// The driver's Windows collaborators: the COM adapters over the registered stand-in servers,
// the stand-ins' error objects and unimplemented slots, and the string table resource. Message
// boxes go through the UserInterface interface here.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/ErrorTextStandIn.h"
#include "converter/driver/Messages.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/ComComponents.h"
#include "converter/platform/win32/MakerInterfaces.h"
#include "converter/platform/win32/ResourceStrings.h"
#include "tests/com/ComTestSupport.h"
#include "tests/support/DriverFixture.h"

namespace tabulex::testing {
namespace {

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
  std::int32_t family = 0;
  VarTag tag;
  ASSERT_EQ(component->LoadFile(PathOf("GRADES.5xv"), 0), kOk);
  EXPECT_EQ(component->get_DeviceFamily(&family), kOk);
  EXPECT_EQ(family, 1);
  EXPECT_EQ(component->GetVarDataTag(&tag), kOk);
  EXPECT_EQ(tag, VarTag(std::uint32_t{0xAABF47F3}));
  ASSERT_EQ(component->LoadFile(PathOf("grades.68y"), 0), kOk);
  EXPECT_EQ(component->get_DeviceFamily(&family), kOk);
  EXPECT_EQ(family, 2);
  EXPECT_EQ(component->GetVarDataTag(&tag), kOk);
  EXPECT_EQ(tag, VarTag(std::string("CELL")));
  std::string fileName;
  EXPECT_EQ(component->get_FileName(&fileName), kOk);
  EXPECT_EQ(fileName, PathOf("grades.68y"));
}

TEST_F(ComComponents, MissingComponents) {
  Write("grades.txt", "1\r\n");
  {
    Unregistered unregistered(kVarFileDll);
    EXPECT_EQ(win32::CreateComVarFile(), nullptr);
    EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "grades", ZQ_TABULEX_68), kFail);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, components::ErrorTextFor(0x80004003u));
    EXPECT_EQ(ui->messages[0].style, 0x2040u);
    EXPECT_EQ(ui->messages[0].ownerTitle, "ZQ Tabulex Converter");
    // A re-save reads its source first: a missing one is named before any component is needed.
    EXPECT_EQ(Convert("grades.68y", ZQ_TABULEX_68, "copy", ZQ_TABULEX_74), kFail);
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[1].text,
              PathOf("grades.68y") + ": " + components::ErrorTextFor(ERR_SOURCE_OPEN));
  }
  Unregistered unregistered(kErrorTextDll);
  EXPECT_EQ(win32::CreateComErrorText(), nullptr);
  EXPECT_EQ(Convert("missing.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), kFail);
  ASSERT_EQ(ui->messages.size(), 3u);
  EXPECT_EQ(ui->messages[2].text, messages::kApplicationError.text);
  EXPECT_EQ(ui->messages[2].style, 0x2010u);
}

// The stand-in's own vtable, reached without the adapter.
class VarFileServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(maker::kVarFileClassId, nullptr, CLSCTX_INPROC_SERVER,
                               maker::kIVarFileDataId, reinterpret_cast<void**>(&component)),
              S_OK);
  }
  void TearDown() override {
    if (component) component->lpVtbl->Release(component);
  }

  // The error object the last failing call left, as (interface id, description).
  static std::pair<GUID, std::string> LastError() {
    IErrorInfo* info = nullptr;
    GUID id = GUID_NULL;
    std::string description;
    if (GetErrorInfo(0, &info) == S_OK && info) {
      info->GetGUID(&id);
      BSTR text = nullptr;
      info->GetDescription(&text);
      description = win32::AnsiFromBstr(text);
      SysFreeString(text);
      info->Release();
    }
    return {id, description};
  }

  maker::VarFileData* component = nullptr;
};

TEST_F(VarFileServer, FailuresSetAnErrorObjectUnderTheInterfaceOfTheMethod) {
  EXPECT_EQ(component->lpVtbl->put_DeviceType(component, 99), E_INVALIDARG);
  auto [id, description] = LastError();
  EXPECT_TRUE(IsEqualGUID(id, maker::kIVarFileId));
  EXPECT_EQ(description, components::ErrorTextFor(0x80070057u));

  VARIANT tag;
  VariantInit(&tag);
  tag.vt = VT_I2;
  tag.iVal = 1;
  BYTE data[] = {1, 2, 3};
  EXPECT_EQ(component->lpVtbl->SetVarData(component, data, 3, tag), DISP_E_TYPEMISMATCH);
  std::tie(id, description) = LastError();
  EXPECT_TRUE(IsEqualGUID(id, maker::kIVarFileDataId));

  EXPECT_EQ(component->lpVtbl->get_VarName(component, nullptr), E_POINTER);
}

TEST_F(VarFileServer, SlotsOutsideTheTableAreNotImplemented) {
  EXPECT_EQ(component->lpVtbl->Slot3(component), E_NOTIMPL);
  EXPECT_EQ(component->lpVtbl->Slot16(component), E_NOTIMPL);
  EXPECT_EQ(component->lpVtbl->Slot40(component), E_NOTIMPL);
  IUnknown* outer = reinterpret_cast<IUnknown*>(component);
  void* refused = nullptr;
  EXPECT_EQ(
      CoCreateInstance(maker::kVarFileClassId, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &refused),
      CLASS_E_NOAGGREGATION);
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
