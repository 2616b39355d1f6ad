// The converter's string table.
#pragma once

#include <string>
#include <string_view>

namespace tabulex::messages {

inline constexpr std::string_view kApplicationError =  // 107
    "Application error.  Please reinstall ZQ Tabulex Converter.";
inline constexpr std::string_view kNameChanged =  // 108
    "The name of the file has been changed to comply with the device naming conventions. \n"
    "The file name is now %s and can be viewed on the device as %s.\n";
inline constexpr std::string_view kFileExists =  // 110
    "Save File already exists.\n\nPress Yes to Overwrite, No to Skip this file,\n"
    "or Cancel to stop the conversion process.";
inline constexpr std::string_view kInvalidFileName = "Invalid File Name";  // 111
inline constexpr std::string_view kReadOnly =                              // 113
    "%s\nThe above file is read-only. Unable to continue.";

// Our own texts, for failures the string table has no entry for.
inline constexpr std::string_view kBadAllocation = "bad allocation";
inline constexpr std::string_view kUnknownSourceType =
    "The source file type %s is not known, so there is nothing to convert.";
inline constexpr std::string_view kUnexpectedFailure = "The conversion failed: %s";
inline constexpr std::string_view kNameLeavesFolder =
    "The output name \"%s\" would put the file outside the folder %s, so nothing was written. "
    "Choose a name without \"..\", a drive or a leading separator.";
inline constexpr std::string_view kUnknownRecordType =
    "The file is damaged: one of its cell records has a type that no cell can have, so it "
    "cannot be converted.";
// A problem with a named file: its path, then what is wrong.
inline constexpr std::string_view kFileProblem = "%s: %s";

// The title of the window that owns the converter's message boxes when it exists.
inline constexpr std::string_view kOwnerWindowTitle = "ZQ Tabulex Converter";

// Replaces each "%s" in `format`, in order, by the next argument.
std::string Format(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace tabulex::messages
