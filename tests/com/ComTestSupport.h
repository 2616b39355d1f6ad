// Support for the tests of our COM servers under Wine: the servers' paths, the registry, and
// unregistering a server for a while.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/WineServers.h"

namespace tabulex::testing {

inline constexpr const char* kConverterDll = "TabulexConverter.dll";
inline constexpr const char* kVarFileDll = "VarFileStandIn.dll";
inline constexpr const char* kErrorTextDll = "ErrorTextStandIn.dll";
inline constexpr const char* kDeviceLinkDll = "DeviceLinkStandIn.dll";
// The caption Windows gives a message box that has none.
inline constexpr const char* kDefaultCaption = "Error";

// The full path of a server built beside the test program.
inline std::string ServerPath(const char* dll) {
  char buffer[MAX_PATH];
  const std::string program(buffer, GetModuleFileNameA(nullptr, buffer, MAX_PATH));
  return program.substr(0, program.find_last_of("\\/") + 1) + dll;
}

// A registry value; nothing when the key or value is missing or of another type. An empty
// name stands for the key's default value.
inline std::optional<std::string> StringValue(HKEY root, const std::string& key,
                                              const std::string& name = "") {
  char buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr,
                   buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}
inline std::optional<DWORD> NumberValue(HKEY root, const std::string& key,
                                        const std::string& name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}
inline std::optional<std::string> ClassesValue(const std::string& key,
                                               const std::string& name = "") {
  return StringValue(HKEY_CLASSES_ROOT, key, name);
}
inline bool ClassesKeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

inline void SetString(HKEY root, const std::string& key, const std::string& name,
                      const std::string& value) {
  RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}
// Deletes a key with everything below it.
inline void DeleteKey(HKEY root, const std::string& key) {
  RegDeleteTreeA(root, key.c_str());
  RegDeleteKeyA(root, key.c_str());
}

// Unregisters a server for the lifetime of the object and registers it again afterwards.
class Unregistered {
 public:
  explicit Unregistered(const char* dll) : dll_(dll) {
    EXPECT_EQ(RegisterServer(ServerPath(dll_), true), 0) << dll_;
  }
  ~Unregistered() { EXPECT_EQ(RegisterServer(ServerPath(dll_)), 0) << dll_; }
  Unregistered(const Unregistered&) = delete;
  Unregistered& operator=(const Unregistered&) = delete;

 private:
  const char* dll_;
};

// Releases an interface pointer at the end of a scope.
template <typename T>
struct Releaser {
  T* p = nullptr;
  Releaser() = default;
  Releaser(const Releaser&) = delete;
  Releaser& operator=(const Releaser&) = delete;
  ~Releaser() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

}  // namespace tabulex::testing
