// Options and output of the `tabulex` command.
#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/Batch.h"
#include "cli/CliUserInterface.h"
#include "cli/ShowCommand.h"
#include "cli/Version.h"
#include "components/StandInServices.h"
#include "components/WorkbookEngine.h"
#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/CString.h"
#include "converter/model/Spreadsheet.h"
#include "converter/platform/FileProblems.h"

namespace tabulex::cli {

namespace {

struct TypeName {
  std::string_view name;
  int type;
};

constexpr TypeName kTypeNames[] = {
    {"xls", ZQ_EXCEL},         {"txt", ZQ_TAB_TEXT},   {"5xv", ZQ_TABULEX_52P},
    {"68y", ZQ_TABULEX_68},    {"7xy", ZQ_TABULEX_74}, {"r2y", ZQ_TABULEX_RB200},
    {"none", ZQ_TABULEX_NULL}, {"xlsx", ZQ_EXCEL},     {"ods", ZQ_EXCEL},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::size_t LastSeparator(std::string_view path) {
  return path.find_last_of("/\\");
}

// Flushes what was printed on the standard output; a failure there (a full disk, a closed pipe)
// fails the command, since its output is its result.
int Flushed(std::ostream& out, std::ostream& err, int status) {
  out.flush();
  if (out) return status;
  err << "tabulex: writing the standard output failed\n";
  return kExitFailure;
}

struct Options {
  std::string input;
  std::vector<std::string> inputs;
  bool recursive = false;
  std::string to;
  std::string from;
  std::string outDir;
  std::string name;
  std::string sheet;
  bool overwrite = false;
  bool skipExisting = false;
  bool ask = false;
  bool trace = false;
  std::string encoding = "auto";
  std::string showFormat = "grid";
  bool formulas = false;
  int width = 0;
};

// The grid's width when neither --width nor a terminal gives one.
constexpr int kDefaultWidth = 80;
constexpr int kMaxWidth = 100000;

// Whether `input` is a file that can be read but whose extension names no type, so that the
// command needs --from; a folder or a missing file fails on its own account.
bool UntypedFile(const std::string& input) {
  return !TypeFromExtension(input) && !platform::ReadProblem(input);
}

std::optional<int> ResolveFrom(const std::string& from, const std::string& input,
                               std::ostream& err) {
  std::optional<int> type = from.empty() ? TypeFromExtension(input) : TypeFromName(from);
  if (type) return type;
  // A folder or a missing file has no type to tell: say what is wrong with it instead.
  if (std::optional<std::string> unreadable = from.empty() ? CannotRead(input) : std::nullopt) {
    err << "tabulex: " << input << ": " << *unreadable << "\n";
  } else {
    err << "tabulex: cannot tell the type of " << (from.empty() ? input : from)
        << "; give it with --from\n";
  }
  return type;
}

using Engine = std::shared_ptr<components::WorkbookEngine>;

void PrintLines(const std::vector<std::string>& lines, std::ostream& err) {
  for (const std::string& line : lines) err << line << "\n";
  err.flush();
}

OverwritePolicy PolicyOf(const Options& o) {
  return o.overwrite      ? OverwritePolicy::kOverwrite
         : o.skipExisting ? OverwritePolicy::kSkip
         : o.ask          ? OverwritePolicy::kAsk
                          : OverwritePolicy::kDefault;
}

int RunConvert(const Options& o, const Engine& engine, std::istream& in, std::ostream& out,
               std::ostream& err, const Environment& environment) {
  const std::optional<int> to = TypeFromName(o.to);
  if (!to) {
    err << "tabulex: unknown target type " << o.to << "\n";
    return kExitUsage;
  }
  const ExpandedInputs expanded = ExpandInputs(o.inputs, o.recursive, *to);
  const std::vector<std::string>& files = expanded.files;
  for (const std::string& folder : expanded.emptyFolders) {
    err << "tabulex: " << folder << ": no file in it or below can be converted to ." << o.to
        << "; files already ." << o.to << " are left out\n";
  }
  if (files.size() > 1 && !o.name.empty()) {
    err << "tabulex: --name names one output, so it cannot be used with several inputs\n";
    return kExitUsage;
  }
  ConvertSettings settings;
  settings.to = *to;
  if (!o.from.empty()) {
    settings.from = ResolveFrom(o.from, o.from, err);
    if (!settings.from) return kExitUsage;
  } else if (o.inputs.size() == 1 && !o.recursive && UntypedFile(o.inputs[0])) {
    ResolveFrom(o.from, o.inputs[0], err);
    return kExitUsage;
  }
  settings.outDir = o.outDir.empty() ? std::string() : WithSeparator(o.outDir);
  settings.name = o.name;
  settings.sheet = o.sheet;
  settings.policy = PolicyOf(o);
  settings.encoding = *EncodingFromName(o.encoding);
  settings.interactive = environment.stdinIsTerminal;
  settings.trace = o.trace;
  settings.engine = engine;
  settings.workbookExtension = WorkbookExtension(o.to);
  return Flushed(out, err,
                 ConvertAll(settings, files, {in, out, err, environment.stderrIsTerminal}));
}

void PrintCells(const Spreadsheet& sheet, std::ostream& out) {
  const SheetHeader* header = sheet.Header();
  out << "sheet\t" << (header ? header->source : 0) << "\t"
      << (header && header->name ? Escape(*header->name) : std::string()) << "\n";
  if (!sheet.Cells()) return;
  for (const CellListNode* n = sheet.Cells()->Head(); n; n = n->next) {
    const CellData* r = n->cell->Record();
    if (!r) continue;
    std::string_view value = r->value ? std::string_view(*r->value) : std::string_view();
    value = UpToNul(value);
    out << r->row << "\t" << r->column << "\t" << r->type << "\t" << Escape(value) << "\t"
        << (r->formula ? Escape(*r->formula) : std::string()) << "\n";
  }
}

// Reads the source for a listing; nothing, after saying why on stderr, when it cannot be read.
std::optional<LoadedSource> Load(const Options& o, const Engine& engine, std::istream& in,
                                 std::ostream& err) {
  const std::optional<int> from = ResolveFrom(o.from, o.input, err);
  if (!from) return std::nullopt;
  auto ui = std::make_shared<CliUserInterface>(OverwritePolicy::kSkip, false, in, err);
  ConverterServices services = CommandServices(ui, o.trace, engine, err);
  TextCodec codec(*EncodingFromName(o.encoding));
  codec.Install(services);
  Converter converter(std::move(services));
  std::string noSheet;
  const std::optional<std::string> sheet =
      SheetToRead(converter, *engine, o.input, *from, o.sheet, noSheet);
  if (!sheet) {
    err << "tabulex: " << (noSheet.empty() ? "cannot list the sheets of " + o.input : noSheet)
        << "\n";
    return std::nullopt;
  }
  LoadedSource loaded = converter.ReadSource(o.input, *from, *sheet, StemOf(o.input));
  const std::vector<std::string> lines = MessageLines(o.input, ui->TakeMessages());
  if (loaded.Result() != kOk || !loaded.Sheet()) {
    const std::string engineLine = *from == ZQ_EXCEL ? EngineFailureLine(*engine, o.input) : "";
    if (!engineLine.empty()) err << engineLine << "\n";
    if (std::optional<std::string> unreadable = CannotRead(o.input)) {
      err << "tabulex: " << o.input << ": " << *unreadable << "\n";
    } else if (lines.empty()) {
      err << "tabulex: " << o.input << ": reading failed\n";
    } else {
      PrintLines(lines, err);
    }
    return std::nullopt;
  }
  PrintLines(lines, err);
  if (codec.Replaced() > 0) err << ReplacedLine(o.input, codec.Replaced()) << "\n";
  return loaded;
}

int StatusOfLoad(const Options& o) {
  return o.from.empty() && UntypedFile(o.input) ? kExitUsage : kExitFailure;
}

int RunCells(const Options& o, const Engine& engine, std::istream& in, std::ostream& out,
             std::ostream& err) {
  std::optional<LoadedSource> loaded = Load(o, engine, in, err);
  if (!loaded) return StatusOfLoad(o);
  PrintCells(*loaded->Sheet(), out);
  return Flushed(out, err, kExitWritten);
}

int RunShow(const Options& o, const Engine& engine, std::istream& in, std::ostream& out,
            std::ostream& err, const Environment& environment) {
  std::optional<LoadedSource> loaded = Load(o, engine, in, err);
  if (!loaded) return StatusOfLoad(o);
  ShowOptions show;
  show.format = *ShowFormatFromName(o.showFormat);
  show.formulas = o.formulas;
  show.width = o.width > 0 ? o.width : environment.columns.value_or(kDefaultWidth);
  show.color = environment.stdoutIsTerminal && !environment.noColor;
  ShowSheet(*loaded->Sheet(), show, out);
  return Flushed(out, err, kExitWritten);
}

int RunSheets(const Options& o, const Engine& engine, std::istream& in, std::ostream& out,
              std::ostream& err) {
  if (std::optional<std::string> unreadable = CannotRead(o.input)) {
    err << "tabulex: " << o.input << ": " << *unreadable << "\n";
    return kExitFailure;
  }
  auto ui = std::make_shared<CliUserInterface>(OverwritePolicy::kSkip, false, in, err);
  Converter converter(CommandServices(ui, false, engine, err));
  std::vector<std::string> names;
  if (converter.GetExcelSheetNames(o.input, &names) != kOk) {
    const std::string engineLine = EngineFailureLine(*engine, o.input);
    if (!engineLine.empty()) err << engineLine << "\n";
    if (ui->Shown() == 0) err << "tabulex: cannot list the sheets of " << o.input << "\n";
    return kExitFailure;
  }
  for (const std::string& name : names) out << name << "\n";
  return Flushed(out, err, kExitWritten);
}

}  // namespace

std::optional<int> TypeFromName(std::string_view name) {
  const std::string lower = Lower(name);
  for (const TypeName& t : kTypeNames) {
    if (t.name == lower) return t.type;
  }
  return std::nullopt;
}

std::optional<int> TypeFromExtension(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return std::nullopt;
  }
  const std::string ext = Lower(path.substr(dot + 1));
  if (ext == "none") return std::nullopt;
  return TypeFromName(ext);
}

std::string Escape(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b <= 0x7E && b != '\\') {
      out.push_back(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", b);
      out += buffer;
    }
  }
  return out;
}

