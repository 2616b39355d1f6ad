// The conversion driver: classify the pair of types, read the source into a sheet, build the
// target sheet from it, name the output, ask before overwriting and write it.
#include "converter/driver/Converter.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <string_view>

#include "converter/appvar/AppVarSheet.h"
#include "converter/driver/CalculatorWrapper.h"
#include "converter/driver/DriverContext.h"
#include "converter/driver/Messages.h"
#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/CString.h"
#include "converter/model/Spreadsheet.h"
#include "converter/model/TextSheet.h"
#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/FileProblems.h"
#include "converter/platform/Files.h"

namespace tabulex {

namespace {

constexpr std::size_t kExcelExportMinimum = 3;
constexpr std::size_t kExcelNameLength = 8;
// The largest source read: a sheet takes many times its file's size in memory while it is
// converted, and no sheet a spreadsheet program or a calculator holds comes near this.
constexpr std::uintmax_t kMaxSourceSize = std::uintmax_t{512} * 1024 * 1024;

constexpr std::string_view kTempPrefix = "CEL";
// Outputs are first written under a unique name with this prefix beside the target.
constexpr std::string_view kSiblingPrefix = "~tx";

// What the overwrite check allows: writing where no file was, replacing the file there (the user
// said yes), keeping it or stopping.
enum Overwrite { kWriteNew, kReplace, kSkip, kStop };

// Why a write path stopped. Every write path throws one, and Conversion::Run reports it once.
struct WriteFailure {
  enum Kind { kErrorCode, kComponentError, kAlreadyReported };
  Kind kind;
  // kErrorCode: one of our ERR_ codes; kComponentError: the component's failing HRESULT.
  std::uint32_t code = 0;
  // kComponentError: the style of the message that shows the component's error text.
  std::uint32_t style = 0;
};

[[noreturn]] void FailWith(std::uint32_t errorCode) {
  throw WriteFailure{WriteFailure::kErrorCode, errorCode};
}

// The variable-file component as the driver calls it: a component that could not be created
// fails every call with E_POINTER, like a call through a null interface.
class VarFile {
 public:
  // A failing call is shown with the component's error text in a message of `errorStyle`, or,
  // without one, reported as a failed write.
  VarFile(const ConverterServices& services, std::optional<std::uint32_t> errorStyle)
      : component_(services.createVarFile ? services.createVarFile() : nullptr),
        errorStyle_(errorStyle) {}

  // Whether the component could be created.
  bool Available() const { return component_ != nullptr; }

  IVarFileData& operator*() {
    if (!component_) Check(kPointer);
    return *component_;
  }

  void Check(HResult hr) const {
    if (hr >= 0) return;
    if (!errorStyle_) FailWith(ERR_WRITE_FAILED);
    throw WriteFailure{WriteFailure::kComponentError, static_cast<std::uint32_t>(hr), *errorStyle_};
  }

  std::string VarName() {
    std::string name;
    Check((**this).get_VarName(&name));
    return name;
  }

  std::string FileName() {
    std::string name;
    Check((**this).get_FileName(&name));
    return name;
  }

 private:
  std::unique_ptr<IVarFileData> component_;
  std::optional<std::uint32_t> errorStyle_;
};

std::string DotsForBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '.');
  return text;
}

// Creates a file under a unique name beside `path`, where the output is written before it is
// renamed to `path`. `suffix` ends the name, for writers that add an extension themselves.
std::optional<platform::ExclusiveFile> ReserveBeside(const std::string& path,
                                                     std::string_view suffix = {}) {
  return platform::ExclusiveFile::Create(platform::FolderOf(path), kSiblingPrefix, suffix);
}

// A file in the temporary folder for text exchanged with the spreadsheet engine; only its owner
// may read it, since it holds the user's data in a shared folder.
std::optional<platform::ExclusiveFile> CreateTempText(const std::string& folder) {
  return platform::ExclusiveFile::Create(folder, kTempPrefix, {}, platform::Visibility::kOwnerOnly);
}

