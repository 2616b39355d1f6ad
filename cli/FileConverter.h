// Converting one file for the command line: runs the driver, gathers what it told the user and
// turns it into lines on stderr that name the file.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliUserInterface.h"
#include "cli/Encoding.h"
#include "components/WorkbookEngine.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {
class Converter;
}

namespace tabulex::cli {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitCancelled = 2;
inline constexpr int kExitSkipped = 3;
inline constexpr int kExitUsage = 64;

// How every file of one `convert` command is converted.
struct ConvertSettings {
  int to = 0;
  std::optional<int> from;  // the source type for every input; by extension when absent
  std::string outDir;       // with its trailing separator; empty means each input's folder
  std::string name;         // internal name; empty means each input's name
  std::string sheet;
  OverwritePolicy policy = OverwritePolicy::kDefault;
  bool interactive = false;
  bool trace = false;
  EncodingChoice encoding = EncodingChoice::kAuto;
  // The command's one workbook engine, and the format of workbook outputs.
  std::shared_ptr<components::WorkbookEngine> engine;
  std::string workbookExtension = ".xls";
  // The outputs this command has written so far; none of them is replaced.
  const std::set<std::string>* written = nullptr;
};

// What became of one file.
struct FileOutcome {
  int status = kExitFailure;
  std::string written;             // the path of the written file
  std::vector<std::string> lines;  // for stderr: warnings, or why it failed
  // The reason of a skip or failure in a few words, for a summary.
  std::string reason;
};

FileOutcome ConvertFile(const ConvertSettings& settings, const std::string& input, std::istream& in,
                        std::ostream& err);

// The converter's services for the command: the stand-in components, `ui`, the command's
// workbook engine, warnings on `err` and, with `trace`, the progress traces.
ConverterServices CommandServices(std::shared_ptr<CliUserInterface> ui, bool trace,
                                  std::shared_ptr<components::WorkbookEngine> engine,
                                  std::ostream& err);

// The workbook format a TYPE argument names: xlsx and ods by name, .xls otherwise.
std::string WorkbookExtension(std::string_view type);

// Why the workbook engine failed with `input`, as a line for stderr that names `input`; empty
// when the engine does not say.
std::string EngineFailureLine(const components::WorkbookEngine& engine, std::string_view input);

// "cannot read INPUT: why" when `input` cannot be read (missing, a folder); nothing when it can.
std::optional<std::string> CannotRead(const std::string& input);

// The sheet to read from `input`: `sheet` when given, else a workbook's first worksheet.
// Nothing when a workbook's sheets cannot be listed; `why` then says why (naming the file),
// when anything does.
std::optional<std::string> SheetToRead(Converter& converter,
                                       const components::WorkbookEngine& engine,
                                       const std::string& input, int from, const std::string& sheet,
                                       std::string& why);

// The exit status for a converter result.
int ExitStatusOf(HResult result);

// The name without folder and extension, and a folder given with its trailing separator.
std::string StemOf(std::string_view path);
std::string WithSeparator(std::string folder);

// A cell reference such as "A1000" for a 1-based row and column.
std::string CellReference(int row, int column);

// The warning about characters that became "?", for a count above zero.
std::string ReplacedLine(std::string_view input, std::size_t replaced);

// The lines for stderr made of the messages a conversion of `input` showed: one a message,
// each naming the file, the misleading "too small" after a missing engine left out.
std::vector<std::string> MessageLines(std::string_view input, std::vector<std::string> messages);

}  // namespace tabulex::cli
