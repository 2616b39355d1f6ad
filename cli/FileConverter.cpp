// One conversion of the `convert` command and the lines it leaves on stderr.
#include "cli/FileConverter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

#include "cli/CommandLine.h"
#include "components/ErrorTextStandIn.h"
#include "components/StandInServices.h"
#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/driver/Messages.h"
#include "converter/model/CString.h"
#include "converter/platform/FileProblems.h"
#include "converter/platform/Files.h"

namespace tabulex::cli {

namespace {

constexpr int kLettersInAlphabet = 26;

// Cells a calculator target left out because it cannot hold their positions, or cut because it
// cannot hold all of their text: how many, and the first.
struct CountedCells {
  long count = 0;
  int firstRow = 0;
  int firstColumn = 0;

  void Add(int row, int column) {
    if (count++ == 0) {
      firstRow = row;
      firstColumn = column;
    }
  }
};

std::string Hex(long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(value) & 0xFFFFFFFFul);
  return buffer;
}

std::string LeftOutLine(std::string_view input, const CountedCells& cells, int to) {
  const std::string_view limit = to == ZQ_TABULEX_52P ? "column Z" : "column 64";
  const bool one = cells.count == 1;
  return "tabulex: " + std::string(input) + ": " + messages::GroupedDigits(cells.count) +
         (one ? " cell" : " cells") + " beyond row 999 or " + std::string(limit) +
         (one ? " was" : " were") + " left out, first at " +
         CellReference(cells.firstRow, cells.firstColumn);
}

// One line of a message's text: line breaks become blanks.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!line.empty() && line.back() != ' ') line.push_back(' ');
      continue;
    }
    line.push_back(c);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

std::optional<std::string> CannotRead(const std::string& input) {
  const std::optional<std::string> problem = platform::ReadProblem(input);
  if (!problem) return std::nullopt;
  return "cannot read " + input + ": " + *problem;
}

namespace {

// Why a failed conversion failed, from the paths it touched; nothing when they look fine.
std::optional<std::string> Diagnose(const std::string& input, const std::string& outFolder) {
  if (std::optional<std::string> unreadable = CannotRead(input)) return unreadable;
  if (std::optional<std::string> problem = platform::WriteProblem(outFolder)) {
    return "cannot write into " + outFolder + ": " + *problem;
  }
  return std::nullopt;
}

// The texts of message lines after their "tabulex: FILE: " part, in one line.
std::string JoinedTexts(const std::vector<std::string>& lines, std::string_view input) {
  const std::size_t prefix = std::string_view("tabulex: ").size() + input.size() + 2;
  std::string joined;
  for (const std::string& line : lines) {
    if (!joined.empty()) joined += " ";
    joined += line.substr(prefix);
  }
  return joined;
}

bool WriteFailed(const std::vector<std::string>& messages) {
  const std::string text = components::ErrorTextFor(ERR_WRITE_FAILED);
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

std::string TypeOrExtension(int type) {
  const std::string_view ext = ExtensionOf(type);
  return ext.empty() ? std::string("none") : std::string(ext.substr(1));
}

}  // namespace

ConverterServices CommandServices(std::shared_ptr<CliUserInterface> ui, bool trace,
                                  std::shared_ptr<components::WorkbookEngine> engine,
                                  std::ostream& err) {
  ConverterServices services = components::StandInServices(std::move(ui), std::move(engine));
  services.warning = [&err](std::string_view text) { err << "tabulex: warning: " << text << "\n"; };
  if (trace) {
    services.trace = [&err](std::string_view text) {
      err << text;
      err.flush();
    };
  }
  return services;
}

std::string WorkbookExtension(std::string_view type) {
  std::string lower(type);
  AsciiToLower(lower);
  return lower == "xlsx" || lower == "ods" ? "." + lower : std::string(".xls");
}

namespace {

// The engine's reason, starting with the name of the file it concerns; empty when it gives none.
std::string EngineReason(const components::WorkbookEngine& engine, std::string_view input) {
  const std::string reason = OneLine(engine.LastFailure());
  // Most reasons start with the path they concern; the others get the input's name in front.
  if (reason.empty() ||
      (reason.starts_with(input) && reason.substr(input.size()).starts_with(": "))) {
    return reason;
  }
  return std::string(input) + ": " + reason;
}

}  // namespace

std::string EngineFailureLine(const components::WorkbookEngine& engine, std::string_view input) {
  const std::string reason = EngineReason(engine, input);
  return reason.empty() ? reason : "tabulex: " + reason;
}

std::optional<std::string> SheetToRead(Converter& converter,
                                       const components::WorkbookEngine& engine,
                                       const std::string& input, int from, const std::string& sheet,
                                       std::string& why) {
  if (from != ZQ_EXCEL) return sheet;
  // Seen before the office is started for it, which takes seconds.
  if (std::optional<std::string> unreadable = CannotRead(input)) {
    why = input + ": " + *unreadable;
    return std::nullopt;
  }
  if (!sheet.empty()) return sheet;
  std::vector<std::string> names;
  if (converter.GetExcelSheetNames(input, &names) != kOk) {
    why = EngineReason(engine, input);
    return std::nullopt;
  }
  if (names.empty()) {
    why = input + " has no worksheet";
    return std::nullopt;
  }
  return names.front();
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

std::string StemOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::string WithSeparator(std::string folder) {
  if (folder.empty()) return "./";
  if (folder.back() != '/' && folder.back() != '\\') folder.push_back('/');
  return folder;
}

std::string CellReference(int row, int column) {
  if (row < 1 || column < 1) return "R" + std::to_string(row) + "C" + std::to_string(column);
  std::string letters;
  for (int c = column; c > 0; c = (c - 1) / kLettersInAlphabet) {
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % kLettersInAlphabet));
  }
  return letters + std::to_string(row);
}