// A component of a name made only of dots and spaces, two dots or more: ".." itself, and the
// forms such as ".. " and "..." whose trailing dots and spaces Windows drops.
bool IsParentStep(std::string_view part) {
  return part.find_first_not_of(". ") == std::string_view::npos &&
         std::count(part.begin(), part.end(), '.') >= 2;
}

// Whether a file name appended to the output folder would put the file outside that folder: a
// step up, a leading separator (an absolute or network path) or a drive letter.
bool LeavesFolder(std::string_view name) {
  if (!name.empty() && (name.front() == '/' || name.front() == '\\')) return true;
  const bool driveLetter =
      name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  if (driveLetter) return true;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find_first_of("/\\", start);
    if (IsParentStep(name.substr(start, end == std::string_view::npos ? end : end - start))) {
      return true;
    }
    if (end == std::string_view::npos) return false;
    start = end + 1;
  }
}

// What a file given as text really is when its first bytes say it is a calculator file or a
// workbook: read as text, its binary bytes would become cells.
std::optional<std::string> NotTextKind(std::string_view bytes) {
  if (const std::optional<std::string_view> family = CalculatorFamilyOf(bytes)) {
    return "a " + std::string(*family) + " spreadsheet file";
  }
  for (const std::string_view signature : kWorkbookSignatures) {
    if (bytes.starts_with(signature)) return "a workbook";
  }
  return std::nullopt;
}

// The sheet that reads a calculator file's data; `name` is the file's variable name field.
std::unique_ptr<Spreadsheet> NewCalculatorSource(ConversionContext& context,
                                                 CalculatorFamily family, std::string_view data,
                                                 std::string_view name) {
  if (family == CalculatorFamily::kKv52) {
    return std::make_unique<AppVarSheet>(context, data.data(), data.size());
  }
  auto sheet = std::make_unique<Kv68Sheet>(context, data.data(), data.size());
  sheet->SetVarName(name);
  return sheet;
}

// The sheet that builds a calculator file's data from `source`.
std::unique_ptr<Spreadsheet> NewCalculatorTarget(ConversionContext& context,
                                                 CalculatorFamily family, Spreadsheet& source) {
  if (family == CalculatorFamily::kKv52) return std::make_unique<AppVarSheet>(context, source);
  return std::make_unique<Kv68Sheet>(context, source);
}

// What the user is told about an exception that ended a conversion.
std::string UnexpectedFailureText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return std::string(messages::kBadAllocation);
  } catch (const std::exception& failure) {
    return messages::Format(messages::kUnexpectedFailure, {failure.what()});
  } catch (...) {
    return messages::Format(messages::kUnexpectedFailure, {"unknown error"});
  }
}

}  // namespace

namespace detail {

// One call of Convert.
class Conversion {
 public:
  // `remembered` receives the path of a written file; null discards it.
  Conversion(const ConverterServices& services, std::optional<std::string>* remembered,
             const std::string& inputPath, std::int32_t fromType, const std::string& sheetName,
             const std::string& outputFolder, const std::string& internalName, std::int32_t toType)
      : services_(services),
        remembered_(remembered ? *remembered : discarded_),
        context_(services),
        inputPath_(inputPath),
        fromType_(fromType),
        sheetName_(sheetName),
        outputFolder_(outputFolder),
        internalName_(internalName),
        toType_(toType) {}

  // Converts; a failure on a write path is reported here, once.
  HResult Run();
  // Reads the source into its sheet and stops there.
  HResult ReadOnly();
  DriverContext& Context() { return context_; }
  const Spreadsheet* Source() const { return source_.get(); }

