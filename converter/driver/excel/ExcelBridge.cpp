// The host engine: lists worksheets, exports one worksheet as tab-delimited text and turns
// tab-delimited text into a workbook, each with an invisible host instance of its own.
#include "converter/driver/excel/ExcelBridge.h"

#include <oleauto.h>

#include <optional>
#include <utility>
#include <vector>

#include "converter/driver/excel/Automation.h"
#include "converter/model/ConversionContext.h"

namespace tabulex {
namespace {

using automation::Dispatch;
using automation::Variant;

// Dispatch ids of the host's published object model.
namespace id {
constexpr DISPID kVisible = 0x22E;
constexpr DISPID kDisplayAlerts = 0x157;
constexpr DISPID kWorkbooks = 0x23C;
constexpr DISPID kActiveWindow = 0x2F7;
constexpr DISPID kQuit = 0x12E;
constexpr DISPID kOpen = 0x2AA;
constexpr DISPID kActivate = 0x130;
constexpr DISPID kWorksheets = 0x1EE;
constexpr DISPID kCount = 0x76;
constexpr DISPID kItem = 0xAA;
constexpr DISPID kName = 0x6E;
constexpr DISPID kRange = 0xC5;
constexpr DISPID kValue = 0x6;
constexpr DISPID kDisplayFormulas = 0x284;
constexpr DISPID kSaveAs = 0x11C;
constexpr DISPID kClose = 0x115;
}  // namespace id

constexpr short kUpdateLinks = 3;
constexpr short kTabDelimiter = 1;
constexpr long kFormatTabText = -4158;
constexpr long kFormatWorkbook = -4143;
constexpr long kAccessModeNoChange = 0;
constexpr char kFirstCell[] = "A1";
// What an empty first cell receives, so the export keeps the sheet's first row and column.
constexpr char kEmptyFirstCell[] = "0";

// Workbooks.Open: file name, UpdateLinks, ReadOnly, Format, Password, WriteResPassword,
// IgnoreReadOnlyRecommended, Origin, Delimiter, Editable, Notify, Converter, AddToMru.
std::vector<Variant> OpenArguments(const std::string& path, bool readOnly, bool tabText) {
  std::vector<Variant> args;
  args.push_back(Variant::String(path));
  args.push_back(Variant::Int16(kUpdateLinks));
  args.push_back(Variant::Bool(readOnly));
  for (int i = 0; i < 3; ++i) args.push_back(Variant::Missing());
  args.push_back(Variant::Bool(true));
  args.push_back(Variant::Missing());
  args.push_back(tabText ? Variant::Int16(kTabDelimiter) : Variant::Missing());
  args.push_back(Variant::Missing());
  args.push_back(Variant::Bool(false));
  args.push_back(Variant::Missing());
  args.push_back(Variant::Bool(false));
  return args;
}

// Workbook.SaveAs: file name, FileFormat, Password, WriteResPassword, ReadOnlyRecommended,
// CreateBackup, AccessMode, ConflictResolution, AddToMru, TextCodepage, TextVisualLayout.
std::vector<Variant> SaveAsArguments(const std::string& path, long format, bool addToMru) {
  std::vector<Variant> args;
  args.push_back(Variant::String(path));
  args.push_back(Variant::Int32(format));
  for (int i = 0; i < 4; ++i) args.push_back(Variant::Missing());
  args.push_back(Variant::Int32(kAccessModeNoChange));
  args.push_back(Variant::Missing());
  args.push_back(Variant::Bool(addToMru));
  args.push_back(Variant::Missing());
  args.push_back(Variant::Missing());
  return args;
}

// Workbook.Close: SaveChanges false, Filename and RouteWorkbook left out.
std::vector<Variant> CloseWithoutSaving() {
  std::vector<Variant> args;
  args.push_back(Variant::Bool(false));
  args.push_back(Variant::Missing());
  args.push_back(Variant::Missing());
  return args;
}

// One host instance from its start to its Quit. The destructor closes the open workbook
// without saving, restores the alerts setting and quits on every path that did not End().
class HostSession {
 public:
  explicit HostSession(const std::string& progId) { Start(progId); }
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  bool Started() const { return static_cast<bool>(app_); }
  Dispatch& App() { return app_; }
  // Remembers the alerts setting and switches alerts off until End().
  void SilenceAlerts();
  Dispatch& Open(std::vector<Variant> args);
  // Closes the workbook without saving, restores the alerts and quits; failures propagate.
  void End();

