// Registration and registry reads of the COM tests.
#include "tests/com/ComTestSupport.h"

#include <gtest/gtest.h>

#include "tests/support/WineServers.h"

namespace tabulex::testing {

std::string ServerPath(const char* dll) {
  char buffer[MAX_PATH];
  const std::string program(buffer, GetModuleFileNameA(nullptr, buffer, MAX_PATH));
  return program.substr(0, program.find_last_of("\\/") + 1) + dll;
}

std::optional<std::string> StringValue(HKEY root, const std::string& key, const std::string& name) {
  char buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr,
                   buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

std::optional<DWORD> NumberValue(HKEY root, const std::string& key, const std::string& name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void SetString(HKEY root, const std::string& key, const std::string& name,
               const std::string& value) {
  RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

void DeleteKey(HKEY root, const std::string& key) {
  RegDeleteTreeA(root, key.c_str());
  RegDeleteKeyA(root, key.c_str());
}

bool ClassesKeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

Unregistered::Unregistered(const char* dll) : dll_(dll) {
  EXPECT_EQ(RegisterServer(ServerPath(dll_), true), 0) << dll_;
}

Unregistered::~Unregistered() {
  EXPECT_EQ(RegisterServer(ServerPath(dll_)), 0) << dll_;
}

}  // namespace tabulex::testing
