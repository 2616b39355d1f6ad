// The conversion driver: classify the pair of types, read the source into a sheet, build the
// target sheet from it, name the output, ask before overwriting and write it.
#include "converter/driver/Converter.h"

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>
#include <string_view>

#include "converter/appvar/AppVarSheet.h"
#include "converter/driver/CalculatorWrapper.h"
#include "converter/driver/DriverContext.h"
#include "converter/driver/Messages.h"
#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/Spreadsheet.h"
#include "converter/model/TextSheet.h"
#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex {

namespace {

// The sizes at or below which a calculator file cannot hold a sheet, and where a KV-68 family
// file keeps its variable's name. The wrapper check knows where the variable data lies.
constexpr std::size_t kKv52MaxTooSmall = 271;
constexpr std::size_t kKv68NameOffset = 64;
constexpr std::size_t kKv68NameLength = 8;
constexpr std::size_t kKv68MaxTooSmall = 242;
constexpr std::size_t kExcelExportMinimum = 3;
constexpr std::size_t kExcelNameLength = 8;

// Where the driver's share of a target's output lies, and the tag that goes with it.
constexpr std::size_t kKv52VarDataOffset = 6;
constexpr std::size_t kKv52VarDataShortfall = 3;
constexpr std::uint32_t kKv52VarDataTag = 0xAABF47F3u;
constexpr std::size_t kKv68VarDataOffset = 2;
constexpr std::size_t kKv68VarDataShortfall = 7;
constexpr std::string_view kKv68VarDataTag = "CELL";

constexpr std::string_view kTempPrefix = "CEL";
// Outputs are first written under a unique name with this prefix beside the target.
constexpr std::string_view kSiblingPrefix = "~tx";

// What the overwrite check allows: writing where no file was, replacing the file there (the user
// said yes), keeping it or stopping.
enum Overwrite { kWriteNew, kReplace, kSkip, kStop };

// A failing HRESULT of a component call, carried to the handler of its path.
struct ComError {
  HResult hr;
};

void Check(HResult hr) {
  if (hr < 0) throw ComError{hr};
}

// The variable-file component as the driver calls it: a component that could not be created
// fails every call with E_POINTER, like a call through a null interface.
class VarFile {
 public:
  explicit VarFile(const ConverterServices& services)
      : component_(services.createVarFile ? services.createVarFile() : nullptr) {}

  IVarFileData& operator*() {
    if (!component_) throw ComError{kPointer};
    return *component_;
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
};

std::string DotsForBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '.');
  return text;
}

// The folder that a sibling temporary file of `path` goes into.
std::string SiblingFolder(const std::string& path) {
  std::string folder = platform::FolderOf(path);
  return folder.empty() ? std::string("./") : folder;
}

