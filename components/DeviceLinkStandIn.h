// A portable device-link component: the calculator on the cable is configured rather than
// detected, and a found calculator "receives" a file by a copy into a folder that stands for
// its memory.
#pragma once

#include <string>
#include <vector>

#include "converter/model/ErrorCodes.h"

namespace tabulex::components {

// Failures of the device link, as HRESULTs of its own.
inline constexpr HResult kNoDevice = static_cast<HResult>(0x80040201u);
inline constexpr HResult kFileRefused = static_cast<HResult>(0x80040202u);
inline constexpr HResult kDeviceUnreachable = static_cast<HResult>(0x80040203u);
// The user closed the device choice without choosing.
inline constexpr HResult kChoiceCancelled = static_cast<HResult>(0x800704C7u);

struct DeviceLinkSettings {
  // The model code of the calculator on the cable; empty when none is connected.
  std::string model;
  // The folder that stands for the connected calculator's memory.
  std::string folder;
  // False for a calculator that a search does not find until the user has chosen it.
  bool detectable = true;
};

class DeviceLinkStandIn {
 public:
  explicit DeviceLinkStandIn(DeviceLinkSettings settings) : settings_(std::move(settings)) {}

  // Looks for the calculator on the cable: kNoDevice when there is none, or when it cannot
  // be detected and the user has not chosen it.
  HResult FindDevice();
  // The calculators the device choice offers.
  std::vector<std::string> Choices() const;
  // The user's choice, one of Choices(); a later search finds that calculator.
  HResult ChooseDevice(const std::string& model);
  // The found calculator's model code.
  HResult get_Model(std::string* model) const;
  // Sends a calculator file the found calculator accepts: a file of its own family and
  // extension that loads as a calculator variable. It arrives under its own file name,
  // replacing a variable sent before under that name.
  HResult SendFile(const std::string& path);

 private:
  DeviceLinkSettings settings_;
  bool chosen_ = false;
  bool found_ = false;
};

}  // namespace tabulex::components
