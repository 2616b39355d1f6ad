// The driver's variable-file and error-text components over the maker's COM servers.
#pragma once

#include <memory>

#include "converter/driver/Components.h"

namespace tabulex::win32 {

// Creates the variable-file component with every server context allowed, runs it and asks it
// for IVarFileData; null when any step fails.
std::unique_ptr<IVarFileData> CreateComVarFile();

// Creates the error-text component in-process; null when it cannot be created.
std::unique_ptr<IErrorText> CreateComErrorText();

}  // namespace tabulex::win32