// Creates a file under a unique name beside `path`, where the output is written before it is
// renamed to `path`. `suffix` ends the name, for writers that add an extension themselves.
std::optional<platform::ExclusiveFile> ReserveBeside(const std::string& path,
                                                     std::string_view suffix = {}) {
  return platform::ExclusiveFile::Create(SiblingFolder(path), kSiblingPrefix, suffix);
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

std::string_view Bytes(const std::string& buffer, std::size_t from, std::size_t to) {
  return std::string_view(buffer).substr(from, to - from);
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

  HResult Run();
  // Reads the source into its sheet and stops there.
  HResult ReadOnly();
  DriverContext& Context() { return context_; }
  const Spreadsheet* Source() const { return source_.get(); }

 private:
  HResult Resave();
  HResult ReadSource();
  HResult ReadExcelSource();
  HResult ReadTextSource();
  HResult ReadKv52Source();
  HResult ReadKv68Source();
  HResult WriteTarget();
  HResult WriteText();
  HResult WriteWorkbook();
  HResult WriteCalculator(Spreadsheet& target, std::int32_t deviceType, std::string_view ext);
  HResult ShowComError(HResult hr, std::uint32_t style);
  Overwrite ConfirmOverwrite(const std::string& path);
  // The result that ends the conversion when the user keeps an existing output; nothing when
  // the output may be written, with the answer in `answer`.
  std::optional<HResult> Refused(const std::string& path, Overwrite* answer);
  HResult Publish(platform::ExclusiveFile& file, const std::string& path, Overwrite answer);
  HResult RefuseName(const std::string& fileName);
  HResult TooSmall();
  // Shows a problem with the source file, naming it: the error text of `code` under its path.
  HResult ReportSource(std::uint32_t code);
  HResult ReportSource(std::string_view text);
  // The variable data of a calculator source whose wrapper passed the check; nothing (after
  // telling the user) when the file is refused.
  std::optional<std::string_view> CheckedData(std::string_view file);
  HResult WriteFailed();

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
  bool rambla_ = false;
  // Declared before the target so that the target, which holds the records, goes first.
  std::unique_ptr<Spreadsheet> source_;
  std::unique_ptr<Spreadsheet> target_;
};

HResult Conversion::Run() {
  // Only calculator files can be re-saved by the variable-file component; identical text or
  // workbook types go through the model like any other pair.
  const bool sameCalculator = fromType_ == toType_ && IsCalculatorType(fromType_);
  if (sameCalculator || (IsKv68Family(fromType_) && IsKv68Family(toType_))) return Resave();

  if (fromType_ == ZQ_TABULEX_RB200) fromType_ = ZQ_TABULEX_74;
  if (toType_ == ZQ_TABULEX_RB200) {
    toType_ = ZQ_TABULEX_74;
    rambla_ = true;
  }
  const bool targetNeedsSource = toType_ >= ZQ_EXCEL && toType_ <= ZQ_TABULEX_74;
  if (targetNeedsSource && !IsKnownSourceType(fromType_)) {
    context_.ShowMessage(
        messages::Format(messages::kUnknownSourceType, {std::to_string(fromType_)}), std::nullopt,
        message::kIconError | message::kTaskModal, std::nullopt);
    return kFail;
  }
  if (HResult hr = ReadSource(); hr != kOk) return hr;
  return WriteTarget();
}

HResult Conversion::ReadOnly() {
  if (fromType_ == ZQ_TABULEX_RB200) fromType_ = ZQ_TABULEX_74;
  if (!IsKnownSourceType(fromType_)) return kInvalidArg;
  return ReadSource();
}

HResult Conversion::TooSmall() {
  context_.ReportErrorCode(ERR_SOURCE_TOO_SMALL);
  return CONVERT_E_SOURCE_TOO_SMALL;
}

HResult Conversion::ReadSource() {
  switch (fromType_) {
    case ZQ_EXCEL:
      return ReadExcelSource();
    case ZQ_TAB_TEXT:
      return ReadTextSource();
    case ZQ_TABULEX_52P:
      return ReadKv52Source();
    case ZQ_TABULEX_68:
    case ZQ_TABULEX_74:
      return ReadKv68Source();
    default:
      return kOk;  // no source sheet
  }
}

HResult Conversion::ReadExcelSource() {
  std::optional<platform::ExclusiveFile> temp = CreateTempText(services_.tempFolder);
  if (!temp || !temp->Close()) return WriteFailed();
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
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) {
    context_.ReportErrorCode(ERR_SOURCE_OPEN);
    return kFail;
  }
  if (bytes->empty()) return TooSmall();
  source_ = std::make_unique<TextSheet>(context_, bytes->data(), bytes->size());
  source_->SetName(internalName_);
  source_->TranslateToIntermediate();
  return kOk;
}

HResult Conversion::ReadKv52Source() {
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return ReportSource(ERR_SOURCE_OPEN);
  if (bytes->size() <= kKv52MaxTooSmall) return TooSmall();
  const std::optional<std::string_view> data = CheckedData(*bytes);
  if (!data) return kFail;
  try {
    source_ = std::make_unique<AppVarSheet>(context_, data->data(), data->size());
  } catch (const std::invalid_argument&) {
    // A record type that no cell can have: the file is damaged.
    return ReportSource(messages::kUnknownRecordType);
  }
  source_->TranslateToIntermediate();
  return kOk;
}

HResult Conversion::ReadKv68Source() {
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return ReportSource(ERR_SOURCE_OPEN);
  if (bytes->size() <= kKv68MaxTooSmall) return TooSmall();
  const std::optional<std::string_view> data = CheckedData(*bytes);
  if (!data) return kFail;
  std::string_view name = Bytes(*bytes, kKv68NameOffset, kKv68NameOffset + kKv68NameLength);
  auto sheet = std::make_unique<Kv68Sheet>(context_, data->data(), data->size());
  sheet->SetVarName(name);
  sheet->TranslateToIntermediate();
  source_ = std::move(sheet);
  return kOk;
}