 private:
  HResult Convert();
  HResult Resave();
  HResult ReadSource();
  HResult ReadExcelSource();
  HResult ReadTextSource();
  HResult ReadCalculatorSource(const CalculatorFileType& type);
  HResult WriteTarget();
  HResult WriteText();
  HResult WriteWorkbook();
  HResult WriteCalculator();
  void Report(const WriteFailure& failure);
  Overwrite ConfirmOverwrite(const std::string& path);
  // The result that ends the conversion when the user keeps an existing output; nothing when
  // the output may be written, with the answer in `answer`.
  std::optional<HResult> Refused(const std::string& path, Overwrite* answer);
  // Moves a finished file to the output path, as the overwrite answer allows.
  HResult Publish(platform::ExclusiveFile& file, const std::string& path, Overwrite answer);
  std::optional<HResult> RefusedName(const std::string& fileName);
  HResult TooSmall();
  bool RefusedAsTooLarge();
  // Shows a problem with the source file, naming it: the error text of `code` under its path.
  HResult ReportSource(std::uint32_t code);
  HResult ReportSource(std::string_view text);
  // The variable data of a calculator source whose wrapper passed the check; nothing (after
  // telling the user) when the file is refused.
  std::optional<std::string_view> CheckedData(std::string_view file);

  const ConverterServices& services_;
  std::optional<std::string> discarded_;
  std::optional<std::string>& remembered_;
  DriverContext context_;
  const std::string inputPath_;
  std::int32_t fromType_;
  const std::string sheetName_;
  const std::string outputFolder_;
  const std::string internalName_;
  std::int32_t toType_;
  // Declared before the target so that the target, which holds the records, goes first.
  std::unique_ptr<Spreadsheet> source_;
  std::unique_ptr<Spreadsheet> target_;
};

HResult Conversion::Run() {
  try {
    return Convert();
  } catch (const WriteFailure& failure) {
    Report(failure);
    return kFail;
  }
}

void Conversion::Report(const WriteFailure& failure) {
  switch (failure.kind) {
    case WriteFailure::kErrorCode:
      context_.ReportErrorCode(failure.code);
      break;
    case WriteFailure::kComponentError: {
      std::optional<std::string> text = context_.ErrorText(failure.code);
      context_.ShowMessage(text ? *text : context_.Text(messages::kApplicationError), std::nullopt,
                           failure.style, messages::kOwnerWindowTitle);
      break;
    }
    case WriteFailure::kAlreadyReported:
      break;
  }
}

HResult Conversion::Convert() {
  // Only calculator files can be re-saved by the variable-file component; identical text or
  // workbook types go through the model like any other pair.
  const bool sameCalculator = fromType_ == toType_ && IsCalculatorType(fromType_);
  if (sameCalculator || (IsKv68Family(fromType_) && IsKv68Family(toType_))) return Resave();

  context_.SetRewritesFormulas(!(IsSpreadsheetType(fromType_) && IsSpreadsheetType(toType_)));
  // Every target but "none" is built from the source sheet.
  if (IsKnownSourceType(toType_) && !IsKnownSourceType(fromType_)) {
    context_.ShowMessage(
        messages::Format(messages::kUnknownSourceType, {std::to_string(fromType_)}), std::nullopt,
        message::kIconError | message::kTaskModal, std::nullopt);
    return kFail;
  }
  if (HResult hr = ReadSource(); hr != kOk) return hr;
  return WriteTarget();
}

HResult Conversion::ReadOnly() {
  if (!IsKnownSourceType(fromType_)) return kInvalidArg;
  return ReadSource();
}

HResult Conversion::TooSmall() {
  context_.ReportErrorCode(ERR_SOURCE_TOO_SMALL);
  return CONVERT_E_SOURCE_TOO_SMALL;
}

HResult Conversion::ReadSource() {
  if (const CalculatorFileType* calculator = CalculatorFileTypeOf(fromType_)) {
    return ReadCalculatorSource(*calculator);
  }
  switch (fromType_) {
    case ZQ_EXCEL:
      return ReadExcelSource();
    case ZQ_TAB_TEXT:
      return ReadTextSource();
    default:
      return kOk;  // no source sheet
  }
}

HResult Conversion::ReadExcelSource() {
  std::optional<platform::ExclusiveFile> temp = CreateTempText(services_.tempFolder);
  // Reached from reads alone too, where no write failure is caught: reported here.
  if (!temp || !temp->Close()) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  services_.engine->ExcelSheetToText(context_, inputPath_, temp->Path(), sheetName_);
  std::optional<std::string> bytes = platform::ReadWholeFile(temp->Path());
  if (!bytes) return kFail;
  if (bytes->size() < kExcelExportMinimum) return TooSmall();
  source_ = std::make_unique<ExcelTextSheet>(context_, bytes->data(), bytes->size());
  source_->SetName(std::string_view(internalName_).substr(0, kExcelNameLength));
  source_->TranslateToIntermediate();
  return kOk;
}

HResult Conversion::ReadTextSource() {
  if (RefusedAsTooLarge()) return kFail;
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) {
    context_.ReportErrorCode(ERR_SOURCE_OPEN);
    return kFail;
  }
  if (bytes->empty()) return TooSmall();
  if (const std::optional<std::string> kind = NotTextKind(*bytes)) {
    return ReportSource(messages::Format(messages::kNotText, {*kind}));
  }
  if (services_.decodeText) *bytes = services_.decodeText(*bytes);
  source_ = std::make_unique<TextSheet>(context_, bytes->data(), bytes->size());
  source_->SetName(internalName_);
  source_->TranslateToIntermediate();
  return kOk;
}