std::string CutLine(std::string_view input, const CountedCells& cells) {
  const bool one = cells.count == 1;
  return "tabulex: " + std::string(input) + ": " + messages::GroupedDigits(cells.count) +
         (one ? " cell had" : " cells had") + " more text than the calculator keeps and " +
         (one ? "was" : "were") + " cut, first at " +
         CellReference(cells.firstRow, cells.firstColumn) + "; a cut formula will not work";
}

std::string ReplacedLine(std::string_view input, std::size_t replaced) {
  const bool one = replaced == 1;
  return "tabulex: " + std::string(input) + ": " + messages::GroupedDigits(replaced) +
         (one ? " character has" : " characters have") +
         " no equivalent in the other text encoding and became \"?\"";
}

std::vector<std::string> MessageLines(std::string_view input, std::vector<std::string> messages) {
  // When the engine did not start or failed, it wrote no text, so the "too small" that follows
  // says nothing about the file.
  const auto said = [&messages](std::uint32_t code) {
    return std::find(messages.begin(), messages.end(), components::ErrorTextFor(code)) !=
           messages.end();
  };
  if (said(ERR_EXCEL_NOT_STARTED) || said(ERR_EXCEL_FAILED)) {
    const std::string tooSmall = components::ErrorTextFor(ERR_SOURCE_TOO_SMALL);
    std::erase(messages, tooSmall);
  }
  // The driver names the file itself in messages about the file's own content; the line names it
  // once.
  const std::string prefix = "tabulex: " + std::string(input) + ": ";
  std::vector<std::string> lines;
  for (const std::string& m : messages) {
    std::string_view text = m;
    if (text.starts_with(input) && text.substr(input.size()).starts_with(": ")) {
      text.remove_prefix(input.size() + 2);
    }
    lines.push_back(prefix + OneLine(text));
  }
  return lines;
}