HResult Conversion::WriteTarget() {
  switch (toType_) {
    case ZQ_TABULEX_74:
    case ZQ_TABULEX_68: {
      target_ = std::make_unique<Kv68Sheet>(context_, *source_);
      target_->TranslateFromIntermediate();
      if (toType_ == ZQ_TABULEX_68) return WriteCalculator(*target_, 7, ".68y");
      return rambla_ ? WriteCalculator(*target_, 10, ".r2y") : WriteCalculator(*target_, 9, ".7xy");
    }
    case ZQ_TABULEX_52P:
      target_ = std::make_unique<AppVarSheet>(context_, *source_);
      target_->TranslateFromIntermediate();
      return WriteCalculator(*target_, 5, ".5xv");
    case ZQ_TAB_TEXT:
      return WriteText();
    case ZQ_EXCEL:
      return WriteWorkbook();
    default:
      return kOk;  // nothing to write
  }
}

HResult Conversion::WriteText() {
  const std::string fileName = internalName_ + std::string(ExtensionOf(ZQ_TAB_TEXT));
  if (LeavesFolder(fileName)) return RefuseName(fileName);
  target_ = std::make_unique<TextSheet>(context_, *source_);
  target_->TranslateFromIntermediate();
  const std::string output = target_->GetOutput();
  const std::size_t size = std::min(target_->GetOutputSize(), output.size());
  const std::string path = outputFolder_ + fileName;
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  std::optional<platform::ExclusiveFile> temp = ReserveBeside(path);
  if (!temp || !temp->Write(std::string_view(output).substr(0, size))) return WriteFailed();
  return Publish(*temp, path, answer);
}

HResult Conversion::WriteWorkbook() {
  const std::string fileName = internalName_ + std::string(ExtensionOf(ZQ_EXCEL));
  if (LeavesFolder(fileName)) return RefuseName(fileName);
  std::optional<platform::ExclusiveFile> text = CreateTempText(services_.tempFolder);
  target_ = std::make_unique<ExcelTextSheet>(context_, *source_);
  target_->TranslateFromIntermediate();
  const std::string output = target_->GetOutput();
  // The terminating zero byte goes into the file too.
  const std::size_t size = std::min(target_->GetOutputSize() + 1, output.size());
  const std::string path = outputFolder_ + fileName;
  Overwrite answer = kWriteNew;
  if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
  if (!text || !text->Write(std::string_view(output).substr(0, size)) || !text->Close()) {
    return WriteFailed();
  }
  // The engine saves under a name reserved beside the target; the workbook takes the target's
  // name only once it exists.
  std::optional<platform::ExclusiveFile> workbook = ReserveBeside(path, ExtensionOf(ZQ_EXCEL));
  if (!workbook || !workbook->Close()) return WriteFailed();
  const int result =
      services_.engine->TextToExcelWorkbook(context_, text->Path(), workbook->Path());
  const std::optional<std::uintmax_t> saved = platform::FileSize(workbook->Path());
  if (result != 0 || !saved || *saved == 0) return kFail;
  return Publish(*workbook, path, answer);
}

HResult Conversion::WriteCalculator(Spreadsheet& target, std::int32_t deviceType,
                                    std::string_view ext) {
  const bool kv52 = deviceType == DeviceTypeOf(ZQ_TABULEX_52P);
  const std::uint32_t errorStyle =
      (kv52 ? message::kIconError : message::kIconInformation) | message::kTaskModal;
  try {
    VarFile component(services_);
    Check((*component).put_DeviceType(deviceType));
    Check((*component).put_VarName(internalName_));
    const std::string deviceName = component.VarName();
    if (kv52) static_cast<AppVarSheet&>(target).SetDeviceName(deviceName);
    const std::string output = target.GetOutput();
    const std::size_t size = target.GetOutputSize();
    const std::string fileName = DotsForBackslashes(deviceName + std::string(ext));
    if (LeavesFolder(fileName)) return RefuseName(fileName);
    const std::string path = outputFolder_ + fileName;
    if (deviceName != internalName_) {
      context_.ShowMessage(
          messages::Format(messages::kNameChanged, {fileName, component.VarName()}),
          messages::kInvalidFileName, message::kIconInformation, messages::kOwnerWindowTitle);
    }
    Overwrite answer = kWriteNew;
    if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
    const std::size_t offset = kv52 ? kKv52VarDataOffset : kKv68VarDataOffset;
    const std::size_t shortfall = kv52 ? kKv52VarDataShortfall : kKv68VarDataShortfall;
    if (size < shortfall || offset + (size - shortfall) > output.size()) throw ComError{kFail};
    const VarTag tag = kv52 ? VarTag(kKv52VarDataTag) : VarTag(std::string(kKv68VarDataTag));
    Check((*component)
              .SetVarData(reinterpret_cast<const std::uint8_t*>(output.data()) + offset,
                          static_cast<std::uint32_t>(size - shortfall), tag));
    // The component writes the file under a name reserved beside the target.
    std::optional<platform::ExclusiveFile> reserved = ReserveBeside(path, ext);
    if (!reserved || !reserved->Close()) return WriteFailed();
    Check((*component).SaveFile(reserved->Path(), 0, 0));
    return Publish(*reserved, path, answer);
  } catch (const ComError& error) {
    return ShowComError(error.hr, errorStyle);
  }
}

