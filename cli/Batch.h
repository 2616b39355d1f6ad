// Converting many files with one command: expanding folders, progress, summary, exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/FileConverter.h"

namespace tabulex::cli {

struct BatchStreams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // Whether stderr is a terminal: only then is a progress line written.
  bool progress = false;
};

struct ExpandedInputs {
  std::vector<std::string> files;
  // The input folders in which no file was found to convert, so that they can be named.
  std::vector<std::string> emptyFolders;
};

// The files to convert: each input as given, and with `recursive` every file in an input
// folder and its subfolders whose extension names a type other than `to`, in name order. A
// folder without `recursive` stays in the list and fails when it is converted.
ExpandedInputs ExpandInputs(const std::vector<std::string>& inputs, bool recursive, int to);

// Converts every file, going on after a failure; a cancel at the overwrite prompt stops the
// rest. Written paths go to `out`, one a line. With more than one file a summary follows on
// stderr. Returns 0 when all were written, 1 when any failed, 2 after a cancel, 3 when the only
// files not written were skipped.
int ConvertAll(const ConvertSettings& settings, const std::vector<std::string>& files,
               const BatchStreams& streams);

}  // namespace tabulex::cli