 private:
  void Start(const std::string& progId);
  void CloseBook();
  void RestoreAlerts();
  void Quit();

  Dispatch app_;
  Dispatch book_;
  std::optional<bool> savedAlerts_;
  bool quitPending_ = false;
};

void HostSession::Start(const std::string& progId) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(automation::Widen(progId).c_str(), &clsid))) return;
  IDispatch* app = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&app))) ||
      !app) {
    return;
  }
  app_ = Dispatch(app);
  quitPending_ = true;
}

HostSession::~HostSession() {
  // Each step runs once: a host that fails one of them still gets the others. Nothing may
  // leave a destructor; the operation has already failed when steps are left here.
  for (void (HostSession::*step)() :
       {&HostSession::CloseBook, &HostSession::RestoreAlerts, &HostSession::Quit}) {
    try {
      (this->*step)();
    } catch (...) {
    }
  }
}

void HostSession::SilenceAlerts() {
  savedAlerts_ =
      app_.Get(id::kDisplayAlerts, "Reading DisplayAlerts").ToInt32("DisplayAlerts") != 0;
  app_.Put(id::kDisplayAlerts, "Switching alerts off", Variant::Bool(false));
}

Dispatch& HostSession::Open(std::vector<Variant> args) {
  Dispatch books = app_.GetObject(id::kWorkbooks, "Workbooks");
  book_ = books.CallObject(id::kOpen, "Opening the workbook", std::move(args));
  return book_;
}

void HostSession::End() {
  CloseBook();
  RestoreAlerts();
  Quit();
}

void HostSession::CloseBook() {
  if (!book_) return;
  Dispatch book = std::move(book_);
  book.Call(id::kClose, "Closing the workbook", CloseWithoutSaving());
}

void HostSession::RestoreAlerts() {
  if (!savedAlerts_) return;
  const bool alerts = *std::exchange(savedAlerts_, std::nullopt);
  app_.Put(id::kDisplayAlerts, "Restoring DisplayAlerts", Variant::Bool(alerts));
}

void HostSession::Quit() {
  if (std::exchange(quitPending_, false)) app_.Call(id::kQuit, "Quit");
}

// SaveAs of the export failed: the text file could not be written.
struct SaveFailure {};

void SetDisplayFormulas(Dispatch& app, bool on) {
  Dispatch window = app.GetObject(id::kActiveWindow, "ActiveWindow");
  window.Put(id::kDisplayFormulas, "DisplayFormulas", Variant::Bool(on));
}

// Activates the worksheet and gives an empty A1 a value in the open copy only.
void PrepareSheet(Dispatch& sheets, const std::string& sheetName) {
  std::vector<Variant> index;
  index.push_back(Variant::String(sheetName));
  Dispatch sheet = sheets.GetObject(id::kItem, "Finding the worksheet", std::move(index));
  sheet.Call(id::kActivate, "Activating the worksheet");
  std::vector<Variant> corners;
  corners.push_back(Variant::String(kFirstCell));
  corners.push_back(Variant::String(kFirstCell));
  Dispatch first = sheet.GetObject(id::kRange, "Range A1", std::move(corners));
  if (first.Get(id::kValue, "Reading A1").Type() == VT_EMPTY) {
    first.Put(id::kValue, "Filling A1", Variant::String(kEmptyFirstCell));
  }
}

void ExportSheet(HostSession& session, const std::string& workbookPath, const std::string& textPath,
                 const std::string& sheetName) {
  session.SilenceAlerts();
  Dispatch& book = session.Open(OpenArguments(workbookPath, true, false));
  book.Call(id::kActivate, "Activating the workbook");
  Dispatch sheets = book.GetObject(id::kWorksheets, "Worksheets");
  PrepareSheet(sheets, sheetName);
  SetDisplayFormulas(session.App(), true);
  try {
    book.Call(id::kSaveAs, "Saving the text", SaveAsArguments(textPath, kFormatTabText, true));
  } catch (const automation::Failure&) {
    throw SaveFailure{};
  }
}

