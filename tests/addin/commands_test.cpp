// The Export, Import and Convert and Send commands, clicked through the host stand-in with the
// file dialogs answered by a script, against the real converter and component servers; and the
// device-link server Convert and Send talks to.
#include "addin/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "addin/Connect.h"
#include "addin/Settings.h"
#include "components/DeviceLinkStandIn.h"
#include "components/VarFileStandIn.h"
#include "components/com/DeviceLink.h"
#include "converter/driver/FileTypes.h"
#include "tests/addin/AddinHarness.h"
#include "tests/com/ComTestSupport.h"
#include "tests/com/DialogScript.h"

namespace tabulex::testing {
namespace {

constexpr char kExport[] = "&Export to ZQ Tabulex";
constexpr char kImport[] = "&Import from ZQ Tabulex";
constexpr char kConvertAndSend[] = "&Convert and Send to Device";

// The files of a folder, by name.
std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CommandTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(Connect());
    before_ = FilesIn(std::filesystem::temp_directory_path());
    guard_ = std::make_unique<DialogScript>();
  }
  void TearDown() override {
    EXPECT_TRUE(guard_->Unexpected().empty()) << guard_->Unexpected()[0].text;
    EXPECT_EQ(FilesIn(std::filesystem::temp_directory_path()), before_)
        << "files left in the temporary folder";
    Disconnect();
    AddinTest::TearDown();
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
  // The hidden host form owns the dialog.
  HWND form = FindWindowA(nullptr, addin::kHostFormCaption);
  EXPECT_TRUE(form);
  EXPECT_EQ(request.owner, form);
  EXPECT_FALSE(IsWindowVisible(form));
  // Cancelled: no message, no file.
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_TRUE(FilesIn(folder_).empty());
  DeleteKey(HKEY_CURRENT_USER, addin::kConvertedFilesKey);
}

// The chosen file's extension, in any case, gives the type; an unknown one writes nothing. A
// KV-52 Plus file takes the upper-case name. The workbook the user worked in is still there,
// unchanged and active.
TEST_F(CommandTest, ExportWritesTheTypeOfTheChosenExtensionAndKeepsTheSheetInTheWorkbook) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"data.xls", {}},
      {"data.7XY", {"data.7xy"}},
      {"budget.5xv", {"BUDGET.5xv"}},
  };
  for (const auto& [chosen, written] : cases) {
    SCOPED_TRACE(chosen);
    // A clean folder for each row.
    const std::filesystem::path out = folder_ / "out";
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    const Object book = OpenSheet("Data", {"A1 5", "B1 text", "A2 7"});
    Export((out / chosen).string());
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(FilesIn(out), written);
    EXPECT_EQ(Text(host_.GetObject(L"ActiveSheet"), L"Name"), "Data");
    EXPECT_EQ(Number(book.GetObject(L"Worksheets"), L"Count"), 1);
  }
}

// The open dialog starts in the user's data folder, or else in the link program's.
TEST_F(CommandTest, ImportAddsTheSheetUnderTheUpperCaseFileTitleToTheActiveWorkbook) {
  OpenSheet("Data", {"A1 5", "B1 6"});
  Export(PathOf("budget.68y"));
  ASSERT_EQ(FilesIn(folder_).size(), 1u);
  const std::string written = PathOf(FilesIn(folder_)[0]);

  DeleteKey(HKEY_CURRENT_USER, addin::kUserDataKey);
  SetString(HKEY_CURRENT_USER, addin::kLinkUserDataKey, "", "C:\\Link");
  ui_->answers.push_back(std::nullopt);
  Click(host_, kImport);
  const Object target = OpenSheet("Target", {"A1 1"});
  SetString(HKEY_CURRENT_USER, addin::kUserDataKey, "", "C:\\Mine");
  ui_->answers.push_back(written);
  Click(host_, kImport);
  EXPECT_TRUE(ui_->messages.empty());
  ASSERT_EQ(ui_->openRequests.size(), 2u);
  EXPECT_EQ(ui_->openRequests[0].initialFolder, "C:\\Link");
  EXPECT_EQ(ui_->openRequests[0].filterIndex, 1);
  EXPECT_EQ(ui_->openRequests[1].initialFolder, "C:\\Mine");
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
  DeleteKey(HKEY_CURRENT_USER, addin::kLinkUserDataKey);
}

