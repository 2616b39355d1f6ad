// The stand-in device-link component.
#include "components/DeviceLinkStandIn.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "components/VarFileStandIn.h"
#include "converter/driver/FileTypes.h"
#include "converter/platform/Files.h"

namespace tabulex::components {
namespace {

// The models the link knows and the file type each one receives.
struct ModelRow {
  const char* model;
  TABULEX_FILE_TYPES fileType;
};
constexpr ModelRow kModels[] = {
    {"KV-52P", ZQ_TABULEX_52P},   {"KV-52PSE", ZQ_TABULEX_52P}, {"KV-57P", ZQ_TABULEX_52P},
    {"KV-57PSE", ZQ_TABULEX_52P}, {"KV-68", ZQ_TABULEX_68},     {"KV-68T", ZQ_TABULEX_68},
    {"KV-74P", ZQ_TABULEX_74},    {"R200", ZQ_TABULEX_RB200},
};

const ModelRow* FindModel(const std::string& model) {
  for (const ModelRow& row : kModels) {
    if (model == row.model) return &row;
  }
  return nullptr;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) == std::tolower(y);
  });
}

// A calculator takes only files of its own type: the extension of that type, and contents
// that load as a variable of its family.
HResult CheckAccepted(const std::string& model, const std::filesystem::path& file) {
  const ModelRow* row = FindModel(model);
  if (!row) return kFileRefused;
  VarFileStandIn loaded;
  const HResult hr = loaded.LoadFile(file.string(), 0);
  if (hr < 0) return hr;
  std::int32_t family = 0;
  loaded.get_DeviceFamily(&family);
  if (family != static_cast<std::int32_t>(FamilyOf(row->fileType)) ||
      !SameTextIgnoringCase(file.extension().string(), ExtensionOf(row->fileType))) {
    return kFileRefused;
  }
  return kOk;
}

}  // namespace

HResult DeviceLinkStandIn::FindDevice() {
  found_ = !settings_.model.empty() && (settings_.detectable || chosen_);
  return found_ ? kOk : kNoDevice;
}

std::vector<std::string> DeviceLinkStandIn::Choices() const {
  if (settings_.model.empty()) return {};
  return {settings_.model};
}

HResult DeviceLinkStandIn::ChooseDevice(const std::string& model) {
  const std::vector<std::string> choices = Choices();
  if (std::find(choices.begin(), choices.end(), model) == choices.end()) return kInvalidArg;
  chosen_ = true;
  return kOk;
}

HResult DeviceLinkStandIn::get_Model(std::string* model) const {
  if (!model) return kPointer;
  if (!found_) return kNoDevice;
  *model = settings_.model;
  return kOk;
}

HResult DeviceLinkStandIn::SendFile(const std::string& path) {
  if (!found_) return kNoDevice;
  if (path.empty()) return kInvalidArg;
  const std::filesystem::path file(path);
  if (const HResult accepted = CheckAccepted(settings_.model, file); accepted < 0) {
    return accepted;
  }
  std::error_code error;
  const std::filesystem::path memory(settings_.folder);
  if (settings_.folder.empty() || !std::filesystem::is_directory(memory, error)) {
    return kDeviceUnreachable;
  }
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return kFileNotFound;
  std::ofstream arrived(memory / file.filename(), std::ios::binary | std::ios::trunc);
  arrived << *bytes;
  arrived.close();
  return arrived ? kOk : kWriteFault;
}

}  // namespace tabulex::components