std::vector<std::string> ReadSheetNames(HostSession& session, const std::string& workbookPath) {
  Dispatch& app = session.App();
  app.Put(id::kVisible, "Visible", Variant::Bool(false));
  app.Put(id::kDisplayAlerts, "DisplayAlerts", Variant::Bool(true));
  Dispatch& book = session.Open(OpenArguments(workbookPath, true, false));
  book.Call(id::kActivate, "Activating the workbook");
  Dispatch sheets = book.GetObject(id::kWorksheets, "Worksheets");
  std::vector<std::string> names;
  // The count is read anew before every step, as the collection may change under us.
  for (short index = 1; index <= sheets.Get(id::kCount, "Worksheets.Count").ToInt32("Count");
       ++index) {
    std::vector<Variant> item;
    item.push_back(Variant::Int16(index));
    Dispatch sheet = sheets.GetObject(id::kItem, "Worksheets.Item", std::move(item));
    names.push_back(sheet.Get(id::kName, "Worksheet.Name").ToString("Name"));
  }
  return names;
}

class ExcelEngine : public SpreadsheetEngine {
 public:
  explicit ExcelEngine(std::string progId) : progId_(std::move(progId)) {}

  int ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                       const std::string& textPath, const std::string& sheetName) override;
  int TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                          const std::string& workbookPath) override;
  HResult GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                             std::vector<std::string>* names) override;

 private:
  std::string progId_;
};

constexpr int kNotStarted = -1;
constexpr int kFailedAfterOpening = -1;

int ExcelEngine::ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                                  const std::string& textPath, const std::string& sheetName) {
  automation::Apartment apartment;
  HostSession session(progId_);
  if (!session.Started()) {
    context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
    return kNotStarted;
  }
  try {
    ExportSheet(session, workbookPath, textPath, sheetName);
    session.End();
    return 0;
  } catch (const SaveFailure&) {
    context.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  } catch (const automation::Failure&) {
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return 0;
  }
}

int ExcelEngine::TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                                     const std::string& workbookPath) {
  automation::Apartment apartment;
  HostSession session(progId_);
  if (!session.Started()) {
    context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
    return kNotStarted;
  }
  Dispatch* book = nullptr;
  try {
    session.SilenceAlerts();
    book = &session.Open(OpenArguments(textPath, false, true));
  } catch (const automation::Failure&) {
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return 0;
  }
  try {
    book->Call(id::kActivate, "Activating the workbook");
    SetDisplayFormulas(session.App(), false);
    book->Call(id::kSaveAs, "Saving the workbook",
               SaveAsArguments(workbookPath, kFormatWorkbook, false));
    session.End();
    return 0;
  } catch (const automation::Failure&) {
    return kFailedAfterOpening;
  }
}

HResult ExcelEngine::GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                                        std::vector<std::string>* names) {
  if (!names) return kPointer;
  automation::Apartment apartment;
  HostSession session(progId_);
  if (!session.Started()) {
    context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
    return kFail;
  }
  try {
    std::vector<std::string> read = ReadSheetNames(session, workbookPath);
    session.End();
    *names = std::move(read);
    return kOk;
  } catch (const automation::Failure&) {
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return kFail;
  }
}

// Owns a SAFEARRAY until it is handed over.
struct ArrayOwner {
  SAFEARRAY* array;
  ~ArrayOwner() {
    if (array) SafeArrayDestroy(array);
  }
};

}  // namespace

HRESULT StoreSheetNames(const std::vector<std::string>& names, VARIANT* out) {
  if (!out) return E_POINTER;
  SAFEARRAYBOUND bound{static_cast<ULONG>(names.size()), 0};
  ArrayOwner owner{SafeArrayCreate(VT_BSTR, 1, &bound)};
  if (!owner.array) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
    const std::wstring wide = automation::Widen(names[static_cast<std::size_t>(i)]);
    BSTR name = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!name) return E_OUTOFMEMORY;
    // SafeArrayPutElement copies the string.
    const HRESULT put = SafeArrayPutElement(owner.array, &i, name);
    SysFreeString(name);
    if (FAILED(put)) return put;
  }
  out->vt = VT_ARRAY | VT_BSTR;
  out->parray = std::exchange(owner.array, nullptr);
  return S_OK;
}

std::unique_ptr<SpreadsheetEngine> MakeExcelEngine(const std::string& progId) {
  return std::make_unique<ExcelEngine>(progId);
}

}  // namespace tabulex
