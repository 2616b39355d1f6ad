// The stand-in variable-file component: calculator file wrappers and device naming.
#include "components/VarFileStandIn.h"

#include <cstring>
#include <utility>

#include "converter/model/ByteStream.h"
#include "converter/model/CString.h"
#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::components {

namespace {

constexpr std::string_view kKv52Signature = "**KV52F*";
constexpr std::string_view kKv68Signature = "**KV68**";
constexpr std::string_view kKv74Signature = "**KV74P*";
constexpr std::size_t kNameLength = kCalculatorNameLength;
constexpr std::size_t kKv52DataOffset = CalculatorFileTypeOf(ZQ_TABULEX_52P)->dataOffset;
// KV-52 Plus: the entry area's length, then the entry from here to the checksum.
constexpr std::size_t kKv52EntryAreaLengthOffset = 53;
constexpr std::size_t kKv52EntryOffset = 55;
constexpr std::size_t kKv52EntryHeaderSize = 13;
// The variable's own length, its name, and the length and tag in front of its data.
constexpr std::size_t kKv52VarLengthOffset = 57;
constexpr std::size_t kKv52NameOffset = 60;
constexpr std::size_t kKv52TagSize = 4;
// KV-68 family: the folder name, the file's total size, and the big-endian data size.
constexpr std::size_t kKv68FolderOffset = 10;
constexpr std::size_t kKv68FileSizeOffset = 76;
constexpr std::size_t kKv68SizeOffset = 86;
constexpr std::size_t kKv68NameOffset = CalculatorFileTypeOf(ZQ_TABULEX_68)->nameOffset;
constexpr std::size_t kKv68DataOffset = CalculatorFileTypeOf(ZQ_TABULEX_68)->dataOffset;
constexpr std::int32_t kKv52Device = DeviceTypeOf(ZQ_TABULEX_52P);
constexpr std::int32_t kKv68Device = DeviceTypeOf(ZQ_TABULEX_68);
constexpr std::int32_t kKv74Device = DeviceTypeOf(ZQ_TABULEX_74);
constexpr std::uint8_t kKv52VarType = 0x15;
constexpr std::uint8_t kKv68VarType = 0x1C;
constexpr std::uint32_t kKv68EntryDataOffset = 82;
// Files are first written under a unique name with this prefix beside their target.
constexpr std::string_view kTempPrefix = "~vf";

std::uint16_t Checksum(std::string_view bytes) {
  std::uint32_t sum = 0;
  for (char c : bytes) sum += static_cast<std::uint8_t>(c);
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

Family FamilyOfDevice(std::int32_t deviceType) {
  const CalculatorFileType* type = CalculatorFileTypeOfDevice(deviceType);
  return type ? type->family : Family::kNone;
}

std::string_view ExtensionOfDevice(std::int32_t deviceType) {
  const CalculatorFileType* type = CalculatorFileTypeOfDevice(deviceType);
  return type ? type->extension : std::string_view();
}

// One part of a KV-68 family name: lower case, only a-z, 0-9 and "_", starting with a letter.
std::string Kv68NamePart(std::string_view part) {
  std::string out;
  for (char c : part) {
    c = AsciiLower(c);
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') out.push_back(c);
  }
  if (!out.empty() && !(out[0] >= 'a' && out[0] <= 'z')) out.insert(out.begin(), 'a');
  if (out.size() > kNameLength) out.resize(kNameLength);
  return out;
}

struct Loaded {
  Family family;
  std::int32_t deviceType;
  std::string name;
  std::string data;
  VarTag tag;
};

std::optional<Loaded> UnwrapKv52(std::string_view file) {
  if (file.size() < kKv52DataOffset + 6 + 2) return std::nullopt;
  const std::size_t end = file.size() - kCalculatorChecksumLength;
  InputStream in = InputStream::Over(file);
  in.Seek(kKv52EntryAreaLengthOffset);
  const std::optional<std::uint16_t> entryArea = in.ReadU16LE();
  in.Seek(kKv52VarLengthOffset);
  const std::optional<std::uint16_t> length = in.ReadU16LE();
  in.Seek(kKv52NameOffset);
  const std::optional<std::string_view> name = in.Slice(kNameLength);
  in.Seek(kKv52DataOffset);
  const std::optional<std::uint16_t> dataLength = in.ReadU16LE();
  const std::optional<std::uint32_t> tag = in.ReadU32LE();
  const std::optional<std::string_view> data = in.Slice(end - in.Tell());
  const std::optional<std::uint16_t> checksum = in.ReadU16LE();
  if (in.Failed() || *entryArea != end - kKv52EntryOffset) return std::nullopt;
  if (Checksum(file.substr(kKv52EntryOffset, end - kKv52EntryOffset)) != *checksum) {
    return std::nullopt;
  }
  if (kKv52DataOffset + *length != end || *dataLength != *length - 2) return std::nullopt;
  return Loaded{Family::kKv52, kKv52Device, std::string(UpToNul(*name)), std::string(*data),
                VarTag(*tag)};
}

// The data and tag of a KV-68 family file's data block: the data, 00, the tag, 00 and F8.
std::optional<std::pair<std::string_view, std::string_view>> SplitKv68Body(std::string_view body) {
  if (body.size() < 3 || static_cast<std::uint8_t>(body.back()) != 0xF8 ||
      body[body.size() - 2] != '\0') {
    return std::nullopt;
  }
  body.remove_suffix(2);
  const std::size_t separator = body.rfind('\0');
  if (separator == std::string_view::npos) return std::nullopt;
  return std::pair(body.substr(0, separator), body.substr(separator + 1));
}

std::optional<Loaded> UnwrapKv68(std::string_view file, std::int32_t deviceType) {
  if (file.size() < kKv68DataOffset + 3 + 2) return std::nullopt;
  const std::size_t end = file.size() - kCalculatorChecksumLength;
  InputStream in = InputStream::Over(file);
  in.Seek(kKv68FolderOffset);
  const std::optional<std::string_view> folderField = in.Slice(kNameLength);
  in.Seek(kKv68NameOffset);
  const std::optional<std::string_view> nameField = in.Slice(kNameLength);
  in.Seek(kKv68FileSizeOffset);
  const std::optional<std::uint32_t> fileSize = in.ReadU32LE();
  in.Seek(kKv68SizeOffset);
  const std::optional<std::uint16_t> size = in.ReadU16BE();
  const std::optional<std::string_view> body = in.Slice(end - in.Tell());
  const std::optional<std::uint16_t> checksum = in.ReadU16LE();
  if (in.Failed() || kKv68DataOffset + *size != end || *fileSize != file.size()) {
    return std::nullopt;
  }
  if (Checksum(file.substr(kKv68SizeOffset, end - kKv68SizeOffset)) != *checksum) {
    return std::nullopt;
  }
  const auto parts = SplitKv68Body(*body);
  if (!parts) return std::nullopt;
  const std::string folder(UpToNul(*folderField));
  std::string name(UpToNul(*nameField));
  if (!folder.empty() && folder != "main") name = folder + "\\" + name;
  return Loaded{Family::kKv68, deviceType, name, std::string(parts->first),
                VarTag(std::string(parts->second))};
}

// Writes a new file beside `target` and renames it over `target`: whatever is at `target` (a
// file, a link planted there) is replaced, never truncated or written through.
bool WriteReplacing(const std::string& target, std::string_view bytes) {
  std::string folder = platform::FolderOf(target);
  if (folder.empty()) folder = "./";
  std::optional<platform::ExclusiveFile> temp =
      platform::ExclusiveFile::Create(folder, kTempPrefix);
  return temp && temp->Write(bytes) &&
         temp->MoveTo(target, platform::Replace::kExisting) == platform::Moved::kDone;
}

}  // namespace

std::string Kv52DeviceName(std::string_view name) {
  const std::size_t slash = name.rfind('\\');
  if (slash != std::string_view::npos) name = name.substr(slash + 1);
  std::string out;
  for (char c : name) {
    c = AsciiUpper(c);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out.push_back(c);
  }
  if (!out.empty() && out[0] >= '0' && out[0] <= '9') out.insert(out.begin(), 'A');
  if (out.size() > kNameLength) out.resize(kNameLength);
  return out.empty() ? std::string("SHEET") : out;
}

std::string Kv68DeviceName(std::string_view name) {
  const std::size_t slash = name.rfind('\\');
  std::string folder;
  if (slash != std::string_view::npos) {
    folder = Kv68NamePart(name.substr(0, slash));
    name = name.substr(slash + 1);
  }
  std::string var = Kv68NamePart(name);
  if (var.empty()) var = "sheet";
  return folder.empty() ? var : folder + "\\" + var;
}

std::optional<std::string> WrapKv52(std::string_view name, std::uint32_t tag,
                                    std::string_view data) {
  const std::size_t length = kKv52TagSize + 2 + data.size();
  const std::size_t entryArea = length + (kKv52DataOffset - kKv52EntryOffset);
  if (entryArea > 0xFFFF) return std::nullopt;
  OutputStream file;
  file.Write(kKv52Signature);
  file.Write(std::string_view("\x1A\x0A\x00", 3));
  file.WritePadded("Spreadsheet", 42);  // comment
  file.WriteU16LE(static_cast<std::uint16_t>(entryArea));
  file.WriteU16LE(kKv52EntryHeaderSize);
  file.WriteU16LE(static_cast<std::uint16_t>(length));
  file.Put(kKv52VarType);
  file.WritePadded(name, kNameLength);
  file.Put(0);  // version
  file.Put(0);  // flags
  file.WriteU16LE(static_cast<std::uint16_t>(length));
  file.WriteU16LE(static_cast<std::uint16_t>(length - 2));
  file.WriteU32LE(tag);
  file.Write(data);
  file.WriteU16LE(Checksum(std::string_view(file.Contents()).substr(kKv52EntryOffset)));
  return file.Contents();
}

std::optional<std::string> WrapKv68(std::int32_t deviceType, std::string_view name,
                                    std::string_view tag, std::string_view data) {
  const std::size_t size = data.size() + tag.size() + 3;
  if (size > 0xFFFF) return std::nullopt;
  std::string_view folder = "main";
  const std::size_t slash = name.rfind('\\');
  if (slash != std::string_view::npos) {
    if (slash > 0) folder = name.substr(0, slash);
    name = name.substr(slash + 1);
  }
  const std::size_t fileSize = kKv68DataOffset + size + kCalculatorChecksumLength;
  OutputStream file;
  file.Write(deviceType == kKv68Device ? kKv68Signature : kKv74Signature);
  file.Write(std::string_view("\x01\x00", 2));
  file.WritePadded(folder, kNameLength);
  file.WritePadded("Spreadsheet", 40);  // comment
  file.WriteU16LE(1);                   // entry count
  file.WriteU32LE(kKv68EntryDataOffset);
  file.WritePadded(name, kNameLength);
  file.Put(kKv68VarType);
  file.Write(std::string(3, '\0'));  // attribute and two reserved bytes
  file.WriteU32LE(static_cast<std::uint32_t>(fileSize));
  file.Write(std::string_view("\xA5\x5A\x00\x00\x00\x00", 6));
  file.WriteU16BE(static_cast<std::uint16_t>(size));
  file.Write(data);
  file.Put(0);
  file.Write(tag);
  file.Put(0);
  file.Put(0xF8);
  file.WriteU16LE(Checksum(std::string_view(file.Contents()).substr(kKv68SizeOffset)));
  return file.Contents();
}

Family VarFileStandIn::CurrentFamily() const {
  Family family = FamilyOfDevice(deviceType_);
  return family == Family::kNone ? loadedFamily_ : family;
}

HResult VarFileStandIn::put_DeviceType(std::int32_t deviceType) {
  if (FamilyOfDevice(deviceType) == Family::kNone) return kInvalidArg;
  deviceType_ = deviceType;
  return kOk;
}

HResult VarFileStandIn::get_DeviceFamily(std::int32_t* family) {
  if (!family) return kPointer;
  if (loadedFamily_ == Family::kNone) return kUnexpected;
  *family = static_cast<std::int32_t>(loadedFamily_);
  return kOk;
}

HResult VarFileStandIn::LoadFile(const std::string& path, std::int32_t /*flag*/) {
  std::optional<std::string> file = platform::ReadWholeFile(path);
  if (!file) return kFileNotFound;
  std::string_view bytes(*file);
  std::optional<Loaded> loaded;
  if (bytes.substr(0, 8) == kKv52Signature) {
    loaded = UnwrapKv52(bytes);
  } else if (bytes.substr(0, 8) == kKv68Signature) {
    loaded = UnwrapKv68(bytes, kKv68Device);
  } else if (bytes.substr(0, 8) == kKv74Signature) {
    loaded = UnwrapKv68(bytes, kKv74Device);
  }
  if (!loaded) return kInvalidData;
  loadedFamily_ = loaded->family;
  deviceType_ = loaded->deviceType;
  varName_ = loaded->name;
  data_ = std::move(loaded->data);
  tag_ = loaded->tag;
  fileName_ = path;
  return kOk;
}

HResult VarFileStandIn::SaveFile(const std::string& path, std::int32_t flag,
                                 std::int32_t /*reserved*/) {
  const Family family = FamilyOfDevice(deviceType_);
  if (family == Family::kNone || !data_) return kUnexpected;
  // A variable's data belongs to its family: the other family's calculators cannot read it.
  if (loadedFamily_ != Family::kNone && loadedFamily_ != family) return kInvalidArg;
  std::string target = path;
  if (flag == 1) target += std::string(ExtensionOfDevice(deviceType_));
  std::string name;
  get_VarName(&name);
  std::optional<std::string> file;
  if (family == Family::kKv52) {
    const std::uint32_t* tag = std::get_if<std::uint32_t>(&tag_);
    if (!tag) return kInvalidArg;
    file = WrapKv52(name, *tag, *data_);
  } else {
    const std::string* tag = std::get_if<std::string>(&tag_);
    if (!tag) return kInvalidArg;
    file = WrapKv68(deviceType_, name, *tag, *data_);
  }
  if (!file) return kInvalidArg;
  if (!WriteReplacing(target, *file)) return kWriteFault;
  fileName_ = target;
  return kOk;
}

HResult VarFileStandIn::get_VarName(std::string* name) {
  if (!name) return kPointer;
  switch (CurrentFamily()) {
    case Family::kKv52:
      *name = Kv52DeviceName(varName_);
      break;
    case Family::kKv68:
      *name = Kv68DeviceName(varName_);
      break;
    case Family::kNone:
      *name = varName_;
      break;
  }
  return kOk;
}

HResult VarFileStandIn::put_VarName(const std::string& name) {
  varName_ = std::string(UpToNul(name));
  return kOk;
}

HResult VarFileStandIn::get_FileName(std::string* path) {
  if (!path) return kPointer;
  *path = fileName_;
  return kOk;
}

HResult VarFileStandIn::SetVarData(const std::uint8_t* data, std::uint32_t count,
                                   const VarTag& tag) {
  if (!data && count > 0) return kPointer;
  data_ = count ? std::string(reinterpret_cast<const char*>(data), count) : std::string();
  tag_ = tag;
  // Data set here is new: it belongs to whatever family it is saved for.
  loadedFamily_ = Family::kNone;
  return kOk;
}

HResult VarFileStandIn::GetVarDataTag(VarTag* tag) {
  if (!tag) return kPointer;
  if (!data_) return kUnexpected;
  *tag = tag_;
  return kOk;
}

}  // namespace tabulex::components
