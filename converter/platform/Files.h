// File access used by the driver: whole-file reads, atomic replacement and unique temporary files.
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

// Whether an existing file can be opened for writing without creating or truncating it.
bool CanOpenForWriting(const std::string& path);

// Creates or truncates the file and writes the bytes; false on any failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// The system's folder for temporary files, with a trailing separator.
std::string TempFolder();

// Creates a new, empty file with a unique name made of `prefix` and a system-chosen part in
// `folder` (the system's temporary folder when empty) and returns its path.
std::optional<std::string> CreateUniqueFile(const std::string& folder, std::string_view prefix);

// Renames `from` over `to`, replacing a file at `to`.
bool RenameOver(const std::string& from, const std::string& to);

// Removes a file if it exists.
void RemoveFile(const std::string& path);

// The folder part of a path, with its trailing separator; "./" for a bare file name.
std::string FolderOf(const std::string& path);

// Whether standard input is an interactive terminal.
bool StdinIsTerminal();

}  // namespace tabulex::platform
