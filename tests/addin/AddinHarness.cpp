// Support for the add-in's tests under Wine.
#include "tests/addin/AddinHarness.h"

#include <fstream>

#include "addin/Settings.h"
#include "components/com/DeviceLink.h"
#include "components/excel/HostObjects.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::testing {

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

Object FindControl(const Object& application, const std::string& tag) {
  const Variant wanted(tag);
  return Object::From(
      application.GetObject(L"CommandBars").Call(L"FindControl", {}, {{L"Tag", wanted}}),
      L"FindControl");
}

std::string Text(const Object& object, const wchar_t* property) {
  return object.GetValue(property).Text();
}

long Number(const Object& object, const wchar_t* property) {
  return object.GetValue(property).Get().lVal;
}

void Click(const Object& application, const std::string& tag) {
  const Object control = FindControl(application, tag);
  ASSERT_TRUE(control) << tag;
  control.Call(L"Execute");
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
