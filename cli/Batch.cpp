// Many conversions in a row, each on its own, and what came of them.
#include "cli/Batch.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <system_error>

#include "cli/CommandLine.h"

namespace tabulex::cli {

namespace {

namespace fs = std::filesystem;

// Files with a known source type in the folder tree, in name order.
std::vector<std::string> FilesUnder(const std::string& folder, int to) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string path = it->path().string();
    const std::optional<int> type = TypeFromExtension(path);
    if (type && *type != to) files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Tally {
  int written = 0;
  int skipped = 0;
  int failed = 0;
  bool cancelled = false;
  // "skipped FILE: reason" or "failed FILE: reason", in order.
  std::vector<std::string> notes;
};

void Count(Tally& tally, const std::string& file, const FileOutcome& outcome) {
  switch (outcome.status) {
    case kExitWritten:
      ++tally.written;
      return;
    case kExitSkipped:
      ++tally.skipped;
      tally.notes.push_back("skipped " + file + ": " + outcome.reason);
      return;
    case kExitCancelled:
      tally.cancelled = true;
      tally.notes.push_back("cancelled at " + file);
      return;
    default:
      ++tally.failed;
      tally.notes.push_back("failed " + file + ": " + outcome.reason);
  }
}

void PrintSummary(const Tally& tally, std::size_t total, std::ostream& err) {
  const std::size_t left =
      total - static_cast<std::size_t>(tally.written + tally.skipped + tally.failed);
  err << "tabulex: " << total << " files: " << tally.written << " written, " << tally.skipped
      << " skipped, " << tally.failed << " failed";
  if (tally.cancelled) err << ", " << left << " not converted after a cancel";
  err << "\n";
  for (const std::string& note : tally.notes) err << "  " << note << "\n";
}

int StatusOf(const Tally& tally) {
  if (tally.failed > 0) return kExitFailure;
  if (tally.cancelled) return kExitCancelled;
  if (tally.skipped > 0) return kExitSkipped;
  return kExitWritten;
}

// "[2/3] name" on one terminal line, rewritten for each file.
void ShowProgress(std::size_t n, std::size_t total, const std::string& file, std::ostream& err) {
  err << "\r\x1b[K[" << n << "/" << total << "] " << file;
  err.flush();
}

void ClearProgress(std::ostream& err) {
  err << "\r\x1b[K";
  err.flush();
}

FileOutcome ConvertOne(const ConvertSettings& settings, const std::string& file,
                       const BatchStreams& streams) {
  std::error_code ec;
  if (!fs::is_directory(fs::path(file), ec)) {
    return ConvertFile(settings, file, streams.in, streams.err);
  }
  FileOutcome outcome;
  outcome.reason = "is a folder; give --recursive to convert the files in it";
  outcome.lines.push_back("tabulex: " + file + ": " + outcome.reason);
  return outcome;
}

}  // namespace

ExpandedInputs ExpandInputs(const std::vector<std::string>& inputs, bool recursive, int to) {
  ExpandedInputs expanded;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (recursive && fs::is_directory(fs::path(input), ec)) {
      std::vector<std::string> found = FilesUnder(input, to);
      if (found.empty()) expanded.emptyFolders.push_back(input);
      expanded.files.insert(expanded.files.end(), found.begin(), found.end());
    } else {
      expanded.files.push_back(input);
    }
  }
  return expanded;
}

int ConvertAll(const ConvertSettings& settings, const std::vector<std::string>& files,
               const BatchStreams& streams) {
  Tally tally;
  std::set<std::string> written;
  ConvertSettings each = settings;
  each.written = &written;
  std::string lastReason;
  for (std::size_t i = 0; i < files.size() && !tally.cancelled; ++i) {
    if (streams.progress && files.size() > 1)
      ShowProgress(i + 1, files.size(), files[i], streams.err);
    const FileOutcome outcome = ConvertOne(each, files[i], streams);
    if (streams.progress && files.size() > 1) ClearProgress(streams.err);
    for (const std::string& line : outcome.lines) streams.err << line << "\n";
    if (!outcome.written.empty()) {
      streams.out << outcome.written << "\n";
      written.insert(outcome.written);
    }
    Count(tally, files[i], outcome);
    lastReason = outcome.reason;
  }
  if (files.size() > 1) {
    PrintSummary(tally, files.size(), streams.err);
  } else if (tally.skipped == 1) {
    // One file has no summary, and a kept output would otherwise pass without a word.
    streams.err << "tabulex: " << files.front() << ": " << lastReason << "\n";
  }
  streams.out.flush();
  streams.err.flush();
  return StatusOf(tally);
}

}  // namespace tabulex::cli