HResult Conversion::ShowComError(HResult hr, std::uint32_t style) {
  std::optional<std::string> text = context_.ErrorText(static_cast<std::uint32_t>(hr));
  context_.ShowMessage(text ? std::string_view(*text) : messages::kApplicationError, std::nullopt,
                       style, messages::kOwnerWindowTitle);
  return kFail;
}

HResult Conversion::Resave() {
  const std::string ext(ExtensionOf(toType_));
  const std::string fileName = DotsForBackslashes(internalName_) + ext;
  if (LeavesFolder(fileName)) return RefuseName(fileName);
  const std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return ReportSource(ERR_SOURCE_OPEN);
  if (std::optional<std::string> refusal = CheckWrapper(fromType_, *bytes).refusal) {
    return ReportSource(*refusal);
  }
  VarFile component(services_);
  try {
    Check((*component).LoadFile(inputPath_, 0));
  } catch (const ComError& error) {
    // A missing component is no fault of the source; anything else is the component's reason
    // for not reading it, said under the source's name.
    if (error.hr == kPointer) {
      context_.ReportErrorCode(static_cast<std::uint32_t>(kPointer));
      return kFail;
    }
    return ReportSource(static_cast<std::uint32_t>(error.hr));
  }
  try {
    Check((*component).put_DeviceType(DeviceTypeOf(toType_)));
    Check((*component).put_VarName(internalName_));
    const std::string path = outputFolder_ + fileName;
    Overwrite answer = kWriteNew;
    if (std::optional<HResult> refused = Refused(path, &answer)) return *refused;
    // The component appends the device type's extension to the name it is given, so the name
    // reserved is the one with the extension.
    std::optional<platform::ExclusiveFile> reserved = ReserveBeside(path, ext);
    if (!reserved || !reserved->Close()) return WriteFailed();
    const std::string& written = reserved->Path();
    Check((*component).SaveFile(written.substr(0, written.size() - ext.size()), 1, 0));
    if (component.FileName() != written) throw ComError{kFail};
    return Publish(*reserved, path, answer);
  } catch (...) {
    return WriteFailed();
  }
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
  return WriteFailed();
}

HResult Conversion::RefuseName(const std::string& fileName) {
  context_.ShowMessage(messages::Format(messages::kNameLeavesFolder, {fileName, outputFolder_}),
                       std::nullopt, message::kIconError | message::kTaskModal, std::nullopt);
  return kInvalidArg;
}

HResult Conversion::ReportSource(std::uint32_t code) {
  std::optional<std::string> text = context_.ErrorText(code);
  return ReportSource(text ? std::string_view(*text) : messages::kApplicationError);
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

HResult Conversion::WriteFailed() {
  context_.ReportErrorCode(ERR_WRITE_FAILED);
  return kFail;
}

Overwrite Conversion::ConfirmOverwrite(const std::string& path) {
  if (!platform::PathExists(path)) return kWriteNew;
  if (!platform::CanOpenForWriting(path)) {
    context_.ShowMessage(messages::Format(messages::kReadOnly, {path}), "Error", message::kOk,
                         std::nullopt);
    return kStop;
  }
  const int answer = context_.ShowMessage(
      messages::kFileExists, path,
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
    rememberedFileName_ = fileName->substr(0, fileName->find('\0'));
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
  } catch (const std::bad_alloc&) {
    conversion.reset();  // frees the sheets before telling the user
    DriverContext(services_).ShowMessage(messages::kBadAllocation, std::nullopt,
                                         message::kIconError | message::kTaskModal, std::nullopt);
  } catch (const std::exception& error) {
    conversion.reset();
    DriverContext(services_).ShowMessage(
        messages::Format(messages::kUnexpectedFailure, {error.what()}), std::nullopt,
        message::kIconError | message::kTaskModal, std::nullopt);
  } catch (...) {
    conversion.reset();
    DriverContext(services_).ShowMessage(
        messages::Format(messages::kUnexpectedFailure, {"unknown error"}), std::nullopt,
        message::kIconError | message::kTaskModal, std::nullopt);
  }
  return kFail;
}

}  // namespace tabulex
