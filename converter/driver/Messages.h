// The converter's string table.
#pragma once

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

// The title of the window that owns the converter's message boxes when it exists.
inline constexpr std::string_view kOwnerWindowTitle = "ZQ Tabulex Converter";

// Replaces each "%s" in `format`, in order, by the next argument.
std::string Format(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace tabulex::messages