// A KV-52 Plus variable whose data tag is not the spreadsheet's, and a file the component
// cannot load, are reported and change no workbook.
TEST_F(CommandTest, ImportOfAFileThatIsNoSpreadsheetReportsItAndChangesNoWorkbook) {
  const Object target = OpenSheet("Target", {"A1 1"});
  const std::tuple<const char*, std::string, HRESULT> files[] = {
      {"notes.5xv", components::WrapKv52("NOTES", 0x12345678u, "abcdef").value(),
       addin::kErrNotASpreadsheet},
      {"broken.68y", "not a calculator file", components::kInvalidData}};
  for (const auto& [name, bytes, error] : files) {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    ui_->answers.push_back(PathOf(name));
    ui_->messages.clear();
    Click(host_, kImport);
    EXPECT_EQ(ui_->messages, ErrorMessage(error)) << name;
  }
  EXPECT_EQ(Number(target.GetObject(L"Worksheets"), L"Count"), 1);
}

// Convert and Send against the device-link stand-in, whose "connected" calculator each test
// configures; sent files arrive in a folder of the test's own.
class ConvertAndSendTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    calculator_ = folder_ / "calculator";
    std::filesystem::create_directories(calculator_);
    Configure("KV-68");
  }
  void TearDown() override {
    DisconnectCalculator();
    CommandTest::TearDown();
  }

  void Configure(const std::string& model, bool detectable = true) {
    ConnectCalculator(model, calculator_.string(), detectable);
  }
  static std::string Formula(const Object& book, const wchar_t* cell) {
    const Variant first(1L), at(cell);
    return book.GetObject(L"Worksheets")
        .GetObject(L"Item", {&first})
        .GetObject(L"Range", {&at})
        .GetValue(L"Formula")
        .Text();
  }
  // Answers the dialogs of one click: the device choice first when `deviceChoice` is a
  // button, then the converter's note that "tempSheet" became a device name when the command
  // converts. `Seen()` is what they showed.
  void ExpectDialogs(std::optional<int> deviceChoice, bool converts) {
    std::vector<DialogScript::Step> steps;
    if (deviceChoice) steps.push_back({components::com::kDeviceChoiceCaption, *deviceChoice});
    if (converts) steps.push_back({kNameChangedCaption, IDOK});
    expected_ = steps.size();
    guard_ = std::make_unique<DialogScript>(std::move(steps));
  }
  std::vector<std::string> Seen() {
    std::vector<std::string> texts;
    for (const DialogScript::Seen& seen : guard_->Answered()) texts.push_back(seen.text);
    EXPECT_EQ(texts.size(), expected_) << "dialogs the command never showed";
    return texts;
  }
  static constexpr char kNameChangedCaption[] = "Invalid File Name";

  std::filesystem::path calculator_;
  std::size_t expected_ = 0;
};

