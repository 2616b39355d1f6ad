// The converter's string table read from a module's STRINGTABLE resource.
#pragma once

#include <windows.h>

#include "converter/driver/Components.h"

namespace tabulex::win32 {

class ResourceStrings : public StringTable {
 public:
  explicit ResourceStrings(HMODULE module) : module_(module) {}
  std::optional<std::string> Load(unsigned id) override;

 private:
  HMODULE module_;
};

}  // namespace tabulex::win32
