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
