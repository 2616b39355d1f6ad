// Workbook operations over LibreOffice's UNO API: list the worksheets, export one as
// tab-delimited text with formulas as text, and save tab-delimited text as a workbook.
#include "components/libreoffice/LibreOfficeEngine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <filesystem>
#include <osl/file.hxx>
#include <rtl/ref.hxx>
#include <vector>

#include "components/libreoffice/OfficeProcess.h"
#include "components/libreoffice/TextExchange.h"
#include "components/libreoffice/UnoText.h"
#include "converter/driver/Messages.h"
#include "converter/model/ConversionContext.h"
#include "converter/platform/Files.h"
#include "converter/platform/Process.h"

#ifndef TABULEX_OFFICE_PROGRAM
#define TABULEX_OFFICE_PROGRAM "/usr/lib/libreoffice/program/soffice.bin"
#endif

namespace tabulex::libreoffice {

namespace {

using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct WorkbookFilter {
  std::string_view extension;
  const char* filter;
  std::size_t columns;  // the most columns a sheet of the type holds
};

// The office's filter for each workbook extension, used both to load and to store. Loading with
// the filter named, rather than by type detection, keeps a damaged workbook from being read as
// text.
constexpr std::array<WorkbookFilter, 3> kWorkbookFilters = {{
    {".xls", "MS Excel 97", 256},
    {".xlsx", "Calc MS Excel 2007 XML", 16384},
    {".ods", "calc8", 16384},
}};

constexpr const char* kTextFilter = "Text - txt - csv (StarCalc)";
// Tab separated, double-quote text delimiter, Windows-1252, from line 1, en-US; export formulas
// as their text, not their values; the last token is the 1-based number of the sheet to write.
constexpr std::string_view kExportOptions = "9,34,ANSI,1,,1033,false,true,false,true,false,";
// As above for reading; the last token makes a field such as =B1*3 a formula.
constexpr const char* kImportOptions = "9,34,ANSI,1,,1033,false,false,false,false,false,0,true";
constexpr const char* kExportName = "sheet.txt";
// The office names the sheet of a text file after the file.
constexpr const char* kImportName = "Sheet1.txt";
// Cells that count as content when telling a worksheet from a chart sheet.
constexpr sal_Int16 kContentFlags = css::sheet::CellFlags::VALUE | css::sheet::CellFlags::DATETIME |
                                    css::sheet::CellFlags::STRING | css::sheet::CellFlags::FORMULA;
constexpr const char* kChartShapeType = "com.sun.star.drawing.OLE2Shape";
// MacroExecutionMode.NEVER_EXECUTE and UpdateDocMode.NO_UPDATE.
constexpr sal_Int16 kNeverExecute = 0;
constexpr sal_Int16 kNoUpdate = 0;

// Why a file did not load when the office gives no reason of its own.
constexpr const char* kDamaged = "the file is damaged or is not a workbook of its type";

// A failure with the reason to give the user; `writing` marks a text file that cannot be
// written.
struct EngineError {
  std::string reason;
  bool writing = false;
};

PropertyValue Property(const char* name, const Any& value) {
  PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

Any Text(std::string_view text) {
  return Any(ToOUString(text));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const WorkbookFilter& WorkbookTypeOf(const std::string& path) {
  const std::string extension = Lower(std::filesystem::path(path).extension().string());
  for (const WorkbookFilter& f : kWorkbookFilters) {
    if (f.extension == extension) return f;
  }
  throw EngineError{path + ": not a workbook type (.xls, .xlsx or .ods)"};
}

const char* FilterOf(const std::string& path) {
  return WorkbookTypeOf(path).filter;
}

// The office leaves out the columns a sheet of the type cannot hold without a word, so such a
// text is refused instead.
void RefuseTooWide(std::string_view text, const WorkbookFilter& type) {
  const std::size_t columns = LastFilledColumn(text);
  if (columns <= type.columns) return;
  throw EngineError{"the sheet has cells in column " + messages::GroupedDigits(columns) +
                    ", and a sheet of an " + std::string(type.extension) + " workbook holds " +
                    messages::GroupedDigits(type.columns) + " columns"};
}

OUString UrlOf(const std::string& path) {
  std::error_code ec;
  const std::string absolute = std::filesystem::absolute(path, ec).string();
  OUString url;
  if (ec ||
      osl::FileBase::getFileURLFromSystemPath(ToOUString(absolute), url) != osl::FileBase::E_None) {
    throw EngineError{path + ": not a usable path"};
  }
  return url;
}

// The office's messages may end in the place in its own sources that raised them ("at
// ./sfx2/source/...:1744"), which says nothing to a user; that part goes.
std::string WithoutSourcePlace(const OUString& message) {
  std::string text = FromOUString(message);
  const std::size_t place = text.rfind("at ./");
  if (place != std::string::npos) text.erase(place);
  while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
  return text;
}

// What a question of the office says about the file.
std::string ReasonOf(const Any& asked) {
  if (asked.isExtractableTo(cppu::UnoType<css::task::PasswordRequest>::get())) {
    return "it is protected by a password";
  }
  css::uno::Exception problem;
  return (asked >>= problem) ? WithoutSourcePlace(problem.Message) : std::string();
}

// Answers every question the office asks while loading by cancelling it, so that nothing ever
// waits for a user (an encrypted workbook asks for its password), and keeps why it was asked.
class RefusingHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
 public:
  void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override {
    // The first question says why; the error report that follows a cancelled one adds nothing.
    if (reason_.empty()) reason_ = ReasonOf(request->getRequest());
    for (const Reference<css::task::XInteractionContinuation>& next : request->getContinuations()) {
      Reference<css::task::XInteractionAbort> abort(next, UNO_QUERY);
      if (abort.is()) {
        abort->select();
        return;
      }
    }
  }
  // Why the office asked; empty when it asked nothing or gave no reason.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// Why a file did not load: what the office asked about, else what it said.
EngineError LoadError(const std::string& path, const RefusingHandler& handler,
                      const std::string& said) {
  const std::string& asked = handler.Reason();
  const std::string reason = !asked.empty() ? asked : !said.empty() ? said : kDamaged;
  return EngineError{path + ": cannot be loaded: " + reason};
}

// A loaded document, closed without saving when it goes out of scope.
class Document {
 public:
  Document(const OfficeProcess& office, const std::string& path, const char* filter,
           const std::string& options, bool readOnly) {
    // The office opens an empty file as a new, empty workbook; a workbook to read is never empty.
    std::error_code ec;
    if (readOnly && std::filesystem::file_size(path, ec) == 0 && !ec) {
      throw EngineError{path + ": cannot be loaded: the file is empty"};
    }
    const rtl::Reference<RefusingHandler> handler(new RefusingHandler);
    std::vector<PropertyValue> args = {
        Property("Hidden", Any(true)),
        Property("ReadOnly", Any(readOnly)),
        Property("FilterName", Text(filter)),
        Property("MacroExecutionMode", Any(kNeverExecute)),
        Property("UpdateDocMode", Any(kNoUpdate)),
        Property("InteractionHandler",
                 Any(Reference<css::task::XInteractionHandler>(handler.get()))),
    };
    if (!options.empty()) args.push_back(Property("FilterOptions", Text(options)));
    try {
      component_ = office.Desktop()->loadComponentFromURL(
          UrlOf(path), "_blank", 0, Sequence<PropertyValue>(args.data(), args.size()));
    } catch (const css::uno::RuntimeException&) {
      throw;  // the office or the connection failed, not the file
    } catch (const css::uno::Exception& e) {
      throw LoadError(path, *handler, WithoutSourcePlace(e.Message));
    }
    if (!component_.is()) throw LoadError(path, *handler, kDamaged);
  }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document() {
    try {
      Reference<css::util::XCloseable> closeable(component_, UNO_QUERY);
      if (closeable.is()) {
        closeable->close(true);
      } else {
        component_->dispose();
      }
    } catch (...) {
      // A document the office refuses to close goes with the office.
    }
  }

  Reference<css::sheet::XSpreadsheets> Sheets() const {
    Reference<css::sheet::XSpreadsheetDocument> document(component_, UNO_QUERY);
    if (!document.is()) throw EngineError{"the file is not a spreadsheet"};
    return document->getSheets();
  }

  // One draw page per sheet, in sheet order.
  Reference<css::drawing::XDrawPages> DrawPages() const {
    Reference<css::drawing::XDrawPagesSupplier> supplier(component_, UNO_QUERY_THROW);
    return supplier->getDrawPages();
  }

  void Store(const std::string& path, const char* filter, const std::string& options) const {
    std::vector<PropertyValue> args = {
        Property("FilterName", Text(filter)),
        Property("Overwrite", Any(true)),
    };
    if (!options.empty()) args.push_back(Property("FilterOptions", Text(options)));
    Reference<css::frame::XStorable> storable(component_, UNO_QUERY_THROW);
    try {
      storable->storeToURL(UrlOf(path), Sequence<PropertyValue>(args.data(), args.size()));
    } catch (const css::uno::RuntimeException&) {
      throw;  // the office or the connection failed, not the file
    } catch (const css::uno::Exception& e) {
      throw EngineError{path + ": cannot be written: " + FromOUString(e.Message), true};
    }
  }

 private:
  Reference<css::lang::XComponent> component_;
};

// The office imports a chart sheet as a sheet without cells whose draw page holds one chart.
bool IsChartSheet(const Reference<css::uno::XInterface>& sheet,
                  const Reference<css::uno::XInterface>& drawPage) {
  Reference<css::sheet::XCellRangesQuery> query(sheet, UNO_QUERY_THROW);
  if (query->queryContentCells(kContentFlags)->getCount() != 0) return false;
  Reference<css::container::XIndexAccess> shapes(drawPage, UNO_QUERY_THROW);
  if (shapes->getCount() != 1) return false;
  Reference<css::lang::XServiceInfo> shape(shapes->getByIndex(0), UNO_QUERY);
  return shape.is() && shape->supportsService(OUString::createFromAscii(kChartShapeType));
}

std::vector<std::string> WorksheetNames(const Document& document) {
  Reference<css::container::XIndexAccess> sheets(document.Sheets(), UNO_QUERY_THROW);
  Reference<css::container::XIndexAccess> pages(document.DrawPages(), UNO_QUERY_THROW);
  const Sequence<OUString> names = document.Sheets()->getElementNames();
  std::vector<std::string> result;
  for (sal_Int32 i = 0; i < sheets->getCount() && i < names.getLength(); ++i) {
    Reference<css::uno::XInterface> sheet(sheets->getByIndex(i), UNO_QUERY_THROW);
    Reference<css::uno::XInterface> page(pages->getByIndex(i), UNO_QUERY_THROW);
    if (!IsChartSheet(sheet, page)) result.push_back(FromOUString(names[i]));
  }
  return result;
}

// The worksheets' names, each in double quotes, separated by commas.
std::string QuotedNames(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "\"" : ", \"") + name + "\"";
  return list;
}

// The 1-based position of the named sheet. As in spreadsheet programs, the case of the letters
// does not matter when no sheet has the name exactly.
sal_Int32 SheetNumber(const Document& document, const std::string& sheetName) {
  const Sequence<OUString> names = document.Sheets()->getElementNames();
  const OUString wanted = ToOUString(sheetName);
  for (sal_Int32 i = 0; i < names.getLength(); ++i) {
    if (names[i] == wanted) return i + 1;
  }
  for (sal_Int32 i = 0; i < names.getLength(); ++i) {
    if (names[i].equalsIgnoreAsciiCase(wanted)) return i + 1;
  }
  throw EngineError{"the workbook has no worksheet named \"" + sheetName +
                    "\"; its worksheets are " + QuotedNames(WorksheetNames(document))};
}

// The sheet at a 1-based position, as SheetNumber gives it.
Reference<css::uno::XInterface> SheetAt(const Document& document, sal_Int32 number) {
  Reference<css::container::XIndexAccess> sheets(document.Sheets(), UNO_QUERY_THROW);
  return Reference<css::uno::XInterface>(sheets->getByIndex(number - 1), UNO_QUERY_THROW);
}

// The office writes every cell of the rectangle from A1 to the last row and column with content,
// so one stray cell far away makes gigabytes of text (XFD1048576 makes 17 GB). Sheets larger
// than this are refused before they are written; the largest sheet of an .xls (256 columns by
// 65,536 rows) fits.
constexpr std::int64_t kMostExportCells = std::int64_t{1} << 25;

void RefuseHugeSheet(const Document& document, sal_Int32 number, const std::string& sheetName) {
  Reference<css::sheet::XCellRangesQuery> query(SheetAt(document, number), UNO_QUERY_THROW);
  std::int64_t rows = 0;
  std::int64_t columns = 0;
  for (const css::table::CellRangeAddress& range :
       query->queryContentCells(kContentFlags)->getRangeAddresses()) {
    rows = std::max<std::int64_t>(rows, std::int64_t{range.EndRow} + 1);
    columns = std::max<std::int64_t>(columns, std::int64_t{range.EndColumn} + 1);
  }
  if (rows * columns <= kMostExportCells) return;
  throw EngineError{
      "the sheet \"" + sheetName + "\" is too large to convert: its cells reach row " +
      messages::GroupedDigits(rows) + " and column " + messages::GroupedDigits(columns) + " (" +
      messages::GroupedDigits(rows * columns) + " cells; the most is " +
      messages::GroupedDigits(kMostExportCells) + ")"};
}

// An empty A1 is given "0" in the loaded copy, so the text starts with a field.
void FillEmptyA1(const Document& document, sal_Int32 number) {
  Reference<css::table::XCellRange> range(SheetAt(document, number), UNO_QUERY_THROW);
  Reference<css::table::XCell> a1 = range->getCellByPosition(0, 0);
  if (a1->getType() == css::table::CellContentType_EMPTY) a1->setValue(0);
}

// Empties the scratch folder, so the only file in it afterwards is the one the office wrote.
void ClearScratch(const std::string& folder) {
  platform::RemoveTree(folder);
  if (!platform::CreateFolders(folder)) throw EngineError{"cannot create " + folder};
}

// The office names the text of one sheet after the file and the sheet; take whatever it wrote.
std::string ReadExport(const std::string& folder) {
  const std::vector<std::string> entries = platform::FolderEntries(folder);
  if (entries.size() != 1) throw EngineError{"the office wrote no text for the sheet"};
  std::optional<std::string> bytes = platform::ReadWholeFile(folder + entries.front());
  if (!bytes) throw EngineError{"cannot read the office's text"};
  return *bytes;
}

}  // namespace

LibreOfficeEngine::LibreOfficeEngine(std::string program)
    : program_(program.empty() ? std::string(TABULEX_OFFICE_PROGRAM) : std::move(program)) {}

LibreOfficeEngine::~LibreOfficeEngine() = default;

std::optional<int> LibreOfficeEngine::OfficeProcessId() const {
  return office_ ? office_->ProcessId() : std::nullopt;
}

bool LibreOfficeEngine::EnsureStarted(ConversionContext& context) {
  lastFailure_.clear();
  if (office_ && office_->Running()) return true;
  office_ = std::make_unique<OfficeProcess>(program_);
  if (office_->Start()) return true;
  lastFailure_ = office_->Failure();
  office_.reset();
  context.ReportErrorCode(ERR_EXCEL_NOT_STARTED);
  return false;
}

void LibreOfficeEngine::Failed(std::string reason) {
  lastFailure_ = std::move(reason);
}

HResult LibreOfficeEngine::GetExcelSheetNames(ConversionContext& context,
                                              const std::string& workbookPath,
                                              std::vector<std::string>* names) {
  if (!EnsureStarted(context)) return kFail;
  try {
    Document document(*office_, workbookPath, FilterOf(workbookPath), std::string(), true);
    *names = WorksheetNames(document);
    return kOk;
  } catch (const EngineError& e) {
    Failed(e.reason);
  } catch (const css::uno::Exception& e) {
    Failed(workbookPath + ": " + FromOUString(e.Message));
    office_.reset();  // the office is in an unknown state; start a new one next time
  }
  context.ReportErrorCode(ERR_EXCEL_FAILED);
  return kFail;
}

int LibreOfficeEngine::ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                                        const std::string& textPath, const std::string& sheetName) {
  if (!EnsureStarted(context)) return -1;
  try {
    Document document(*office_, workbookPath, FilterOf(workbookPath), std::string(), true);
    const sal_Int32 number = SheetNumber(document, sheetName);
    RefuseHugeSheet(document, number, sheetName);
    FillEmptyA1(document, number);
    const std::string& scratch = office_->ScratchFolder();
    ClearScratch(scratch);
    document.Store(scratch + kExportName, kTextFilter,
                   std::string(kExportOptions) + std::to_string(number));
    if (!WriteFileOver(textPath, ExchangeText(ReadExport(scratch)))) {
      throw EngineError{textPath + ": cannot be written", true};
    }
    return 0;
  } catch (const EngineError& e) {
    Failed(e.reason);
    context.ReportErrorCode(e.writing ? ERR_WRITE_FAILED : ERR_EXCEL_FAILED);
    return e.writing ? static_cast<int>(kFail) : 0;
  } catch (const css::uno::Exception& e) {
    Failed(workbookPath + ": " + FromOUString(e.Message));
    office_.reset();
  }
  context.ReportErrorCode(ERR_EXCEL_FAILED);
  return 0;
}

int LibreOfficeEngine::TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                                           const std::string& workbookPath) {
  if (!EnsureStarted(context)) return -1;
  std::optional<Document> document;
  try {
    // A target that is not a workbook is refused before any work.
    const WorkbookFilter& type = WorkbookTypeOf(workbookPath);
    std::optional<std::string> text = platform::ReadWholeFile(textPath);
    if (!text) throw EngineError{textPath + ": cannot be read"};
    RefuseTooWide(WithoutTrailingZeros(*text), type);
    const std::string& scratch = office_->ScratchFolder();
    ClearScratch(scratch);
    const std::string copy = scratch + kImportName;
    if (!WriteFileOver(copy, WithoutTrailingZeros(*text))) {
      throw EngineError{"cannot write " + copy};
    }
    document.emplace(*office_, copy, kTextFilter, kImportOptions, false);
  } catch (const EngineError& e) {
    Failed(e.reason);
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return 0;
  } catch (const css::uno::Exception& e) {
    Failed(textPath + ": " + FromOUString(e.Message));
    office_.reset();
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return 0;
  }
  // Failures after the text was opened end the operation without a message of their own.
  try {
    document->Store(workbookPath, FilterOf(workbookPath), std::string());
    return 0;
  } catch (const EngineError& e) {
    Failed(e.reason);
  } catch (const css::uno::Exception& e) {
    Failed(workbookPath + ": " + FromOUString(e.Message));
    document.reset();
    office_.reset();
  }
  return -1;
}

}  // namespace tabulex::libreoffice