int RunCommandLine(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, const Environment& environment) {
  CLI::App app{"Converts spreadsheets between text, workbooks and calculator files."};
  app.set_version_flag("--version", std::string("tabulex ") + std::string(kVersion));
  app.require_subcommand(1);
  Options o;
  const std::string types = "xls, xlsx, ods, txt, 5xv, 68y, 7xy, r2y or none";

  CLI::App* convert = app.add_subcommand("convert", "Convert INPUT into a file of type TYPE");
  convert->add_option("INPUT", o.inputs, "The files to convert (folders with --recursive)")
      ->required();
  convert->add_flag("--recursive,-r", o.recursive, "Convert the files in INPUT folders and below");
  convert->add_option("--to", o.to, "Target type: " + types)->required();
  convert->add_option("--from", o.from, "Source type (default: from INPUT's extension)");
  convert->add_option("--out-dir", o.outDir, "Folder of the output (default: INPUT's folder)");
  convert->add_option("--name", o.name, "Internal name (default: INPUT's name)");
  convert->add_option("--sheet", o.sheet, "Worksheet of a workbook source (default: the first)");
  auto* overwrite = convert->add_flag("--overwrite", o.overwrite, "Replace an existing output");
  auto* skip = convert->add_flag("--skip-existing", o.skipExisting, "Keep an existing output");
  auto* ask = convert->add_flag("--ask", o.ask, "Ask before replacing an existing output");
  overwrite->excludes(skip)->excludes(ask);
  skip->excludes(ask);
  convert->add_flag("--trace", o.trace, "Write the progress traces to stderr");
  const std::string encodingHelp =
      "Encoding of text files: auto (UTF-16 or UTF-8 when the source is, else cp1252), utf-8, "
      "cp1252 or utf-16";
  const auto encodings = CLI::IsMember({"auto", "utf-8", "cp1252", "utf-16"});
  convert->add_option("--encoding", o.encoding, encodingHelp)->check(encodings);

  CLI::App* cells = app.add_subcommand("cells", "Print the intermediate model of FILE");
  cells->add_option("FILE", o.input, "The file to read")->required();
  cells->add_option("--from", o.from, "Source type (default: from FILE's extension)");
  cells->add_option("--sheet", o.sheet, "Worksheet of a workbook source");
  cells->add_option("--encoding", o.encoding, encodingHelp)->check(encodings);

  CLI::App* show = app.add_subcommand("show", "Show FILE as a sheet");
  show->add_option("FILE", o.input, "The file to show")->required();
  show->add_option("--format", o.showFormat, "grid (default), tsv or json")
      ->check(CLI::IsMember({"grid", "tsv", "json"}));
  show->add_flag("--formulas", o.formulas, "Show formula text instead of values");
  show->add_option("--width", o.width, "Columns the grid may take (default: the terminal's)")
      ->check(CLI::Range(1, kMaxWidth));
  show->add_option("--from", o.from, "Source type (default: from FILE's extension)");
  show->add_option("--sheet", o.sheet, "Worksheet of a workbook source");
  show->add_option("--encoding", o.encoding, encodingHelp)->check(encodings);

  CLI::App* sheets = app.add_subcommand("sheets", "List the worksheets of the workbook BOOK");
  sheets->add_option("BOOK", o.input, "The workbook (.xls, .xlsx or .ods)")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e, out, err);
    return status == 0 ? 0 : kExitUsage;
  }
  // One engine for the whole command, started by the first workbook operation and ended when the
  // command ends.
  const Engine engine = components::MakeWorkbookEngine();
  if (*sheets) return RunSheets(o, engine, in, out, err);
  if (*convert) return RunConvert(o, engine, in, out, err, environment);
  if (*show) return RunShow(o, engine, in, out, err, environment);
  return RunCells(o, engine, in, out, err);
}

}  // namespace tabulex::cli
