// Support for the add-in's tests under Wine. Registers the servers the add-in talks to, the host
// stand-in and the add-in itself before any test runs, in the test's apartment. Other test
// programs share the prefix and expect no host to be registered, so all of them are unregistered
// at the end.
#include "tests/addin/AddinHarness.h"

#include <fstream>

#include "addin/Settings.h"
#include "components/com/DeviceLink.h"
#include "components/excel/HostObjects.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::testing {
namespace {

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RegisteredServers(
    {ServerPath(kConverterDll), ServerPath(kVarFileDll), ServerPath(kErrorTextDll),
     ServerPath(kDeviceLinkDll), ServerPath("Ledgerlink.dll"), WindowsPath(TABULEX_STANDIN_SERVER)},
    true));

}  // namespace

std::string ErrorText(HRESULT code) {
  maker::ErrorText* component = nullptr;
  if (FAILED(CoCreateInstance(maker::kErrorTextClassId, nullptr, CLSCTX_INPROC_SERVER,
                              maker::kIErrorTextId, reinterpret_cast<void**>(&component)))) {
    return "(no error-text component)";
  }
  BSTR text = nullptr;
  component->lpVtbl->GetErrorText(component, code, &text);
  std::string out = addin::Narrow(text, static_cast<int>(SysStringLen(text)));
  SysFreeString(text);
  component->lpVtbl->Release(component);
  return out;
}

Object NewHost(const wchar_t* failingMember) {
  // The stand-in reads its settings when the application is created.
  const wchar_t* const kStandInSettings = standin::kSettingsKey;
  if (failingMember) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kStandInSettings, L"FailMember", REG_SZ, failingMember,
                    static_cast<DWORD>((lstrlenW(failingMember) + 1) * sizeof(wchar_t)));
  }
  CLSID classId;
  EXPECT_EQ(CLSIDFromProgID(L"Excel.Application", &classId), S_OK);
  IDispatch* created = nullptr;
  EXPECT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IDispatch,
                             reinterpret_cast<void**>(&created)),
            S_OK);
  Object host(created);
  if (created) created->Release();
  if (failingMember) RegDeleteKeyValueW(HKEY_CURRENT_USER, kStandInSettings, L"FailMember");
  return host;
}

void AddinTest::SetUp() {
  DeleteKey(HKEY_CURRENT_USER, addin::SettingsKey(addin::kSettingsSection));
  host_ = NewHost();
  auto scripted = std::make_unique<ScriptedUi>();
  ui_ = scripted.get();
  connect_.Reset(new addin::Connect(std::move(scripted)));
}

void ConnectCalculator(const std::string& model, const std::string& folder, bool detectable) {
  const std::string key = addin::Narrow(components::com::kDeviceLinkSettingsKey,
                                        lstrlenW(components::com::kDeviceLinkSettingsKey));
  SetString(HKEY_CURRENT_USER, key, "Model", model);
  SetString(HKEY_CURRENT_USER, key, "Folder", folder);
  const DWORD detect = detectable ? 1 : 0;
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Detectable", REG_DWORD, &detect, sizeof detect);
}

void DisconnectCalculator() {
  RegDeleteTreeW(HKEY_CURRENT_USER, components::com::kDeviceLinkSettingsKey);
}

Object AddinTest::OpenSheet(const std::string& name, const std::vector<std::string>& cells) {
  std::string text = "standin-workbook 1\nsheet worksheet " + name + "\n";
  for (const std::string& cell : cells) text += "cell " + cell + "\n";
  const std::string path = PathOf(name + ".book");
  std::ofstream(path, std::ios::binary) << text;
  const Variant file(path);
  Object book = Object::From(host_.GetObject(L"Workbooks").Call(L"Open", {&file}), L"Open");
  std::filesystem::remove(path);
  return book;
}

void AddinTest::TearDown() {
  if (ui_) {
    EXPECT_TRUE(ui_->answers.empty()) << "file dialogs the add-in never opened";
  }
  connect_.Reset();
  host_ = Object();
}

}  // namespace tabulex::testing
