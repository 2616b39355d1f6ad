// The converter's string table; the number behind an entry is its id in that table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulex::messages {

// A string of the string table: its resource id and the compiled-in text.
struct StringResource {
  unsigned id;
  std::string_view text;
};

#define STRING_ROW(id, name, text) inline constexpr StringResource name{id, text};
#include "converter/driver/StringTable.inc"
#undef STRING_ROW

// Every row of the string table, in id order.
inline constexpr StringResource kStringTable[] = {
#define STRING_ROW(id, name, text) name,
#include "converter/driver/StringTable.inc"
#undef STRING_ROW
};

// Our own texts, for failures the string table has no entry for.
inline constexpr std::string_view kBadAllocation = "bad allocation";
inline constexpr std::string_view kUnknownSourceType =
    "The source file type %s is not known, so there is nothing to convert.";
inline constexpr std::string_view kUnexpectedFailure = "The conversion failed: %s";
inline constexpr std::string_view kStoppedEarly =
    "%s: reading stopped at byte %s: %s; the cells before it are kept";
inline constexpr std::string_view kNameLeavesFolder =
    "The output name \"%s\" would put the file outside the folder %s, so nothing was written. "
    "Choose a name without \"..\", a drive or a leading separator.";
inline constexpr std::string_view kNameNotAFileName =
    "The output name \"%s\" cannot name a file (%s), so nothing was written. Choose another "
    "name.";
inline constexpr std::string_view kUnknownRecordType =
    "The file is damaged: one of its cell records has a type that no cell can have, so it "
    "cannot be converted.";
// A problem with a named file: its path, then what is wrong.
inline constexpr std::string_view kFileProblem = "%s: %s";
// The second part of kFileProblem for a file of another type given as text ("a workbook").
inline constexpr std::string_view kNotText = "%s, not text; convert it from its own type";

// The title of the window that owns the converter's message boxes when it exists.
inline constexpr std::string_view kOwnerWindowTitle = "ZQ Tabulex Converter";

// Replaces each "%s" in `format`, in order, by the next argument.
std::string Format(std::string_view format, std::initializer_list<std::string_view> args);

// A count with a comma between groups of three digits: 1126 gives "1,126".
std::string GroupedDigits(std::uint64_t count);

}  // namespace tabulex::messages
