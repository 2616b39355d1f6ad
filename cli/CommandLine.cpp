// Options and output of the `tabulex` command.
#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/CliUserInterface.h"
#include "components/StandInServices.h"
#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/Spreadsheet.h"

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

std::string FolderOf(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string_view::npos ? std::string("./")
                                         : std::string(path.substr(0, slash + 1));
}

std::string StemOf(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::string WithSeparator(std::string folder) {
  if (folder.empty()) return "./";
  if (folder.back() != '/' && folder.back() != '\\') folder.push_back('/');
  return folder;
}

std::string Hex(long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(value) & 0xFFFFFFFFul);
  return buffer;
}

// Flushes what was printed on the standard output; a failure there (a full disk, a closed pipe)
// fails the command, since its output is its result.
int Flushed(std::ostream& out, std::ostream& err, int status) {
  out.flush();
  if (out) return status;
  err << "tabulex: writing the standard output failed\n";
  return kExitFailure;
}

int ExitStatusOf(HResult result) {
  switch (result) {
    case kOk:
      return kExitWritten;
    case CONVERT_SKIPPED:
      return kExitSkipped;
    case CONVERT_CANCELLED:
      return kExitCancelled;
    default:
      return kExitFailure;
  }
}

struct Options {
  std::string input;
  std::string to;
  std::string from;
  std::string outDir;
  std::string name;
  std::string sheet;
  bool overwrite = false;
  bool skipExisting = false;
  bool ask = false;
  bool trace = false;
};

ConverterServices MakeServices(std::shared_ptr<CliUserInterface> ui, bool trace,
                               std::ostream& err) {
  ConverterServices services = components::StandInServices(ui);
  if (trace) {
    services.trace = [&err](std::string_view text) {
      err << text;
      err.flush();
    };
  }
  return services;
}

std::optional<int> ResolveFrom(const std::string& from, const std::string& input,
                               std::ostream& err) {
  std::optional<int> type = from.empty() ? TypeFromExtension(input) : TypeFromName(from);
  if (!type) {
    err << "tabulex: cannot tell the type of " << (from.empty() ? input : from)
        << "; give it with --from\n";
  }
  return type;
}

int RunConvert(const Options& o, std::istream& in, std::ostream& out, std::ostream& err,
               bool interactive) {
  const std::optional<int> to = TypeFromName(o.to);
  if (!to) {
    err << "tabulex: unknown target type " << o.to << "\n";
    return kExitUsage;
  }
  const std::optional<int> from = ResolveFrom(o.from, o.input, err);
  if (!from) return kExitUsage;
  OverwritePolicy policy = o.overwrite      ? OverwritePolicy::kOverwrite
                           : o.skipExisting ? OverwritePolicy::kSkip
                           : o.ask          ? OverwritePolicy::kAsk
                                            : OverwritePolicy::kDefault;
  auto ui = std::make_shared<CliUserInterface>(policy, interactive, in, err);
  Converter converter(MakeServices(ui, o.trace, err));
  const std::string outDir = o.outDir.empty() ? FolderOf(o.input) : WithSeparator(o.outDir);
  const std::string name = o.name.empty() ? StemOf(o.input) : o.name;
  const HResult result = converter.Convert(o.input, *from, o.sheet, outDir, name, *to, 0);
  if (result == kOk) {
    std::string written;
    converter.GetTheFileName(&written);
    if (!written.empty()) out << written << "\n";
    return Flushed(out, err, kExitWritten);
  } else if (result < 0 && ui->Shown() == 0) {
    err << "tabulex: converting " << o.input << " to " << o.to << " failed (result " << Hex(result)
        << ")\n";
  }
  return ExitStatusOf(result);
}

void PrintCells(const Spreadsheet& sheet, std::ostream& out) {
  const SheetHeader* header = sheet.Header();
  out << "sheet\t" << (header ? header->source : 0) << "\t"
      << (header && header->name ? Escape(*header->name) : std::string()) << "\n";
  if (!sheet.Cells()) return;
  for (const CellListNode* n = sheet.Cells()->Head(); n; n = n->next.get()) {
    const CellData* r = n->cell->Record();
    if (!r) continue;
    std::string_view value = r->value ? std::string_view(*r->value) : std::string_view();
    value = value.substr(0, value.find('\0'));
    out << r->row << "\t" << r->column << "\t" << r->type << "\t" << Escape(value) << "\t"
        << (r->formula ? Escape(*r->formula) : std::string()) << "\n";
  }
}

int RunCells(const Options& o, std::istream& in, std::ostream& out, std::ostream& err) {
  const std::optional<int> from = ResolveFrom(o.from, o.input, err);
  if (!from) return kExitUsage;
  auto ui = std::make_shared<CliUserInterface>(OverwritePolicy::kSkip, false, in, err);
  Converter converter(MakeServices(ui, o.trace, err));
  LoadedSource loaded = converter.ReadSource(o.input, *from, o.sheet, StemOf(o.input));
  if (loaded.Result() != kOk || !loaded.Sheet()) {
    if (ui->Shown() == 0) {
      err << "tabulex: reading " << o.input << " failed (result " << Hex(loaded.Result()) << ")\n";
    }
    return kExitFailure;
  }
  PrintCells(*loaded.Sheet(), out);
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
                   std::ostream& err, bool stdinIsTerminal) {
  CLI::App app{"Converts spreadsheets between text, workbooks and calculator files."};
  app.set_version_flag("--version", std::string("tabulex ") + "0.1.0");
  app.require_subcommand(1);
  Options o;
  const std::string types = "xls, txt, 5xv, 68y, 7xy, r2y or none";

  CLI::App* convert = app.add_subcommand("convert", "Convert INPUT into a file of type TYPE");
  convert->add_option("INPUT", o.input, "The file to convert")->required();
  convert->add_option("--to", o.to, "Target type: " + types)->required();
  convert->add_option("--from", o.from, "Source type (default: from INPUT's extension)");
  convert->add_option("--out-dir", o.outDir, "Folder of the output (default: INPUT's folder)");
  convert->add_option("--name", o.name, "Internal name (default: INPUT's name)");
  convert->add_option("--sheet", o.sheet, "Worksheet of a workbook source");
  auto* overwrite = convert->add_flag("--overwrite", o.overwrite, "Replace an existing output");
  auto* skip = convert->add_flag("--skip-existing", o.skipExisting, "Keep an existing output");
  auto* ask = convert->add_flag("--ask", o.ask, "Ask before replacing an existing output");
  overwrite->excludes(skip)->excludes(ask);
  skip->excludes(ask);
  convert->add_flag("--trace", o.trace, "Write the progress traces to stderr");

  CLI::App* cells = app.add_subcommand("cells", "Print the intermediate model of FILE");
  cells->add_option("FILE", o.input, "The file to read")->required();
  cells->add_option("--from", o.from, "Source type (default: from FILE's extension)");
  cells->add_option("--sheet", o.sheet, "Worksheet of a workbook source");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e, out, err);
    return status == 0 ? 0 : kExitUsage;
  }
  if (*convert) return RunConvert(o, in, out, err, stdinIsTerminal);
  return RunCells(o, in, out, err);
}

}  // namespace tabulex::cli
