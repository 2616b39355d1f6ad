// A portable variable-file component: wraps variable data into calculator files, applies the
// devices' naming rules, and loads and re-saves such files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "converter/driver/Components.h"
#include "converter/driver/FileTypes.h"

namespace tabulex::components {

// Failures of the stand-in, as HRESULTs.
inline constexpr HResult kFileNotFound = static_cast<HResult>(0x80070002u);
inline constexpr HResult kInvalidData = static_cast<HResult>(0x8007000Du);
inline constexpr HResult kWriteFault = static_cast<HResult>(0x8007001Du);
inline constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFFu);

using Family = CalculatorFamily;

// The naming rules of the two calculator families.
std::string Kv52DeviceName(std::string_view name);
std::string Kv68DeviceName(std::string_view name);

// The file bytes of a wrapped variable; nothing when the data does not fit the size fields.
std::optional<std::string> WrapKv52(std::string_view name, std::uint32_t tag,
                                    std::string_view data);
std::optional<std::string> WrapKv68(std::int32_t deviceType, std::string_view name,
                                    std::string_view tag, std::string_view data);

class VarFileStandIn : public IVarFileData {
 public:
  HResult put_DeviceType(std::int32_t deviceType) override;
  HResult get_DeviceFamily(std::int32_t* family) override;
  HResult LoadFile(const std::string& path, std::int32_t flag) override;
  // Writes a new file beside `path` (plus the device type's extension when `flag` is 1) and
  // renames it over that name: whatever is there, a link included, is replaced, never written
  // through.
  HResult SaveFile(const std::string& path, std::int32_t flag, std::int32_t reserved) override;
  HResult get_VarName(std::string* name) override;
  HResult put_VarName(const std::string& name) override;
  HResult get_FileName(std::string* path) override;
  HResult SetVarData(const std::uint8_t* data, std::uint32_t count, const VarTag& tag) override;
  HResult GetVarDataTag(VarTag* tag) override;

 private:
  Family CurrentFamily() const;

  std::int32_t deviceType_ = 0;
  Family loadedFamily_ = Family::kNone;
  std::string varName_;
  std::optional<std::string> data_;
  VarTag tag_;
  std::string fileName_;
};

}  // namespace tabulex::components