// An empty A1 gets a zero, one with contents is left as it is; each model receives a file of
// its type.
TEST_F(ConvertAndSendTest, EachModelReceivesAFileOfItsTypeAndAnEmptyA1GetsZero) {
  struct Case {
    const char* model;
    const char* extension;
    components::Family family;
    std::vector<std::string> cells;
    const char* a1;
  };
  const Case cases[] = {
      {"KV-57PSE", ".5xv", components::Family::kKv52, {"B1 5", "B2 text"}, "0"},
      {"KV-68T", ".68y", components::Family::kKv68, {"B1 5", "B2 text"}, "0"},
      {"KV-74P", ".7xy", components::Family::kKv68, {"B1 5", "B2 text"}, "0"},
      {"R200", ".r2y", components::Family::kKv68, {"B1 5", "B2 text"}, "0"},
      {"KV-68", ".68y", components::Family::kKv68, {"A1 7"}, "7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    std::filesystem::remove_all(calculator_);
    std::filesystem::create_directories(calculator_);
    Configure(c.model);
    const Object book = OpenSheet("Data", c.cells);
    ExpectDialogs(std::nullopt, true);
    Click(host_, kConvertAndSend);
    Seen();
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(Formula(book, L"A1"), c.a1);
    const std::vector<std::string> sent = FilesIn(calculator_);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(std::filesystem::path(sent[0]).extension(), c.extension);
    components::VarFileStandIn file;
    ASSERT_EQ(file.LoadFile((calculator_ / sent[0]).string(), 0), kOk);
    std::int32_t family = 0;
    file.get_DeviceFamily(&family);
    EXPECT_EQ(family, static_cast<std::int32_t>(c.family));
    const Variant keep = Variant::Bool(false);
    book.Call(L"Close", {&keep});
  }
}

TEST_F(ConvertAndSendTest, AnUnsupportedModelIsReportedAndNothingIsWrittenOrChanged) {
  Configure("KV-84");
  const Object book = OpenSheet("Data", {"B1 5"});
  Click(host_, kConvertAndSend);
  EXPECT_EQ(ui_->messages, ErrorMessage(addin::kErrDeviceNotSupported));
  EXPECT_EQ(Formula(book, L"A1"), "");
  EXPECT_TRUE(FilesIn(calculator_).empty());
}

// The device choice is offered when the search finds no calculator. When the user's choice
// finds none either, or the user cancels, the command ends silently and changes nothing; a
// calculator the search missed is sent to once the user chooses it.
TEST_F(ConvertAndSendTest, TheDeviceChoiceIsOfferedWhenTheSearchFindsNoCalculator) {
  const struct {
    const char* model;
    bool detectable;
    int button;
    const char* prompt;
    const char* sent;  // the extension of the file sent, if any
  } cases[] = {{"", true, IDOK, components::com::kNoDeviceToChoose, nullptr},
               {"KV-68", false, IDCANCEL, components::com::kDeviceChoicePrompt, nullptr},
               {"KV-74P", false, IDOK, components::com::kDeviceChoicePrompt, ".7xy"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prompt);
    Configure(c.model, c.detectable);
    const Object book = OpenSheet("Data", {"B1 5"});
    ExpectDialogs(c.button, c.sent != nullptr);
    Click(host_, kConvertAndSend);
    const std::vector<std::string> seen = Seen();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], c.prompt);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(Formula(book, L"A1"), c.sent ? "0" : "");
    const std::vector<std::string> sent = FilesIn(calculator_);
    ASSERT_EQ(sent.size(), c.sent ? 1u : 0u);
    if (c.sent) {
      EXPECT_EQ(std::filesystem::path(sent[0]).extension(), c.sent);
    }
    const Variant keep = Variant::Bool(false);
    book.Call(L"Close", {&keep});
  }
}

// The device link raises its failure like any component; unlike the host's own error it is
// reported, and both temporary files are still deleted.
TEST_F(ConvertAndSendTest, AFailedSendIsReportedWithTheLinksCode) {
  ConnectCalculator("KV-68", (folder_ / "unplugged").string());
  OpenSheet("Data", {"A1 5"});
  ExpectDialogs(std::nullopt, true);
  Click(host_, kConvertAndSend);
  Seen();
  EXPECT_EQ(ui_->messages, ErrorMessage(components::kDeviceUnreachable));
}

// A failure the host raises ends both commands silently. The workbook Export added for the copy
// is closed too: the user is left with only their own.
TEST_F(ConvertAndSendTest, AFailureTheHostRaisesEndsExportAndConvertAndSendSilently) {
  host_ = NewHost(L"SaveAs");
  ASSERT_NO_FATAL_FAILURE(Connect());
  OpenSheet("Data", {"A1 5"});
  const long books = Number(host_.GetObject(L"Workbooks"), L"Count");
  Export(PathOf("data.68y"));
  EXPECT_EQ(Number(host_.GetObject(L"Workbooks"), L"Count"), books);
  Click(host_, kConvertAndSend);
  EXPECT_TRUE(ui_->messages.empty());
  EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"calculator"});
  EXPECT_TRUE(FilesIn(calculator_).empty());
}

// A component that cannot be created ends Convert and Send silently; Export reports it.
TEST_F(ConvertAndSendTest, MissingComponentsEndTheCommandSilently) {
  OpenSheet("Data", {"A1 5"});
  {
    Unregistered gone(kDeviceLinkDll);
    Click(host_, kConvertAndSend);
  }
  {
    Unregistered gone(kConverterDll);
    Click(host_, kConvertAndSend);
    EXPECT_TRUE(ui_->messages.empty());
    Export(PathOf("data.68y"));
  }
  EXPECT_EQ(ui_->messages, ErrorMessage(REGDB_E_CLASSNOTREG));
  EXPECT_TRUE(FilesIn(calculator_).empty());
}

