// The byte-level adjustments between the office's text files and the converter's exchange text.
#pragma once

#include <string>
#include <string_view>

namespace tabulex::libreoffice {

// Turns every line feed that ends a row into carriage return and line feed. A line feed inside
// a quoted field (a cell of several lines) is part of the cell and stays as it is.
std::string WindowsRowEnds(std::string_view text);

// The exchange text without the zero bytes that end it; the office would read them as a cell.
std::string_view WithoutTrailingZeros(std::string_view text);

}  // namespace tabulex::libreoffice
