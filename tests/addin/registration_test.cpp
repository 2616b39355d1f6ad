// Ledgerlink.dll as the host loads it: its registration, creation by ProgID, the connection
// interface early- and late-bound, and commands end to end with the real dialogs on a display.
#include <gtest/gtest.h>

#include "addin/Commands.h"
#include "addin/Extensibility.h"
#include "addin/Resources.h"
#include "addin/Settings.h"
#include "tests/addin/AddinHarness.h"
#include "tests/com/ComTestSupport.h"
#include "tests/com/DialogScript.h"

namespace tabulex::testing {
namespace {

constexpr char kAddinDll[] = "Ledgerlink.dll";
const std::string kClassKey = std::string("CLSID\\") + addin::kConnectClassIdText;

addin::ComRef<addin::IDTExtensibility2> LoadAddin() {
  addin::ComRef<addin::IDTExtensibility2> loaded;
  CLSID classId;
  if (FAILED(CLSIDFromProgID(L"TabulexConverterPlugin.Connect", &classId))) return loaded;
  CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, addin::kIDTExtensibility2Id,
                   loaded.Out());
  return loaded;
}

TEST(Registration, WritesTheClassTheProgIdAndTheHostsAddinKeysAndRemovesThem) {
  EXPECT_EQ(ClassesValue(std::string(addin::kConnectProgId) + "\\CLSID"),
            addin::kConnectClassIdText);
  EXPECT_EQ(ClassesValue(kClassKey + "\\ProgID"), addin::kConnectProgId);
  EXPECT_EQ(ClassesValue(kClassKey + "\\InprocServer32"), ServerPath(kAddinDll));
  EXPECT_EQ(ClassesValue(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, addin::kUserAddinKey, "FriendlyName"),
            "ZQ Tabulex Converter Plugin");
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, addin::kUserAddinKey, "Description"),
            "Korvane Tabulex Converter Plugin for Microsoft Excel");
  EXPECT_EQ(NumberValue(HKEY_CURRENT_USER, addin::kUserAddinKey, "LoadBehavior"), 3u);
  EXPECT_EQ(NumberValue(HKEY_LOCAL_MACHINE, addin::kMachineAddinKey, "LoadBehavior"), 3u);
  {
    Unregistered gone(kAddinDll);
    EXPECT_FALSE(ClassesKeyExists(kClassKey));
    EXPECT_FALSE(ClassesKeyExists(addin::kConnectProgId));
    EXPECT_EQ(NumberValue(HKEY_CURRENT_USER, addin::kUserAddinKey, "LoadBehavior"), std::nullopt);
    EXPECT_EQ(NumberValue(HKEY_LOCAL_MACHINE, addin::kMachineAddinKey, "LoadBehavior"),
              std::nullopt);
    EXPECT_FALSE(LoadAddin());
  }
  EXPECT_TRUE(LoadAddin());
}

// The add-in answers its connection interface and IDispatch only. The host calls the events
// through IDispatch as well; names and ids agree.
TEST(Registration, LateBoundConnectionBuildsTheMenu) {
  addin::ComRef<addin::IDTExtensibility2> loaded = LoadAddin();
  ASSERT_TRUE(loaded);
  addin::ComRef<IDispatch> dispatch;
  EXPECT_EQ(loaded->QueryInterface(IID_IDispatch, dispatch.Out()), S_OK);
  addin::ComRef<IUnknown> other;
  EXPECT_EQ(loaded->QueryInterface(IID_IClassFactory, other.Out()), E_NOINTERFACE);
  const Object host = NewHost();
  DISPID ids[2] = {};
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"OnConnection"),
                      const_cast<LPOLESTR>(L"OnBeginShutdown")};
  ASSERT_EQ(loaded->GetIDsOfNames(IID_NULL, names, 1, 0, &ids[0]), S_OK);
  ASSERT_EQ(loaded->GetIDsOfNames(IID_NULL, names + 1, 1, 0, &ids[1]), S_OK);
  EXPECT_EQ(ids[0], 1);
  EXPECT_EQ(ids[1], 5);

  SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
  VARIANT args[4];
  args[3].vt = VT_DISPATCH;
  args[3].pdispVal = host.Get();
  args[2].vt = VT_I4;
  args[2].lVal = addin::kConnectAfterStartup;
  args[1].vt = VT_DISPATCH;
  args[1].pdispVal = nullptr;
  args[0].vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
  args[0].pparray = &custom;
  DISPPARAMS params{args, nullptr, 4, 0};
  EXPECT_EQ(loaded->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(FindControl(host, "&Export to ZQ Tabulex"));
  EXPECT_EQ(loaded->OnDisconnection(0, &custom), S_OK);
  EXPECT_FALSE(FindControl(host, "&Export to ZQ Tabulex"));
  SafeArrayDestroy(custom);
}

