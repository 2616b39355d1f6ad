// The workbook engine of this build, with the engine's own account of its last failure.
#pragma once

#include <memory>
#include <string>

#include "converter/driver/Components.h"

namespace tabulex::components {

class WorkbookEngine : public SpreadsheetEngine {
 public:
  // Why the last operation failed, in the engine's words (for example why a workbook could not
  // be loaded); empty after a success.
  virtual std::string LastFailure() const = 0;
};

// An engine that starts nothing until the first workbook operation, and is meant to be shared
// by every conversion of a process: LibreOffice where the build found its SDK, otherwise one
// that reports it cannot be started.
std::shared_ptr<WorkbookEngine> MakeWorkbookEngine();

// Whether this build has a real workbook engine.
bool HasWorkbookEngine();

}  // namespace tabulex::components
