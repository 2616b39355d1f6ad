// The commands behind the add-in's menu items.
#include "addin/Commands.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "addin/Settings.h"
#include "converter/com/TabulexConverter_h.h"
#include "converter/platform/win32/MakerInterfaces.h"

namespace tabulex::addin {
namespace {

// {B73EBADE-7EE5-4B7D-8614-3B6625B8008F} and {AA20B28B-B2C6-41C2-904D-4CD1C5123E51}
constexpr CLSID kConverterClassId = {
    0xB73EBADE, 0x7EE5, 0x4B7D, {0x86, 0x14, 0x3B, 0x66, 0x25, 0xB8, 0x00, 0x8F}};
constexpr IID kITabulexId = {
    0xAA20B28B, 0xB2C6, 0x41C2, {0x90, 0x4D, 0x4C, 0xD1, 0xC5, 0x12, 0x3E, 0x51}};

constexpr long kTabTextFormat = -4158;
constexpr char kUnusedSheetName[] = "abcd";
// The variable Convert and Send writes: the title of the text file it always used.
constexpr char kSendVariableName[] = "tempSheet";
constexpr std::size_t kOfferedNameLength = 8;
constexpr std::size_t kExtensionLength = 4;
constexpr LONG kKv52Family = 1;
constexpr LONG kKv68Family = 2;
constexpr std::uint32_t kKv52SpreadsheetTag = 0xAABF47F3;
constexpr char kKv68SpreadsheetTag[] = "CELL";

// A COM call that failed, or a component that could not be created.
struct ComFailure {
  HRESULT code;
};
// The user cancelled a file dialog.
struct Cancelled {};

void Check(HRESULT hr) {
  if (FAILED(hr)) throw ComFailure{hr};
}

// The failures a user cannot act on when a component is missing: the class is not
// registered or its server cannot be loaded.
bool IsNotCreatable(HRESULT hr) {
  return hr == REGDB_E_CLASSNOTREG || hr == CO_E_CLASSSTRING || hr == CO_E_DLLNOTFOUND ||
         hr == CO_E_ERRORINDLL || hr == CO_E_APPNOTFOUND || hr == CO_E_SERVER_EXEC_FAILURE ||
         hr == E_NOINTERFACE || hr == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
}

struct UnknownRef {
  IUnknown* p = nullptr;
  UnknownRef() = default;
  UnknownRef(const UnknownRef&) = delete;
  UnknownRef& operator=(const UnknownRef&) = delete;
  ~UnknownRef() {
    if (p) p->Release();
  }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

struct Bstr {
  BSTR b;
  explicit Bstr(const std::string& text) {
    const std::wstring wide = Widen(text);
    b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!b) throw std::bad_alloc();
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b); }
};

// Deletes a file the command created, whichever way the command ends.
class CreatedFile {
 public:
  CreatedFile() = default;
  explicit CreatedFile(std::string path) : path_(std::move(path)) {}
  CreatedFile(const CreatedFile&) = delete;
  CreatedFile& operator=(const CreatedFile&) = delete;
  ~CreatedFile() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  void Reset(std::string path) {
    if (!path_.empty()) DeleteFileA(path_.c_str());
    path_ = std::move(path);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A workbook the command opened for its own use. It is closed without saving on every way out,
// so a failure part-way leaves no extra workbook open in the user's session; only the ordinary
// path's Close reports a failure of its own.
class ScratchBook {
 public:
  explicit ScratchBook(Object book) : book_(std::move(book)) {}
  ScratchBook(const ScratchBook&) = delete;
  ScratchBook& operator=(const ScratchBook&) = delete;
  ~ScratchBook() {
    if (!book_) return;
    try {
      Close();
    } catch (...) {
      // Already leaving on a failure, which is the one reported.
    }
  }
  const Object* operator->() const { return &book_; }
  void Close() {
    const Object book = std::exchange(book_, Object());
    const Variant keep = Variant::Bool(false);
    book.Call(L"Close", {&keep});
  }

 private:
  Object book_;
};

std::string TempFolder() {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length > MAX_PATH) throw ComFailure{HRESULT_FROM_WIN32(GetLastError())};
  return std::string(buffer, length);
}

// A text file name no other run uses: the system reserves a unique name in the temporary
// folder, and the text goes beside it under that name with ".txt" added. Both are deleted
// with the returned guards.
struct TempText {
  CreatedFile reserved;
  CreatedFile text;
};
void MakeTempText(TempText& temp) {
  char path[MAX_PATH];
  if (!GetTempFileNameA(TempFolder().c_str(), "tsh", 0, path)) {
    throw ComFailure{HRESULT_FROM_WIN32(GetLastError())};
  }
  temp.reserved.Reset(path);
  temp.text.Reset(std::string(path) + ".txt");
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The file title without its last 4 characters.
std::string VariableName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
  title.resize(title.size() > kExtensionLength ? title.size() - kExtensionLength : 0);
  return title;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The calculator type for a file's extension, compared as each command does.
struct TypeRow {
  const char* suffix;
  TABULEX_FILE_TYPES type;
};
constexpr TypeRow kExportTypes[] = {{"5XV", ZQ_TABULEX_52P},
                                    {"7XY", ZQ_TABULEX_74},
                                    {"68Y", ZQ_TABULEX_68},
                                    {"R2Y", ZQ_TABULEX_RB200}};
constexpr TypeRow kImportTypes[] = {{".5XV", ZQ_TABULEX_52P},
                                    {".7XY", ZQ_TABULEX_74},
                                    {".68Y", ZQ_TABULEX_68},
                                    {".R2Y", ZQ_TABULEX_RB200}};

template <std::size_t N>
std::optional<TABULEX_FILE_TYPES> TypeOf(const std::string& path, const TypeRow (&rows)[N]) {
  const std::string upper = Upper(path);
  for (const TypeRow& row : rows) {
    const std::string suffix = row.suffix;
    if (upper.size() >= suffix.size() && upper.ends_with(suffix)) return row.type;
  }
  return std::nullopt;
}

struct ModelRow {
  const char* model;
  TABULEX_FILE_TYPES type;
};
constexpr ModelRow kModels[] = {
    {"KV-57P", ZQ_TABULEX_52P}, {"KV-57PSE", ZQ_TABULEX_52P}, {"KV-52PSE", ZQ_TABULEX_52P},
    {"KV-52P", ZQ_TABULEX_52P}, {"KV-74P", ZQ_TABULEX_74},    {"R200", ZQ_TABULEX_RB200},
    {"KV-68", ZQ_TABULEX_68},   {"KV-68T", ZQ_TABULEX_68},
};

// Line by line as the host's scripting runtime reads text: a final line break ends the last
// line rather than starting an empty one. True when the last line read is empty or there is
// no line at all.
bool LastLineEmpty(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ComFailure{HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)};
  const std::string text(std::istreambuf_iterator<char>(in), {});
  std::size_t end = text.size();
  if (end > 0 && text[end - 1] == '\n') --end;
  if (end > 0 && text[end - 1] == '\r') --end;
  if (end == 0) return true;
  const std::size_t start = text.find_last_of("\r\n", end - 1);
  return start == end - 1;
}

class Converter {
 public:
  Converter() {
    Check(CoCreateInstance(kConverterClassId, nullptr, CLSCTX_INPROC_SERVER, kITabulexId,
                           reinterpret_cast<void**>(&p_)));
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { p_->Release(); }

  // Failure results stop the command; 0, 2 (cancelled) and 3 (skipped) let it go on.
  void Convert(const std::string& input, TABULEX_FILE_TYPES from, const std::string& folder,
               const std::string& name, TABULEX_FILE_TYPES to) {
    Bstr in(input), sheet(kUnusedSheetName), out(folder), internal(name);
    Check(p_->Convert(in.b, from, sheet.b, out.b, internal.b, to, TRUE));
  }
  std::string FileName() {
    BSTR name = nullptr;
    Check(p_->GetTheFileName(&name));
    std::string text = Narrow(name, static_cast<int>(SysStringLen(name)));
    SysFreeString(name);
    return text;
  }

 private:
  ITabulex* p_ = nullptr;
};

// Runs one command's steps and handles its failures in one place: the host's own error 1004
// and a cancelled dialog end the command silently, as does a missing component where
// `silentWhenNotCreatable` says so; everything else, whatever raised it, is reported with its
// code.
template <typename Steps>
void RunCommand(AddinUi& ui, bool silentWhenNotCreatable, Steps&& steps) {
  try {
    steps();
  } catch (const Cancelled&) {
  } catch (const AutomationError& e) {
    if (!e.IsHostError()) ReportError(ui, e.Code());
  } catch (const ComFailure& e) {
    if (!(silentWhenNotCreatable && IsNotCreatable(e.code))) ReportError(ui, e.code);
  } catch (const FileDialogError& e) {
    ReportError(ui, static_cast<HRESULT>(e.code));
  } catch (const std::bad_alloc&) {
    ReportError(ui, E_OUTOFMEMORY);
  }
}

}  // namespace

void ReportError(AddinUi& ui, HRESULT code) {
  std::string text;
  maker::ErrorText* component = nullptr;
  if (SUCCEEDED(CoCreateInstance(maker::kErrorTextClassId, nullptr, CLSCTX_INPROC_SERVER,
                                 maker::kIErrorTextId, reinterpret_cast<void**>(&component)))) {
    BSTR found = nullptr;
    if (SUCCEEDED(component->lpVtbl->GetErrorText(component, code, &found))) {
      text = Narrow(found, static_cast<int>(SysStringLen(found)));
    }
    SysFreeString(found);
    component->lpVtbl->Release(component);
  }
  if (text.empty()) {
    // Without the component the code itself is all there is to show.
    char number[32];
    wsprintfA(number, "Error 0x%08lX", static_cast<unsigned long>(code));
    text = number;
  }
  ui.ShowMessage(text, "Error");
}

bool VerifyAppVar(AddinUi& ui, const std::string& path) {
  UnknownRef created;
  Check(CoCreateInstance(maker::kVarFileClassId, nullptr, CLSCTX_ALL, IID_IUnknown, created.Out()));
  maker::VarFileData* file = nullptr;
  Check(created.p->QueryInterface(maker::kIVarFileDataId, reinterpret_cast<void**>(&file)));
  struct Release {
    maker::VarFileData* f;
    ~Release() { f->lpVtbl->Release(f); }
  } release{file};
  Bstr name(path);
  Check(file->lpVtbl->LoadFile(file, name.b, 0));
  LONG family = 0;
  Check(file->lpVtbl->get_DeviceFamily(file, &family));
  Variant tag;
  Check(file->lpVtbl->GetVarDataTag(file, tag.Out()));
  const VARIANT& v = tag.Get();
  bool spreadsheet = false;
  if (family == kKv68Family) {
    spreadsheet = v.vt == VT_BSTR && tag.Text() == kKv68SpreadsheetTag;
  } else if (family == kKv52Family) {
    spreadsheet = (v.vt == VT_UI4 || v.vt == VT_I4) && v.ulVal == kKv52SpreadsheetTag;
  }
  if (!spreadsheet) ReportError(ui, kErrNotASpreadsheet);
  return spreadsheet;
}

bool Commands::SaveActiveSheetAsText(const std::string& path) {
  const Object sheet = application_.GetObject(L"ActiveSheet");
  ScratchBook book(application_.GetObject(L"Workbooks").GetObject(L"Add"));
  const Variant first(1L);
  const Variant before =
      Variant::Object(book->GetObject(L"Worksheets").GetObject(L"Item", {&first}).Get());
  sheet.Call(L"Copy", {}, {{L"Before", before}});
  const Variant file(path), format(kTabTextFormat);
  book->Call(L"SaveAs", {&file, &format});
  book.Close();
  if (!LastLineEmpty(path)) return true;
  ReportError(ui_, kErrSourceTooSmall);
  return false;
}

void Commands::Export() {
  RunCommand(ui_, false, [this] { ExportSteps(); });
}

// A file dialog over the calculator files, owned by the host form.
FileDialogRequest Commands::CalculatorFileRequest() {
  FileDialogRequest request;
  request.owner = hostForm_.Load();
  request.filter = kFileFilter;
  return request;
}

void Commands::ExportSteps() {
  FileDialogRequest request = CalculatorFileRequest();
  GetKeyValue(HKEY_CURRENT_USER, kConvertedFilesKey, "", &request.initialFolder);
  request.fileName =
      application_.GetObject(L"ActiveSheet").GetValue(L"Name").Text().substr(0, kOfferedNameLength);
  const std::optional<std::string> chosen = ui_.ChooseSaveFile(request);
  if (!chosen) throw Cancelled{};

  TempText temp;
  MakeTempText(temp);
  if (!SaveActiveSheetAsText(temp.text.Path())) return;
  const std::optional<TABULEX_FILE_TYPES> type = TypeOf(*chosen, kExportTypes);
  if (!type) return;
  std::string name = VariableName(*chosen);
  if (*type == ZQ_TABULEX_52P) name = Upper(name);
  Converter().Convert(temp.text.Path(), ZQ_TAB_TEXT, FolderOf(*chosen), name, *type);
}

void Commands::Import() {
  RunCommand(ui_, false, [this] { ImportSteps(); });
}

void Commands::ImportSteps() {
  FileDialogRequest request = CalculatorFileRequest();
  if (!GetKeyValue(HKEY_CURRENT_USER, kUserDataKey, "", &request.initialFolder)) {
    GetKeyValue(HKEY_CURRENT_USER, kLinkUserDataKey, "", &request.initialFolder);
  }
  const std::optional<std::string> chosen = ui_.ChooseOpenFile(request);
  if (!chosen) throw Cancelled{};
  if (!VerifyAppVar(ui_, *chosen)) return;
  const std::optional<TABULEX_FILE_TYPES> type = TypeOf(*chosen, kImportTypes);
  if (!type) {
    ReportError(ui_, kErrNotASpreadsheet);
    return;
  }
  const Object target = application_.GetObject(L"ActiveWorkbook");
  Converter converter;
  converter.Convert(*chosen, *type, TempFolder(), Upper(VariableName(*chosen)), ZQ_TAB_TEXT);
  const CreatedFile text(converter.FileName());

  const Variant path(text.Path());
  ScratchBook book(
      Object::From(application_.GetObject(L"Workbooks").Call(L"Open", {&path}), L"Open"));
  const Variant first(1L);
  const Object targetSheets = target.GetObject(L"Worksheets");
  const Variant last(targetSheets.GetValue(L"Count").Get().lVal);
  const Variant after = Variant::Object(targetSheets.GetObject(L"Item", {&last}).Get());
  book->GetObject(L"Worksheets")
      .GetObject(L"Item", {&first})
      .Call(L"Copy", {}, {{L"After", after}});
  book.Close();
}

void Commands::ConvertAndSend() {
  RunCommand(ui_, true, [this] { ConvertAndSendSteps(); });
}

void Commands::ConvertAndSendSteps() {
  // Looking for the device, every failure is ignored: no calculator simply ends the command.
  Object link;
  try {
    CLSID classId;
    Check(CLSIDFromProgID(kDeviceLinkProgId, &classId));
    IDispatch* created = nullptr;
    Check(CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IDispatch,
                           reinterpret_cast<void**>(&created)));
    link = Object(created);
    created->Release();
    try {
      link.Call(L"FindDevice");
    } catch (const AutomationError&) {
      link.Call(L"ChooseDevice");
      link.Call(L"FindDevice");
    }
  } catch (const AutomationError&) {
    return;
  } catch (const ComFailure&) {
    return;
  }
  const std::string model = link.GetValue(L"Model").Text();
  const auto row = std::find_if(std::begin(kModels), std::end(kModels),
                                [&](const ModelRow& r) { return model == r.model; });
  if (row == std::end(kModels)) {
    ReportError(ui_, kErrDeviceNotSupported);
    return;
  }
  const Object sheet = application_.GetObject(L"ActiveSheet");
  const Variant a1(L"A1");
  const Object cell = sheet.GetObject(L"Range", {&a1});
  if (cell.GetValue(L"Formula").Text().empty()) cell.Put(L"Formula", Variant(L"0"));

  TempText temp;
  MakeTempText(temp);
  if (!SaveActiveSheetAsText(temp.text.Path())) return;
  Converter converter;
  converter.Convert(temp.text.Path(), ZQ_TAB_TEXT, TempFolder(), kSendVariableName, row->type);
  const CreatedFile written(converter.FileName());
  const Variant path(written.Path());
  link.Call(L"SendFile", {&path});
}

void Commands::Help(const std::string& installFolder) {
  ui_.StartProgram("HH.exe " + installFolder + "\\ZQTabulexConverterHelp.chm");
}

}  // namespace tabulex::addin