// The device-link stand-in as a COM server: created by its ProgID, its dispatch as strict as
// a type library's, and the link's failures raised with their code and text.
class DeviceLinkServer : public ::testing::Test {
 protected:
  void SetUp() override {
    DisconnectCalculator();
    std::filesystem::create_directories(folder_ / "calculator");
  }
  void TearDown() override { DisconnectCalculator(); }
  // A new component, which reads the "connected" calculator when it is created.
  IDispatch* Create(const std::string& model) {
    ConnectCalculator(model, (folder_ / "calculator").string());
    CLSID classId;
    EXPECT_EQ(CLSIDFromProgID(components::com::kDeviceLinkProgId, &classId), S_OK);
    IDispatch* link = nullptr;
    EXPECT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    return link;
  }
  static DISPID Id(IDispatch* link, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    link->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
  }
  // Invokes a member with positional arguments given last to first; the code and text of the
  // raised error, if any, land in `raised`.
  static HRESULT Invoke(IDispatch* link, const wchar_t* name, WORD flags,
                        std::vector<VARIANT> args = {}, std::vector<DISPID> named = {},
                        std::pair<SCODE, std::string>* raised = nullptr) {
    DISPPARAMS params{args.data(), named.data(), static_cast<UINT>(args.size()),
                      static_cast<UINT>(named.size())};
    EXCEPINFO exception{};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        link->Invoke(Id(link, name), IID_NULL, 0, flags, &params, &result, &exception, nullptr);
    VariantClear(&result);
    const BSTR text = exception.bstrDescription;
    if (raised)
      *raised = {exception.scode, addin::Narrow(text, static_cast<int>(SysStringLen(text)))};
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    return hr;
  }
  std::string WriteKv68File(const std::string& name) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary)
        << *components::WrapKv68(DeviceTypeOf(ZQ_TABULEX_68), "sales", kKv68SheetTag, "cells");
    return path;
  }

  TempFolder temp_;
  const std::filesystem::path& folder_ = temp_.Root();
};

// An argument of a type; the test sets its value.
VARIANT Typed(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

TEST_F(DeviceLinkServer, RefusesCallsOfTheWrongForm) {
  addin::ComRef<IDispatch> link(Create("KV-68"));
  ASSERT_TRUE(link);
  addin::ComRef<IUnknown> other;
  EXPECT_EQ(link->QueryInterface(IID_IConnectionPointContainer, other.Out()), E_NOINTERFACE);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"SendFile"), const_cast<LPOLESTR>(L"Path")};
  DISPID ids[2];
  EXPECT_EQ(link->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Id(link.Get(), L"Connect"), DISPID_UNKNOWN);

  ASSERT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD), S_OK);
  const VARIANT one = Variant(1L).Get();
  VARIANT missing = Typed(VT_ERROR);
  missing.scode = DISP_E_PARAMNOTFOUND;
  // SendFile takes exactly one string, by position.
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {one}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {missing}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {one}, {0}), DISP_E_NONAMEDARGS);
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD, {one}), DISP_E_BADPARAMCOUNT);
  // Model is read only; the methods are no properties.
  DISPID put = DISPID_PROPERTYPUT;
  EXPECT_EQ(Invoke(link.Get(), L"Model", DISPATCH_PROPERTYPUT, {one}, {put}),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(std::filesystem::is_empty(folder_ / "calculator"));
}

TEST_F(DeviceLinkServer, RaisesTheLinksFailuresWithTheirCodeAndText) {
  addin::ComRef<IDispatch> link(Create(""));
  ASSERT_TRUE(link);
  std::pair<SCODE, std::string> raised;
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD, {}, {}, &raised), DISP_E_EXCEPTION);
  EXPECT_EQ(raised.first, components::kNoDevice);
  EXPECT_EQ(raised.second, ErrorText(components::kNoDevice));

  // The add-in's late-bound calls see the same code.
  const Object object(link.Get());
  try {
    object.GetValue(L"Model");
    ADD_FAILURE() << "a model without a calculator";
  } catch (const addin::AutomationError& e) {
    EXPECT_EQ(e.Code(), components::kNoDevice);
  }
}

TEST_F(DeviceLinkServer, SendsAFileGivenByValueOrByReference) {
  addin::ComRef<IDispatch> link(Create("KV-68T"));
  ASSERT_TRUE(link);
  const Object object(link.Get());
  object.Call(L"FindDevice");
  EXPECT_EQ(object.GetValue(L"Model").Text(), "KV-68T");
  const Variant first(WriteKv68File("first.68y"));
  object.Call(L"SendFile", {&first});

  BSTR second = SysAllocString(addin::Widen(WriteKv68File("second.68y")).c_str());
  VARIANT byReference = Typed(VT_BSTR | VT_BYREF);
  byReference.pbstrVal = &second;
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {byReference}), S_OK);
  SysFreeString(second);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "calculator" / "first.68y"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "calculator" / "second.68y"));
}

}  // namespace
}  // namespace tabulex::testing
