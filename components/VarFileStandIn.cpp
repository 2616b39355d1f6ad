// The stand-in variable-file component: calculator file wrappers and device naming.
#include "components/VarFileStandIn.h"

#include <cstring>

#include "converter/model/CString.h"
#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"

namespace tabulex::components {

namespace {

constexpr std::string_view kKv52Signature = "**KV52F*";
constexpr std::string_view kKv68Signature = "**KV68**";
constexpr std::string_view kKv74Signature = "**KV74P*";
constexpr std::size_t kNameLength = 8;
constexpr std::size_t kKv52DataOffset = 72;
constexpr std::size_t kKv52EntryOffset = 55;
constexpr std::size_t kKv68SizeOffset = 86;
constexpr std::size_t kKv68DataOffset = 88;
constexpr std::uint8_t kKv52VarType = 0x15;
constexpr std::uint8_t kKv68VarType = 0x1C;
constexpr std::uint32_t kKv68EntryDataOffset = 82;
// Files are first written under a unique name with this prefix beside their target.
constexpr std::string_view kTempPrefix = "~vf";

void PutU16LE(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32LE(std::string& out, std::uint32_t value) {
  PutU16LE(out, value & 0xFFFF);
  PutU16LE(out, value >> 16);
}

void PutPadded(std::string& out, std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, '\0');
  out += field;
}

std::uint32_t ReadU16LE(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

std::uint32_t ReadU32LE(std::string_view bytes, std::size_t at) {
  return ReadU16LE(bytes, at) | (ReadU16LE(bytes, at + 2) << 16);
}

std::uint16_t Checksum(std::string_view bytes) {
  std::uint32_t sum = 0;
  for (char c : bytes) sum += static_cast<std::uint8_t>(c);
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

Family FamilyOf(std::int32_t deviceType) {
  switch (deviceType) {
    case 5:
      return Family::kKv52;
    case 7:
    case 9:
    case 10:
      return Family::kKv68;
    default:
      return Family::kNone;
  }
}

std::string_view ExtensionOf(std::int32_t deviceType) {
  switch (deviceType) {
    case 5:
      return ".5xv";
    case 7:
      return ".68y";
    case 9:
      return ".7xy";
    case 10:
      return ".r2y";
    default:
      return "";
  }
}

// One part of a KV-68 family name: lower case, only a-z, 0-9 and "_", starting with a letter.
std::string Kv68NamePart(std::string_view part) {
  std::string out;
  for (char c : part) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
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
  const std::size_t end = file.size() - 2;
  if (ReadU16LE(file, 53) != end - kKv52EntryOffset) return std::nullopt;
  if (Checksum(file.substr(kKv52EntryOffset, end - kKv52EntryOffset)) != ReadU16LE(file, end)) {
    return std::nullopt;
  }
  const std::uint32_t length = ReadU16LE(file, 57);
  if (kKv52DataOffset + length != end || ReadU16LE(file, kKv52DataOffset) != length - 2) {
    return std::nullopt;
  }
  Loaded loaded{Family::kKv52, 5, std::string(UpToNul(file.substr(60, kNameLength))),
                std::string(file.substr(kKv52DataOffset + 6, end - kKv52DataOffset - 6)),
                VarTag(ReadU32LE(file, kKv52DataOffset + 2))};
  return loaded;
}

std::optional<Loaded> UnwrapKv68(std::string_view file, std::int32_t deviceType) {
  if (file.size() < kKv68DataOffset + 3 + 2) return std::nullopt;
  const std::size_t end = file.size() - 2;
  const std::uint32_t size = (static_cast<std::uint8_t>(file[kKv68SizeOffset]) << 8) |
                             static_cast<std::uint8_t>(file[kKv68SizeOffset + 1]);
  if (kKv68DataOffset + size != end || ReadU32LE(file, 76) != file.size()) return std::nullopt;
  if (Checksum(file.substr(kKv68SizeOffset, end - kKv68SizeOffset)) != ReadU16LE(file, end)) {
    return std::nullopt;
  }
  // The data is followed by 00, the tag string, 00 and F8.
  std::string_view body = file.substr(kKv68DataOffset, size);
  if (body.size() < 3 || static_cast<std::uint8_t>(body.back()) != 0xF8 ||
      body[body.size() - 2] != '\0') {
    return std::nullopt;
  }
  body.remove_suffix(2);
  const std::size_t separator = body.rfind('\0');
  if (separator == std::string_view::npos) return std::nullopt;
  std::string folder(UpToNul(file.substr(10, kNameLength)));
  std::string name(UpToNul(file.substr(64, kNameLength)));
  if (!folder.empty() && folder != "main") name = folder + "\\" + name;
  Loaded loaded{Family::kKv68, deviceType, name, std::string(body.substr(0, separator)),
                VarTag(std::string(body.substr(separator + 1)))};
  return loaded;
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
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
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
  const std::size_t length = 6 + data.size();
  if (length + (kKv52DataOffset - kKv52EntryOffset) > 0xFFFF) return std::nullopt;
  std::string file(kKv52Signature);
  file += std::string("\x1A\x0A\x00", 3);
  PutPadded(file, "Spreadsheet", 42);
  PutU16LE(file, static_cast<std::uint32_t>(length + kKv52DataOffset - kKv52EntryOffset));
  PutU16LE(file, 13);
  PutU16LE(file, static_cast<std::uint32_t>(length));
  file.push_back(static_cast<char>(kKv52VarType));
  PutPadded(file, name, kNameLength);
  file.push_back('\0');  // version
  file.push_back('\0');  // flags
  PutU16LE(file, static_cast<std::uint32_t>(length));
  PutU16LE(file, static_cast<std::uint32_t>(length - 2));
  PutU32LE(file, tag);
  file += data;
  PutU16LE(file, Checksum(std::string_view(file).substr(kKv52EntryOffset)));
  return file;
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
  const std::size_t fileSize = kKv68DataOffset + size + 2;
  std::string file(deviceType == 7 ? kKv68Signature : kKv74Signature);
  file += std::string("\x01\x00", 2);
  PutPadded(file, folder, kNameLength);
  PutPadded(file, "Spreadsheet", 40);
  PutU16LE(file, 1);
  PutU32LE(file, kKv68EntryDataOffset);
  PutPadded(file, name, kNameLength);
  file.push_back(static_cast<char>(kKv68VarType));
  file += std::string(3, '\0');  // attribute and two reserved bytes
  PutU32LE(file, static_cast<std::uint32_t>(fileSize));
  file += std::string("\xA5\x5A\x00\x00\x00\x00", 6);
  file.push_back(static_cast<char>((size >> 8) & 0xFF));
  file.push_back(static_cast<char>(size & 0xFF));
  file += data;
  file.push_back('\0');
  file += tag;
  file.push_back('\0');
  file.push_back(static_cast<char>(0xF8));
  PutU16LE(file, Checksum(std::string_view(file).substr(kKv68SizeOffset)));
  return file;
}

Family VarFileStandIn::CurrentFamily() const {
  Family family = FamilyOf(deviceType_);
  return family == Family::kNone ? loadedFamily_ : family;
}

HResult VarFileStandIn::put_DeviceType(std::int32_t deviceType) {
  if (FamilyOf(deviceType) == Family::kNone) return kInvalidArg;
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
    loaded = UnwrapKv68(bytes, 7);
  } else if (bytes.substr(0, 8) == kKv74Signature) {
    loaded = UnwrapKv68(bytes, 9);
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
  const Family family = FamilyOf(deviceType_);
  if (family == Family::kNone || !data_) return kUnexpected;
  // A variable's data belongs to its family: the other family's calculators cannot read it.
  if (loadedFamily_ != Family::kNone && loadedFamily_ != family) return kInvalidArg;
  std::string target = path;
  if (flag == 1) target += std::string(ExtensionOf(deviceType_));
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
