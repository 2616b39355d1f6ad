// Converter services made of the portable stand-ins.
#pragma once

#include <memory>

#include "converter/driver/Components.h"

namespace tabulex::components {

// Stand-in variable-file and error-text components with the given user interface and engine
// (an engine that reports it cannot start when null).
ConverterServices StandInServices(std::shared_ptr<UserInterface> ui,
                                  std::shared_ptr<SpreadsheetEngine> engine = nullptr);

}  // namespace tabulex::components
