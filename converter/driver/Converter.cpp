// The conversion driver: classify the pair of types, read the source into a sheet, build the
// target sheet from it, name the output, ask before overwriting and write it.
#include "converter/driver/Converter.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>

#include "converter/appvar/AppVarSheet.h"
#include "converter/driver/DriverContext.h"
#include "converter/driver/Messages.h"
#include "converter/kv68/Kv68Sheet.h"
#include "converter/model/Spreadsheet.h"
#include "converter/model/TextSheet.h"
#include "converter/platform/Files.h"

namespace tabulex {

namespace {

// Where the variable data starts in a calculator file, and the sizes at or below which a file
// cannot hold a sheet.
constexpr std::size_t kKv52DataOffset = 72;
constexpr std::size_t kKv52MaxTooSmall = 271;
constexpr std::size_t kKv68NameOffset = 64;
constexpr std::size_t kKv68NameLength = 8;
constexpr std::size_t kKv68DataOffset = 88;
constexpr std::size_t kKv68MaxTooSmall = 242;
constexpr std::size_t kChecksumLength = 2;
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

enum Overwrite { kWrite = 0, kSkip = 1, kStop = 2 };

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

// Removes a file when it goes out of scope, so temporary files go on every path.
class TempFile {
 public:
  TempFile() = default;
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!path_.empty()) platform::RemoveFile(path_);
  }
  const std::string& Path() const { return path_; }
  bool Valid() const { return !path_.empty(); }

 private:
  std::string path_;
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

std::optional<std::string> ReserveSibling(const std::string& path) {
  return platform::CreateUniqueFile(SiblingFolder(path), kSiblingPrefix);
}

// Writes the bytes under a temporary name beside `path` and renames it over `path` only once
// the write succeeded, so an existing file survives any failure.
bool WriteReplacing(const std::string& path, std::string_view bytes) {
  std::optional<std::string> reserved = ReserveSibling(path);
  if (!reserved) return false;
  TempFile temp(*reserved);
  if (!platform::WriteWholeFile(temp.Path(), bytes)) return false;
  return platform::RenameOver(temp.Path(), path);
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
  // the output may be written.
  std::optional<HResult> Refused(const std::string& path);
  HResult TooSmall();

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
  std::optional<std::string> created =
      platform::CreateUniqueFile(services_.tempFolder, kTempPrefix);
  if (!created) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  TempFile temp(*created);
  services_.engine->ExcelSheetToText(context_, inputPath_, temp.Path(), sheetName_);
  std::optional<std::string> bytes = platform::ReadWholeFile(temp.Path());
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
  if (!bytes) return kFail;
  if (bytes->size() <= kKv52MaxTooSmall) return TooSmall();
  // Exactly the bytes read from the data offset on, less the trailing checksum.
  std::string_view data = Bytes(*bytes, kKv52DataOffset, bytes->size() - kChecksumLength);
  source_ = std::make_unique<AppVarSheet>(context_, data.data(), data.size());
  source_->TranslateToIntermediate();
  return kOk;
}

HResult Conversion::ReadKv68Source() {
  std::optional<std::string> bytes = platform::ReadWholeFile(inputPath_);
  if (!bytes) return kFail;
  if (bytes->size() <= kKv68MaxTooSmall) return TooSmall();
  std::string_view name = Bytes(*bytes, kKv68NameOffset, kKv68NameOffset + kKv68NameLength);
  std::string_view data = Bytes(*bytes, kKv68DataOffset, bytes->size() - kChecksumLength);
  auto sheet = std::make_unique<Kv68Sheet>(context_, data.data(), data.size());
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
  target_ = std::make_unique<TextSheet>(context_, *source_);
  target_->TranslateFromIntermediate();
  const std::string output = target_->GetOutput();
  const std::size_t size = std::min(target_->GetOutputSize(), output.size());
  const std::string path = outputFolder_ + internalName_ + ".txt";
  if (std::optional<HResult> refused = Refused(path)) return *refused;
  if (!WriteReplacing(path, std::string_view(output).substr(0, size))) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  remembered_ = path;
  return kOk;
}

HResult Conversion::WriteWorkbook() {
  std::optional<std::string> created =
      platform::CreateUniqueFile(services_.tempFolder, kTempPrefix);
  TempFile text(created.value_or(std::string()));
  target_ = std::make_unique<ExcelTextSheet>(context_, *source_);
  target_->TranslateFromIntermediate();
  const std::string output = target_->GetOutput();
  // The terminating zero byte goes into the file too.
  const std::size_t size = std::min(target_->GetOutputSize() + 1, output.size());
  const std::string path = outputFolder_ + internalName_ + ".xls";
  if (std::optional<HResult> refused = Refused(path)) return *refused;
  if (!text.Valid() ||
      !platform::WriteWholeFile(text.Path(), std::string_view(output).substr(0, size))) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  // The engine saves beside the target; the workbook replaces the target only once it exists.
  std::optional<std::string> reserved = ReserveSibling(path);
  if (!reserved) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  platform::RemoveFile(*reserved);
  TempFile workbook(*reserved + ".xls");
  const int result = services_.engine->TextToExcelWorkbook(context_, text.Path(), workbook.Path());
  const std::optional<std::uintmax_t> saved = platform::FileSize(workbook.Path());
  if (result != 0 || !saved || *saved == 0) return kFail;
  if (!platform::RenameOver(workbook.Path(), path)) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
  remembered_ = path;
  return kOk;
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
    const std::string path = outputFolder_ + fileName;
    if (deviceName != internalName_) {
      context_.ShowMessage(
          messages::Format(context_.Text(messages::kNameChanged), {fileName, component.VarName()}),
          context_.Text(messages::kInvalidFileName), message::kIconInformation,
          messages::kOwnerWindowTitle);
    }
    if (std::optional<HResult> refused = Refused(path)) return *refused;
    const std::size_t offset = kv52 ? kKv52VarDataOffset : kKv68VarDataOffset;
    const std::size_t shortfall = kv52 ? kKv52VarDataShortfall : kKv68VarDataShortfall;
    if (size < shortfall || offset + (size - shortfall) > output.size()) throw ComError{kFail};
    const VarTag tag = kv52 ? VarTag(kKv52VarDataTag) : VarTag(std::string(kKv68VarDataTag));
    Check((*component)
              .SetVarData(reinterpret_cast<const std::uint8_t*>(output.data()) + offset,
                          static_cast<std::uint32_t>(size - shortfall), tag));
    std::optional<std::string> reserved = ReserveSibling(path);
    if (!reserved) throw ComError{kFail};
    TempFile temp(*reserved);
    Check((*component).SaveFile(temp.Path(), 0, 0));
    if (!platform::RenameOver(temp.Path(), path)) {
      context_.ReportErrorCode(ERR_WRITE_FAILED);
      return kFail;
    }
    remembered_ = path;
    return kOk;
  } catch (const ComError& error) {
    return ShowComError(error.hr, errorStyle);
  }
}