HResult Conversion::ReadCalculatorSource(const CalculatorFileType& type) {
  if (RefusedAsTooLarge()) return kFail;
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return ReportSource(ERR_SOURCE_OPEN);
  if (bytes->size() < type.minimumSize) return TooSmall();
  const std::optional<std::string_view> data = CheckedData(*bytes);
  if (!data) return kFail;
  // The minimum size covers the name field, so this read cannot fail.
  InputStream file(bytes->data(), bytes->size());
  std::string_view name;
  if (type.nameOffset != 0 && file.Seek(type.nameOffset)) {
    name = file.Slice(kCalculatorNameLength).value_or("");
  }
  try {
    source_ = NewCalculatorSource(context_, type.family, *data, name);
  } catch (const std::invalid_argument&) {
    // A record type that no cell can have: the file is damaged.
    return ReportSource(messages::kUnknownRecordType);
  }
  source_->TranslateToIntermediate();
  const std::optional<ReadStop>& stop = source_->StoppedEarly();
  if (stop && services_.warning) {
    services_.warning(messages::Format(
        messages::kStoppedEarly,
        {inputPath_, std::to_string(type.dataOffset + stop->offset), stop->reason}));
  }
  return kOk;
}

// Each target type's writer, indexed by file type.
HResult Conversion::WriteTarget() {
  using Writer = HResult (Conversion::*)();
  static constexpr Writer kWriters[ZQ_TABULEX_NULL] = {
      &Conversion::WriteWorkbook,    // ZQ_EXCEL
      &Conversion::WriteText,        // ZQ_TAB_TEXT
      &Conversion::WriteCalculator,  // ZQ_TABULEX_52P
      &Conversion::WriteCalculator,  // ZQ_TABULEX_68
      &Conversion::WriteCalculator,  // ZQ_TABULEX_74
      &Conversion::WriteCalculator,  // ZQ_TABULEX_RB200
  };
  if (toType_ < 0 || toType_ >= ZQ_TABULEX_NULL) return kOk;  // nothing to write
  return (this->*kWriters[toType_])();
}

HResult Conversion::WriteText() {
  const std::string fileName = internalName_ + std::string(ExtensionOf(ZQ_TAB_TEXT));
  if (std::optional<HResult> refused = RefusedName(fileName)) return *refused;
  auto target = std::make_unique<TextSheet>(context_, *source_);
  target->TranslateFromIntermediate();
  const std::string text = target->FileText();
  target_ = std::move(target);
  const std::string path = outputFolder_ + fileName;
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  const std::string encoded = services_.encodeText ? services_.encodeText(text) : text;
  std::optional<platform::ExclusiveFile> temp = ReserveBeside(path);
  if (!temp || !temp->Write(encoded)) FailWith(ERR_WRITE_FAILED);
  return Publish(*temp, path, answer);
}

