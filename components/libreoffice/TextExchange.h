// The byte-level adjustments between the office's text files and the converter's exchange text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulex::libreoffice {

// The office's exported text as exchange text: every line feed that ends a row becomes carriage
// return and line feed, while a line feed inside a quoted field (a cell of several lines) stays
// part of the cell. The exchange text has no quoting at the level of separators, so a tab inside
// a quoted field becomes a blank (it would split the cell and move the rest of its row one
// column on) and a carriage return there a line feed (it would end the row).
std::string ExchangeText(std::string_view text);

// The 1-based number of the last column holding anything in any row of the exchange text; 0 for
// a text without content. Empty fields that pad a row do not count.
std::size_t LastFilledColumn(std::string_view text);

// The exchange text without the zero bytes that end it; the office would read them as a cell.
std::string_view WithoutTrailingZeros(std::string_view text);

}  // namespace tabulex::libreoffice
