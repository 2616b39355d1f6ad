// File access used by the driver: whole-file reads, existence and size checks, temporary folders.
// The only place the core touches the operating system's file API directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex::platform {

// The contents of a regular file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether anything (file or folder) exists at the path.
bool PathExists(const std::string& path);

// The size of a regular file, or nothing when there is none.
std::optional<std::uintmax_t> FileSize(const std::string& path);

// Whether an existing file can be opened for writing without creating or truncating it. On
// Windows a momentary sharing hold by another writer is waited out first.
bool CanOpenForWriting(const std::string& path);

// The system's folder for temporary files, with a trailing separator.
std::string TempFolder();

// The folder part of a path, with its trailing separator; "./" for a bare file name.
std::string FolderOf(const std::string& path);

// Whether standard input is an interactive terminal.
bool StdinIsTerminal();

}  // namespace tabulex::platform
