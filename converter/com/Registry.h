// Registry entries of our servers as tables of rows under HKEY_CLASSES_ROOT.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

namespace tabulex::com {

// One value: an empty value name is the key's default value. "%MODULE%" in a value stands for
// the server's full path.
struct RegistryRow {
  std::string_view key;
  std::string_view valueName;
  std::string_view value;
};

// Writes every row, creating the keys on the way.
HRESULT WriteRegistryRows(std::span<const RegistryRow> rows, const std::string& modulePath);

// Removes each key with everything below it; a key that does not exist is no failure.
HRESULT DeleteRegistryKeys(std::span<const std::string_view> keys);

}  // namespace tabulex::com
