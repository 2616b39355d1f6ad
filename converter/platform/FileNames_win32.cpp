// The parts of file names Windows refuses or treats as something else.
#include <cctype>
#include <string>

#include "converter/platform/FileProblems.h"

namespace tabulex::platform {

namespace {

// Names Windows gives to devices in every folder, with or without an extension: a file named
// CON.txt cannot be made, and writing to it writes to the console.
constexpr std::string_view kDeviceNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};
// Characters no Windows file name holds; a colon would name a hidden stream of another file.
constexpr std::string_view kForbiddenCharacters = "<>:\"|?*";

std::string UpperBase(std::string_view part) {
  std::string base(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return base;
}

}  // namespace

std::optional<std::string> SystemNamePartProblem(std::string_view part) {
  if (part == "." || part == "..") return std::nullopt;  // the folder itself or its parent
  const std::string base = UpperBase(part);
  for (std::string_view device : kDeviceNames) {
    if (base == device) return std::string(device) + " is the name of a device";
  }
  for (const char c : part) {
    if (kForbiddenCharacters.find(c) != std::string_view::npos) {
      return std::string("it holds the character '") + c + "'";
    }
    if (static_cast<unsigned char>(c) < 0x20) return "it holds a control character";
  }
  if (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
    return "it ends in a dot or a blank, which Windows drops";
  }
  return std::nullopt;
}

}  // namespace tabulex::platform
