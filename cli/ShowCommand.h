// `tabulex show`: a source file as a sheet on the terminal, as tab-separated text or as JSON.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulex {
class Spreadsheet;
}

namespace tabulex::cli {

enum class ShowFormat { kGrid, kTsv, kJson };

struct ShowOptions {
  ShowFormat format = ShowFormat::kGrid;
  bool formulas = false;  // formula text instead of values
  int width = 80;         // columns the grid may take
  bool color = false;
};

std::optional<ShowFormat> ShowFormatFromName(std::string_view name);

// A text of the converter's code page as UTF-8, with the calculator characters' escape names
// written as the characters they stand for.
std::string Readable(std::string_view codePageText);

// Writes the sheet's cells in the chosen format.
void ShowSheet(const Spreadsheet& sheet, const ShowOptions& options, std::ostream& out);

}  // namespace tabulex::cli
