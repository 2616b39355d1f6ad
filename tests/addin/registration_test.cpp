// Ledgerlink.dll as the host loads it: its registration, creation by ProgID, the connection
// interface early- and late-bound, commands end to end with the real dialogs on a display, and
// the menu, setting and host form its connection events manage.
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

// Export writes the file chosen in the real Save As dialog; a cancelled Open dialog ends Import
// without a message.
TEST_F(EndToEnd, ExportAndImportThroughTheRealFileDialogs) {
  OpenSheet("Data", {"A1 5"});
  DialogScript save({{"Save As", IDOK, (folder_ / "sales.68y").string()}});
  Click(host_, "&Export to ZQ Tabulex");
  save.Only();
  EXPECT_TRUE(std::filesystem::exists(folder_ / "sales.68y"));
  DialogScript open({{"Open", IDCANCEL}});
  Click(host_, "&Import from ZQ Tabulex");
  open.Only();
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

// The connection events on the host stand-in: the menu the add-in builds and removes, its
// setting, the host form, clicks through the host and the registry values it reads.
using addin::kConverterPopupTag;
using addin::kTopMenuTag;

// The buttons in menu order; each one's tag equals its caption.
constexpr const char* kItems[] = {
    "&Export to ZQ Tabulex", "&Import from ZQ Tabulex",        "&Convert and Send to Device",
    "ZQ Tabulex &Help",      "&About ZQ Tabulex Converter...",
};
constexpr long kPopupType = 10;
constexpr long kButtonType = 1;

Object MenuBarControls(const Object& host) {
  const Variant first(1L);
  return host.GetObject(L"CommandBars").GetObject(L"Item", {&first}).GetObject(L"Controls");
}

Object Item(const Object& controls, long index) {
  const Variant at(index);
  return controls.GetObject(L"Item", {&at});
}

// How many of the bar's controls carry the tag.
int CountTagged(const Object& controls, const std::string& tag) {
  int count = 0;
  for (long i = 1; i <= Number(controls, L"Count"); ++i)
    count += Text(Item(controls, i), L"Tag") == tag;
  return count;
}

std::string Setting() {
  return StringValue(HKEY_CURRENT_USER, addin::SettingsKey(addin::kSettingsSection),
                     addin::kDisplayOnConnect)
      .value_or("(missing)");
}

void StoreSetting(const std::string& value) {
  SetString(HKEY_CURRENT_USER, addin::SettingsKey(addin::kSettingsSection),
            addin::kDisplayOnConnect, value);
}

bool HostFormVisible() {
  HWND form = FindWindowA(nullptr, addin::kHostFormCaption);
  return form && IsWindowVisible(form);
}

using MenuTest = AddinTest;

TEST_F(MenuTest, ConnectionBuildsTheMenuAndDisconnectionRemovesAllButTheTemporaryTopMenu) {
  Connect();
  const Object top = Item(MenuBarControls(host_), 2);
  EXPECT_EQ(Text(top, L"Tag"), kTopMenuTag);
  EXPECT_EQ(Text(top, L"Caption"), kTopMenuTag);
  EXPECT_EQ(Number(top, L"Type"), kPopupType);

  const Object popup = Item(top.GetObject(L"Controls"), 1);
  EXPECT_EQ(Text(popup, L"Caption"), kConverterPopupTag);
  EXPECT_EQ(Text(popup, L"Tag"), kConverterPopupTag);
  const Object buttons = popup.GetObject(L"Controls");
  ASSERT_EQ(Number(buttons, L"Count"), 5);
  for (long i = 1; i <= 5; ++i) {
    SCOPED_TRACE(i);
    const Object button = Item(buttons, i);
    EXPECT_EQ(Text(button, L"Caption"), kItems[i - 1]);
    EXPECT_EQ(Text(button, L"Tag"), kItems[i - 1]);
    EXPECT_EQ(Text(button, L"OnAction"), "!<ZQ Tabulex(TM) Converter Plugin.Connect>");
    EXPECT_EQ(Number(button, L"Type"), kButtonType);
  }
  // Disconnection removes the pop-up and its buttons but keeps the temporary top menu.
  Disconnect();
  EXPECT_FALSE(FindControl(host_, kConverterPopupTag));
  for (const char* item : kItems) EXPECT_FALSE(FindControl(host_, item)) << item;
  EXPECT_TRUE(FindControl(host_, kTopMenuTag));
  EXPECT_EQ(Setting(), "0");
}

TEST_F(MenuTest, ASecondConnectionAddsItsPopupToTheExistingTopMenu) {
  Connect();
  Disconnect();
  Connect();
  const Object bar = MenuBarControls(host_);
  const auto popups = [&] {
    return CountTagged(FindControl(host_, kTopMenuTag).GetObject(L"Controls"), kConverterPopupTag);
  };
  EXPECT_EQ(CountTagged(bar, kTopMenuTag), 1);
  EXPECT_EQ(popups(), 1);

  // Another add-in object connecting to the same host shares the top menu too.
  addin::ComRef<addin::Connect> second(new addin::Connect(std::make_unique<ScriptedUi>()));
  second->OnConnection(host_.Get(), addin::kConnectAfterStartup, nullptr, nullptr);
  EXPECT_EQ(CountTagged(bar, kTopMenuTag), 1);
  EXPECT_EQ(popups(), 2);
  second->OnDisconnection(0, nullptr);
  Disconnect();
}

TEST_F(MenuTest, DisplayOnConnectShowsTheHostFormOnceStartupIsCompleteAndIsStoredOnDisconnection) {
  StoreSetting("1");
  Connect(addin::kConnectAfterStartup);
  EXPECT_TRUE(connect_->FormShown());
  EXPECT_TRUE(HostFormVisible());
  EXPECT_EQ(connect_->OnStartupComplete(nullptr), S_OK);
  EXPECT_TRUE(connect_->FormShown());
  Disconnect();
  EXPECT_EQ(Setting(), "1");
  EXPECT_FALSE(HostFormVisible());

  // Hidden again before disconnection, the form is remembered as not shown.
  Connect(addin::kConnectAfterStartup);
  connect_->Hide();
  Disconnect();
  EXPECT_EQ(Setting(), "0");

  // Connected at startup, the form waits for startup completion.
  StoreSetting("1");
  Connect(addin::kConnectStartup);
  EXPECT_FALSE(connect_->FormShown());
  connect_->OnStartupComplete(nullptr);
  EXPECT_TRUE(connect_->FormShown());
  Disconnect();
}

// An external connection shows the form and builds no menu. Closing the form unloads it and
// showing it loads it again.
TEST_F(MenuTest, AnExternalConnectionShowsTheFormWhichClosingUnloads) {
  Connect(addin::kConnectExternal);
  EXPECT_TRUE(connect_->FormShown());
  EXPECT_FALSE(FindControl(host_, kConverterPopupTag));
  HWND form = FindWindowA(nullptr, addin::kHostFormCaption);
  ASSERT_TRUE(form);
  SendMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form));
  // The add-in no longer holds the closed window.
  connect_->Hide();
  connect_->Show();
  EXPECT_TRUE(HostFormVisible());
  Disconnect();
  EXPECT_FALSE(FindWindowA(nullptr, addin::kHostFormCaption));
}