HResult Conversion::ShowComError(HResult hr, std::uint32_t style) {
  std::optional<std::string> text = context_.ErrorText(static_cast<std::uint32_t>(hr));
  context_.ShowMessage(text ? *text : context_.Text(messages::kApplicationError), std::nullopt,
                       style, messages::kOwnerWindowTitle);
  return kFail;
}

HResult Conversion::Resave() {
  try {
    VarFile component(services_);
    Check((*component).LoadFile(inputPath_, 0));
    Check((*component).put_DeviceType(DeviceTypeOf(toType_)));
    Check((*component).put_VarName(internalName_));
    const std::string base = outputFolder_ + DotsForBackslashes(internalName_);
    const std::string path = base + std::string(ExtensionOf(toType_));
    if (std::optional<HResult> refused = Refused(path)) return *refused;
    // The component appends the extension of the device type to the name it is given.
    std::optional<std::string> reserved = ReserveSibling(path);
    if (!reserved) throw ComError{kFail};
    TempFile placeholder(*reserved);
    Check((*component).SaveFile(placeholder.Path(), 1, 0));
    TempFile written(component.FileName());
    if (!platform::RenameOver(written.Path(), path)) throw ComError{kFail};
    remembered_ = path;
    return kOk;
  } catch (...) {
    context_.ReportErrorCode(ERR_WRITE_FAILED);
    return kFail;
  }
}

std::optional<HResult> Conversion::Refused(const std::string& path) {
  switch (ConfirmOverwrite(path)) {
    case kSkip:
      return CONVERT_SKIPPED;
    case kStop:
      return CONVERT_CANCELLED;
    case kWrite:
      break;
  }
  return std::nullopt;
}

Overwrite Conversion::ConfirmOverwrite(const std::string& path) {
  if (!platform::PathExists(path)) return kWrite;
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
      return kWrite;
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