HResult Conversion::WriteWorkbook() {
  const std::string fileName = internalName_ + services_.workbookExtension;
  if (std::optional<HResult> refused = RefusedName(fileName)) return *refused;
  std::optional<platform::ExclusiveFile> text = CreateTempText(services_.tempFolder);
  auto target = std::make_unique<ExcelTextSheet>(context_, *source_);
  target->TranslateFromIntermediate();
  const std::string exchangeText = target->ExchangeText();
  target_ = std::move(target);
  const std::string path = outputFolder_ + fileName;
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  if (!text || !text->Write(exchangeText) || !text->Close()) FailWith(ERR_WRITE_FAILED);
  // The engine saves under a name reserved beside the target; the workbook takes the target's
  // name only once it exists.
  std::optional<platform::ExclusiveFile> workbook =
      ReserveBeside(path, services_.workbookExtension);
  if (!workbook || !workbook->Close()) FailWith(ERR_WRITE_FAILED);
  const int result =
      services_.engine->TextToExcelWorkbook(context_, text->Path(), workbook->Path());
  const std::optional<std::uintmax_t> saved = platform::FileSize(workbook->Path());
  // The engine has reported its own failure.
  if (result != 0 || !saved || *saved == 0) throw WriteFailure{WriteFailure::kAlreadyReported};
  return Publish(*workbook, path, answer);
}

HResult Conversion::WriteCalculator() {
  const CalculatorFileType& type = *CalculatorFileTypeOf(toType_);
  target_ = NewCalculatorTarget(context_, type.family, *source_);
  target_->TranslateFromIntermediate();
  VarFile component(services_, type.componentErrorIcon | message::kTaskModal);
  component.Check((*component).put_DeviceType(type.deviceType));
  component.Check((*component).put_VarName(internalName_));
  const std::string deviceName = component.VarName();
  target_->SetDeviceName(deviceName);
  const std::string data = target_->VariableData();
  const std::string fileName = DotsForBackslashes(deviceName + std::string(type.extension));
  if (std::optional<HResult> refused = RefusedName(fileName)) return *refused;
  const std::string path = outputFolder_ + fileName;
  if (deviceName != internalName_) {
    context_.ShowMessage(
        messages::Format(context_.Text(messages::kNameChanged), {fileName, component.VarName()}),
        context_.Text(messages::kInvalidFileName), message::kIconInformation,
        messages::kOwnerWindowTitle);
  }
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  component.Check((*component)
                      .SetVarData(reinterpret_cast<const std::uint8_t*>(data.data()),
                                  static_cast<std::uint32_t>(data.size()),
                                  target_->ComponentTag()));
  // The component writes the file under a name reserved beside the target.
  std::optional<platform::ExclusiveFile> reserved = ReserveBeside(path, type.extension);
  if (!reserved || !reserved->Close()) FailWith(ERR_WRITE_FAILED);
  component.Check((*component).SaveFile(reserved->Path(), 0, 0));
  return Publish(*reserved, path, answer);
}

// A source the component cannot load is reported under the source's name; every later failure
// of a re-save, the component's included, is reported as a failed write.
HResult Conversion::Resave() {
  const std::string ext(ExtensionOf(toType_));
  const std::string fileName = DotsForBackslashes(internalName_) + ext;
  if (std::optional<HResult> refused = RefusedName(fileName)) return *refused;
  if (RefusedAsTooLarge()) return kFail;
  const std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return ReportSource(ERR_SOURCE_OPEN);
  if (std::optional<std::string> refusal = CheckWrapper(fromType_, *bytes).refusal) {
    return ReportSource(*refusal);
  }
  VarFile component(services_, std::nullopt);
  const HResult loaded = component.Available() ? (*component).LoadFile(inputPath_, 0) : kPointer;
  // A missing component is no fault of the source.
  if (loaded == kPointer) {
    context_.ReportErrorCode(static_cast<std::uint32_t>(kPointer));
    return kFail;
  }
  if (loaded < 0) return ReportSource(static_cast<std::uint32_t>(loaded));
  component.Check((*component).put_DeviceType(DeviceTypeOf(toType_)));
  component.Check((*component).put_VarName(internalName_));
  const std::string path = outputFolder_ + fileName;
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  // The component appends the device type's extension to the name it is given, so the name
  // reserved is the one with the extension.
  std::optional<platform::ExclusiveFile> reserved = ReserveBeside(path, ext);
  if (!reserved || !reserved->Close()) FailWith(ERR_WRITE_FAILED);
  const std::string& written = reserved->Path();
  component.Check((*component).SaveFile(written.substr(0, written.size() - ext.size()), 1, 0));
  if (component.FileName() != written) FailWith(ERR_WRITE_FAILED);
  return Publish(*reserved, path, answer);
}

