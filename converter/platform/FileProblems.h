// Why a file cannot be read or a folder cannot take new files, in words for the user.
#pragma once

#include <optional>
#include <string>

namespace tabulex::platform {

// What keeps the file at `path` from being read ("no such file", "is a folder", ...); nothing
// when it can be read.
std::optional<std::string> ReadProblem(const std::string& path);

// What keeps new files from being written into `folder` ("no such folder", "not a folder", "no
// space left on the disk", ...); nothing when a file can be created there.
std::optional<std::string> WriteProblem(const std::string& folder);

}  // namespace tabulex::platform
