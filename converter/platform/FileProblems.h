// Why a file cannot be read or a folder cannot take new files, in words for the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulex::platform {

// What keeps the file at `path` from being read ("no such file", "is a folder", ...); nothing
// when it can be read.
std::optional<std::string> ReadProblem(const std::string& path);

// What keeps new files from being written into `folder` ("no such folder", "not a folder", "no
// space left on the disk", ...); nothing when a file can be created there.
std::optional<std::string> WriteProblem(const std::string& folder);

// What keeps `name`, a file name with its extension that may hold subfolders, from naming a file
// of its own on this system ("CON is the name of a device", "it holds the character ':'", "it
// names a folder, not a file" when nothing precedes the extension, ...); nothing when it can.
// Steps out of a folder are not looked at here.
std::optional<std::string> FileNameProblem(std::string_view name);

// What this system alone refuses in one part of a file name, between separators (a device name
// or a forbidden character on Windows); nothing when it takes the part.
std::optional<std::string> SystemNamePartProblem(std::string_view part);

}  // namespace tabulex::platform