std::optional<HResult> Conversion::Refused(const std::string& path, Overwrite* answer) {
  *answer = ConfirmOverwrite(path);
  switch (*answer) {
    case kSkip:
      return CONVERT_SKIPPED;
    case kStop:
      return CONVERT_CANCELLED;
    case kWriteNew:
    case kReplace:
      break;
  }
  return std::nullopt;
}

// Moves a finished file to the output path: over the existing file when the user chose to
// replace it, else only if no file appeared there meanwhile; one that did is kept, as if the
// user had said no.
HResult Conversion::Publish(platform::ExclusiveFile& file, const std::string& path,
                            Overwrite answer) {
  const platform::Replace replace =
      answer == kReplace ? platform::Replace::kExisting : platform::Replace::kNothing;
  switch (file.MoveTo(path, replace)) {
    case platform::Moved::kDone:
      remembered_ = path;
      return kOk;
    case platform::Moved::kTargetExists:
      return CONVERT_SKIPPED;
    case platform::Moved::kFailed:
      break;
  }
  FailWith(ERR_WRITE_FAILED);
}

// A name that would put the file outside the output folder, or that cannot name a file on this
// system, is refused before anything is written.
std::optional<HResult> Conversion::RefusedName(const std::string& fileName) {
  std::string text;
  if (LeavesFolder(fileName)) {
    text = messages::Format(messages::kNameLeavesFolder, {fileName, outputFolder_});
  } else if (std::optional<std::string> problem = platform::FileNameProblem(fileName)) {
    text = messages::Format(messages::kNameNotAFileName, {fileName, *problem});
  } else {
    return std::nullopt;
  }
  context_.ShowMessage(text, std::nullopt, message::kIconError | message::kTaskModal, std::nullopt);
  return kInvalidArg;
}

// A source too large to hold is refused before it is read.
bool Conversion::RefusedAsTooLarge() {
  const std::optional<std::uintmax_t> size = platform::FileSize(inputPath_);
  if (!size || *size <= kMaxSourceSize) return false;
  ReportSource("file is too large to convert: " + messages::GroupedDigits(*size) +
               " bytes, and the most is " + messages::GroupedDigits(kMaxSourceSize));
  return true;
}

HResult Conversion::ReportSource(std::uint32_t code) {
  const std::optional<std::string> text = context_.ErrorText(code);
  return ReportSource(text ? *text : context_.Text(messages::kApplicationError));
}

HResult Conversion::ReportSource(std::string_view text) {
  context_.ShowMessage(messages::Format(messages::kFileProblem, {inputPath_, text}), std::nullopt,
                       message::kIconError | message::kTaskModal, std::nullopt);
  return kFail;
}

std::optional<std::string_view> Conversion::CheckedData(std::string_view file) {
  const WrapperCheck check = CheckWrapper(fromType_, file);
  if (check.refusal) {
    ReportSource(*check.refusal);
    return std::nullopt;
  }
  if (check.warning) {
    context_.ShowMessage(messages::Format(messages::kFileProblem, {inputPath_, *check.warning}),
                         std::nullopt, message::kIconWarning, std::nullopt);
  }
  return file.substr(check.dataOffset, check.dataSize);
}