// The add-in as the host loads it, connected to a host of the test's own.
class EndToEnd : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    addin_ = LoadAddin();
    ASSERT_TRUE(addin_);
    ASSERT_EQ(addin_->OnConnection(host_.Get(), addin::kConnectAfterStartup, nullptr, nullptr),
              S_OK);
  }
  void TearDown() override {
    addin_->OnDisconnection(0, nullptr);
    addin_.Reset();
    AddinTest::TearDown();
  }

  addin::ComRef<addin::IDTExtensibility2> addin_;
};

TEST_F(EndToEnd, ExportThroughTheRealSaveDialogWritesTheChosenFile) {
  OpenSheet("Data", {"A1 5"});
  DialogScript dialogs({{"Save As", IDOK, (folder_ / "sales.68y").string()}});
  Click(host_, "&Export to ZQ Tabulex");
  dialogs.Only();
  EXPECT_TRUE(std::filesystem::exists(folder_ / "sales.68y"));
}

TEST_F(EndToEnd, AnEmptySheetIsReportedInARealMessageBoxAndWritesNothing) {
  OpenSheet("Data", {});
  DialogScript dialogs({{"Save As", IDOK, (folder_ / "empty.7xy").string()}, {"Error", IDOK}});
  Click(host_, "&Export to ZQ Tabulex");
  const std::vector<DialogScript::Seen>& answered = dialogs.Answered();
  ASSERT_EQ(answered.size(), 2u);
  EXPECT_EQ(answered[1].text, ErrorText(addin::kErrSourceTooSmall));
  EXPECT_TRUE(dialogs.Unexpected().empty());
  EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(EndToEnd, CancellingTheOpenDialogEndsImportWithoutAMessage) {
  DialogScript dialogs({{"Open", IDCANCEL}});
  Click(host_, "&Import from ZQ Tabulex");
  dialogs.Only();
}

TEST_F(EndToEnd, TheAboutBoxShowsTitleAndVersionAndSaysWhenSystemInformationIsMissing) {
  const char* aboutCaption = "About Tabulex Converter Excel Plugin";
  Click(host_, "&About ZQ Tabulex Converter...");
  HWND about = FindWindowA("#32770", aboutCaption);
  ASSERT_TRUE(about);
  EXPECT_TRUE(IsWindowVisible(about));
  char text[256];
  GetDlgItemTextA(about, IDC_ABOUT_TITLE, text, sizeof text);
  EXPECT_STREQ(text, "Tabulex Converter Excel Plugin");
  GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
  EXPECT_STREQ(text, "Version 1.0.3");

  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location");
  {
    DialogScript dialogs({{addin::kSettingsTitle, IDOK}}, {aboutCaption});
    SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_SYSINFO, BN_CLICKED), 0);
    EXPECT_EQ(dialogs.Only().text, "System Information Is Unavailable At This Time");
  }
  SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindow(about));
}

}  // namespace
}  // namespace tabulex::testing
