// The narrow interfaces through which the driver reaches the world outside the model: the
// maker's variable-file and error-text components, the user's message boxes and the
// spreadsheet engine. Windows builds implement them over COM and Excel; the stand-ins under
// components/ implement them portably.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/model/ErrorCodes.h"
#include "converter/model/Spreadsheet.h"

namespace tabulex {

// The variable-file component: wraps variable data into a calculator file, applies the
// device's naming rules, loads and re-saves files. Every method returns an HRESULT; strings are
// in the ANSI code page.
class IVarFileData {
 public:
  virtual ~IVarFileData() = default;
  virtual HResult put_DeviceType(std::int32_t deviceType) = 0;
  virtual HResult get_DeviceFamily(std::int32_t* family) = 0;
  virtual HResult LoadFile(const std::string& path, std::int32_t flag) = 0;
  virtual HResult SaveFile(const std::string& path, std::int32_t flag, std::int32_t reserved) = 0;
  virtual HResult get_VarName(std::string* name) = 0;
  virtual HResult put_VarName(const std::string& name) = 0;
  virtual HResult get_FileName(std::string* path) = 0;
  virtual HResult SetVarData(const std::uint8_t* data, std::uint32_t count, const VarTag& tag) = 0;
  virtual HResult GetVarDataTag(VarTag* tag) = 0;
};

// The error-text component.
class IErrorText {
 public:
  virtual ~IErrorText() = default;
  virtual HResult GetErrorText(std::uint32_t code, std::string* text) = 0;
};

// Modal message boxes shown to the user.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A missing caption means the platform's default; `ownerTitle` names the top-level window
  // that owns the box when one with that title exists. Returns the answer (message::kAnswer...).
  virtual int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                          std::uint32_t style, std::optional<std::string_view> ownerTitle) = 0;
};

// The converter's string table. Windows builds load it from the server's resources.
class StringTable {
 public:
  virtual ~StringTable() = default;
  // The string with the id; nothing when the table has none.
  virtual std::optional<std::string> Load(unsigned id) = 0;
};

class ConversionContext;

// The spreadsheet engine that reads and writes workbooks. Failures are reported through the
// context's ReportErrorCode.
class SpreadsheetEngine {
 public:
  virtual ~SpreadsheetEngine() = default;
  // Writes the named worksheet of the workbook as tab-delimited text; 0 on success, -1 when the
  // engine cannot be started.
  virtual int ExcelSheetToText(ConversionContext& context, const std::string& workbookPath,
                               const std::string& textPath, const std::string& sheetName) = 0;
  // Opens the tab-delimited text and saves it as a workbook; 0 on success, -1 when the engine
  // cannot be started or failed after opening.
  virtual int TextToExcelWorkbook(ConversionContext& context, const std::string& textPath,
                                  const std::string& workbookPath) = 0;
  // The names of the workbook's worksheets in workbook order.
  virtual HResult GetExcelSheetNames(ConversionContext& context, const std::string& workbookPath,
                                     std::vector<std::string>* names) = 0;
};

// An engine for systems without one: every operation reports ERR_EXCEL_NOT_STARTED.
class UnavailableEngine : public SpreadsheetEngine {
 public:
  int ExcelSheetToText(ConversionContext& context, const std::string&, const std::string&,
                       const std::string&) override;
  int TextToExcelWorkbook(ConversionContext& context, const std::string&,
                          const std::string&) override;
  HResult GetExcelSheetNames(ConversionContext& context, const std::string&,
                             std::vector<std::string>*) override;
};

// What a converter is built from. A factory that returns null stands for a component that
// cannot be created.
struct ConverterServices {
  std::function<std::unique_ptr<IVarFileData>()> createVarFile;
  std::function<std::unique_ptr<IErrorText>()> createErrorText;
  std::shared_ptr<UserInterface> ui;
  std::shared_ptr<SpreadsheetEngine> engine;
  // Where the string table's texts come from; null means the compiled-in copy.
  std::shared_ptr<StringTable> strings;
  // Receives the model's progress traces; null discards them.
  std::function<void(std::string_view)> trace;
  // Receives warnings about a source that was read only in part; null discards them.
  std::function<void(std::string_view)> warning;
  // Turn a text file's bytes into the converter's code page and back: applied to a text
  // source after reading and to a text target before writing. Null leaves the bytes as they are.
  std::function<std::string(std::string_view)> decodeText;
  std::function<std::string(std::string_view)> encodeText;
  // Told of each cell a target left out because it cannot hold its position; may be null.
  std::function<void(int row, int column)> cellLeftOut;
  // Told of each cell whose text or formula a target cut to the length it holds; may be null.
  std::function<void(int row, int column)> cellCut;
  // Folder for the driver's temporary text files; empty means the system's temporary folder.
  std::string tempFolder;
  // The extension of workbook outputs; the engine saves in the format it names.
  std::string workbookExtension = ".xls";
};

}  // namespace tabulex