Overwrite Conversion::ConfirmOverwrite(const std::string& path) {
  if (!platform::PathExists(path)) return kWriteNew;
  if (!platform::CanOpenForWriting(path)) {
    context_.ShowMessage(messages::Format(context_.Text(messages::kReadOnly), {path}), "Error",
                         message::kOk, std::nullopt);
    return kStop;
  }
  const int answer = context_.ShowMessage(
      context_.Text(messages::kFileExists), path,
      message::kYesNoCancel | message::kIconQuestion | message::kTaskModal, std::nullopt);
  switch (answer) {
    case message::kAnswerNo:
      return kSkip;
    case message::kAnswerCancel:
      return kStop;
    default:
      return kReplace;
  }
}

}  // namespace detail

using detail::Conversion;

Converter::Converter(ConverterServices services) : services_(std::move(services)) {
  if (!services_.engine) services_.engine = std::make_shared<UnavailableEngine>();
}

HResult Converter::SetTheFileName(const std::optional<std::string>& fileName) {
  if (!fileName) {
    rememberedFileName_.reset();
  } else {
    rememberedFileName_ = std::string(UpToNul(*fileName));
  }
  return kOk;
}

HResult Converter::GetTheFileName(std::string* fileName) const {
  if (!fileName) return kPointer;
  *fileName = rememberedFileName_.value_or(std::string());
  return kOk;
}

HResult Converter::GetExcelSheetNames(const std::string& workbookPath,
                                      std::vector<std::string>* names) {
  if (!names) return kPointer;
  DriverContext context(services_);
  try {
    return services_.engine->GetExcelSheetNames(context, workbookPath, names);
  } catch (...) {
    context.ReportErrorCode(ERR_EXCEL_FAILED);
    return kFail;
  }
}

void Converter::WorkbookToText(const std::string& workbookPath, const std::string& textPath) {
  if (textPath.empty()) return;
  DriverContext context(services_);
  std::vector<std::string> names;
  // The engine has reported why it found no worksheet.
  if (services_.engine->GetExcelSheetNames(context, workbookPath, &names) < 0 || names.empty()) {
    return;
  }
  services_.engine->ExcelSheetToText(context, workbookPath, textPath, names.front());
}

LoadedSource::LoadedSource() = default;
LoadedSource::LoadedSource(LoadedSource&&) noexcept = default;
LoadedSource::~LoadedSource() = default;

const Spreadsheet* LoadedSource::Sheet() const {
  return conversion_ ? conversion_->Source() : nullptr;
}

LoadedSource Converter::ReadSource(const std::string& inputPath, std::int32_t fromType,
                                   const std::string& sheetName, const std::string& internalName) {
  LoadedSource loaded;
  loaded.conversion_ =
      std::make_unique<Conversion>(services_, nullptr, inputPath, fromType, sheetName,
                                   std::string(), internalName, ZQ_TABULEX_NULL);
  try {
    loaded.result_ = loaded.conversion_->ReadOnly();
  } catch (const std::exception& error) {
    loaded.conversion_->Context().ShowMessage(
        messages::Format(messages::kUnexpectedFailure, {error.what()}), std::nullopt,
        message::kIconError | message::kTaskModal, std::nullopt);
    loaded.result_ = kFail;
  }
  return loaded;
}

HResult Converter::Convert(const std::string& inputPath, std::int32_t fromType,
                           const std::string& sheetName, const std::string& outputFolder,
                           const std::string& internalName, std::int32_t toType,
                           std::int32_t /*overwrite*/) {
  std::optional<Conversion> conversion;
  try {
    conversion.emplace(services_, &rememberedFileName_, inputPath, fromType, sheetName,
                       outputFolder, internalName, toType);
    return conversion->Run();
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    conversion.reset();  // frees the sheets before telling the user
    DriverContext(services_).ShowMessage(UnexpectedFailureText(error), std::nullopt,
                                         message::kIconError | message::kTaskModal, std::nullopt);
  }
  return kFail;
}

}  // namespace tabulex