// The install folder is read when the menu is built; an install key without a default value
// gives a help path that starts with a backslash.
TEST_F(MenuTest, HelpStartsTheViewerWithTheInstallFolderReadWhenTheMenuWasBuilt) {
  DeleteKey(HKEY_LOCAL_MACHINE, addin::kProductKey);
  SetString(HKEY_LOCAL_MACHINE, addin::kProductKey, "Other", "x");
  Connect();
  Click(host_, "ZQ Tabulex &Help");
  Disconnect();
  SetString(HKEY_LOCAL_MACHINE, addin::kProductKey, "", "C:\\Tabulex");
  Connect();
  SetString(HKEY_LOCAL_MACHINE, addin::kProductKey, "", "C:\\Elsewhere");
  Click(host_, "ZQ Tabulex &Help");
  Disconnect();
  EXPECT_EQ(ui_->started,
            (std::vector<std::string>{"HH.exe \\ZQTabulexConverterHelp.chm",
                                      "HH.exe C:\\Tabulex\\ZQTabulexConverterHelp.chm"}));
  DeleteKey(HKEY_LOCAL_MACHINE, addin::kProductKey);
}

TEST_F(MenuTest, ClicksAfterDisconnectionReachNoCommand) {
  Connect();
  const Object help = FindControl(host_, "ZQ Tabulex &Help");
  Disconnect();
  // The control is gone with its pop-up; the host refuses to run it.
  EXPECT_THROW(help.Call(L"Execute"), addin::AutomationError);
  EXPECT_TRUE(ui_->started.empty());
}

TEST(GetKeyValue, ReadsStringValuesOnlyAndIsEmptyOnAnyFailure) {
  const std::string key = "Software\\Tabulex\\Add-in test values";
  DeleteKey(HKEY_CURRENT_USER, key);
  std::string value = "stale";
  EXPECT_FALSE(addin::GetKeyValue(HKEY_CURRENT_USER, key, "", &value));
  EXPECT_EQ(value, "");

  SetString(HKEY_CURRENT_USER, key, "", "C:\\Data");
  SetString(HKEY_CURRENT_USER, key, "Named", std::string(1000, 'x'));
  SetString(HKEY_CURRENT_USER, key, "Long", std::string(1500, 'y'));
  const DWORD number = 7;
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Number", REG_DWORD, &number, sizeof number);
  // Stored without a terminating zero, as some writers do.
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Bare", REG_SZ, "abc", 3);
  // "Long" is longer than the 1024-character buffer: a failure, not a cut-off text.
  const std::tuple<const char*, bool, std::string> reads[] = {
      {"", true, "C:\\Data"}, {"Named", true, std::string(1000, 'x')},
      {"Bare", true, "abc"},  {"Number", false, ""},
      {"Missing", false, ""}, {"Long", false, ""}};
  for (const auto& [name, found, expected] : reads) {
    value = "stale";
    EXPECT_EQ(addin::GetKeyValue(HKEY_CURRENT_USER, key, name, &value), found) << name;
    EXPECT_EQ(value, expected) << name;
  }
  DeleteKey(HKEY_CURRENT_USER, key);
}

}  // namespace
}  // namespace tabulex::testing