namespace {

// Why an output was not written when the overwrite question was answered No.
std::string SkipReason(const CliUserInterface& ui, const ConvertSettings& settings,
                       const std::string& input) {
  const std::optional<std::string>& prompted = ui.Prompted();
  if (prompted && settings.written && settings.written->contains(*prompted)) {
    return "another input of this command was written to " + *prompted;
  }
  std::error_code ec;
  if (prompted && std::filesystem::equivalent(*prompted, input, ec)) {
    return "the output would replace the source itself; give another --name or --out-dir";
  }
  return "an output exists already and was kept; give --overwrite to replace it";
}

}  // namespace

FileOutcome ConvertFile(const ConvertSettings& settings, const std::string& input, std::istream& in,
                        std::ostream& err) {
  FileOutcome outcome;
  const std::optional<int> from = settings.from ? settings.from : TypeFromExtension(input);
  if (!from) {
    outcome.reason = CannotRead(input).value_or("cannot tell its type; give it with --from");
    outcome.lines.push_back("tabulex: " + input + ": " + outcome.reason);
    return outcome;
  }
  auto ui = std::make_shared<CliUserInterface>(settings.policy, settings.interactive, in, err);
  ui->KeepOutputs(settings.written);
  ConverterServices services = CommandServices(ui, settings.trace, settings.engine, err);
  services.workbookExtension = settings.workbookExtension;
  CountedCells leftOut;
  services.cellLeftOut = [&leftOut](int row, int column) { leftOut.Add(row, column); };
  CountedCells cut;
  services.cellCut = [&cut](int row, int column) { cut.Add(row, column); };
  TextCodec codec(settings.encoding);
  codec.Install(services);
  Converter converter(std::move(services));
  const std::string outDir = settings.outDir.empty() ? platform::FolderOf(input) : settings.outDir;
  const std::string name = settings.name.empty() ? StemOf(input) : settings.name;
  std::string noSheet;
  const std::optional<std::string> sheet =
      SheetToRead(converter, *settings.engine, input, *from, settings.sheet, noSheet);
  if (!sheet) {
    outcome.reason = noSheet.empty() ? "cannot list the sheets of " + input : noSheet;
    outcome.lines.push_back("tabulex: " + (noSheet.empty() ? input + ": " : "") + outcome.reason);
    return outcome;
  }
  const HResult result = converter.Convert(input, *from, *sheet, outDir, name, settings.to, 0);
  outcome.status = ExitStatusOf(result);
  const std::vector<std::string> messages = ui->TakeMessages();
  std::vector<std::string> lines = MessageLines(input, messages);
  if (result < 0) {
    std::string texts = JoinedTexts(lines, input);
    // The engine's reason is not a message of the driver: it may not start with the file's name.
    if (*from == ZQ_EXCEL || settings.to == ZQ_EXCEL) {
      const std::string engineReason = settings.engine->LastFailure();
      if (!engineReason.empty()) texts += (texts.empty() ? "" : " ") + OneLine(engineReason);
    }
    // A name may hold subfolders, so the folder written into is the name's own.
    const std::string folder = platform::FolderOf(outDir + name);
    std::optional<std::string> why = Diagnose(input, folder);
    if (!why && WriteFailed(messages)) why = "cannot write into " + folder + ": " + texts;
    if (!why && texts.empty()) {
      why =
          "converting to " + TypeOrExtension(settings.to) + " failed (result " + Hex(result) + ")";
    }
    outcome.reason = why ? *why : texts;
    outcome.lines.push_back("tabulex: " + input + ": " + outcome.reason);
    return outcome;
  }
  outcome.lines = std::move(lines);
  if (leftOut.count > 0) outcome.lines.push_back(LeftOutLine(input, leftOut, settings.to));
  if (cut.count > 0) outcome.lines.push_back(CutLine(input, cut));
  if (codec.Replaced() > 0) outcome.lines.push_back(ReplacedLine(input, codec.Replaced()));
  if (result == kOk) converter.GetTheFileName(&outcome.written);
  if (result == CONVERT_SKIPPED) outcome.reason = SkipReason(*ui, settings, input);
  if (result == CONVERT_CANCELLED) outcome.reason = "cancelled";
  return outcome;
}

}  // namespace tabulex::cli
