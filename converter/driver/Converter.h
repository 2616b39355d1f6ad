// The conversion driver behind the converter object: one call converts one file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "converter/driver/Components.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

class Spreadsheet;
namespace detail {
class Conversion;
}

// A source file read into the intermediate model, kept with the context its sheet reports
// through. Used to look at what a file holds without converting it.
class LoadedSource {
 public:
  LoadedSource();
  LoadedSource(LoadedSource&&) noexcept;
  ~LoadedSource();

  HResult Result() const { return result_; }
  // The source sheet after TranslateToIntermediate; null when reading failed.
  const Spreadsheet* Sheet() const;

 private:
  friend class Converter;
  std::unique_ptr<detail::Conversion> conversion_;
  HResult result_ = kFail;
};

// Mirrors the converter object's interface; strings are in the ANSI code page. The object's
// only state is the remembered file name.
class Converter {
 public:
  explicit Converter(ConverterServices services);

  // A null name leaves no name remembered. Only the part up to the first zero byte is kept.
  HResult SetTheFileName(const std::optional<std::string>& fileName);
  // The remembered file name; empty when none is remembered.
  HResult GetTheFileName(std::string* fileName) const;
  HResult GetExcelSheetNames(const std::string& workbookPath, std::vector<std::string>* names);
  // Exports the workbook's first worksheet as tab-delimited text to `textPath`; does nothing
  // when `textPath` is empty. Failures are reported to the user.
  void WorkbookToText(const std::string& workbookPath, const std::string& textPath);
  // Converts `inputPath` of `fromType` into a file of `toType` in `outputFolder` (which is used
  // as a prefix, so it carries its trailing separator). `internalName` names the calculator
  // variable or the output file. `overwrite` is accepted and not consulted: an existing output
  // always goes through the overwrite prompt.
  HResult Convert(const std::string& inputPath, std::int32_t fromType, const std::string& sheetName,
                  const std::string& outputFolder, const std::string& internalName,
                  std::int32_t toType, std::int32_t overwrite);

  // Reads a file as a conversion source would be read, without writing anything.
  LoadedSource ReadSource(const std::string& inputPath, std::int32_t fromType,
                          const std::string& sheetName, const std::string& internalName);

 private:
  ConverterServices services_;
  std::optional<std::string> rememberedFileName_;
};

}  // namespace tabulex
