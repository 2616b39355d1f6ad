// Support for the tests of our COM servers under Wine: the servers' paths, the registry, and
// unregistering a server for a while.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tabulex::testing {

inline constexpr const char* kConverterDll = "TabulexConverter.dll";
inline constexpr const char* kVarFileDll = "VarFileStandIn.dll";
inline constexpr const char* kErrorTextDll = "ErrorTextStandIn.dll";
inline constexpr const char* kDeviceLinkDll = "DeviceLinkStandIn.dll";

// The full path of a server built beside the test program.
std::string ServerPath(const char* dll);

// A registry value; nothing when the key or value is missing or of another type. An empty
// name stands for the key's default value.
std::optional<std::string> StringValue(HKEY root, const std::string& key, const std::string& name);
std::optional<DWORD> NumberValue(HKEY root, const std::string& key, const std::string& name);
void SetString(HKEY root, const std::string& key, const std::string& name,
               const std::string& value);
// Deletes a key with everything below it.
void DeleteKey(HKEY root, const std::string& key);

inline std::optional<std::string> ClassesValue(const std::string& key,
                                               const std::string& name = "") {
  return StringValue(HKEY_CLASSES_ROOT, key, name);
}
bool ClassesKeyExists(const std::string& key);

// Unregisters a server for the lifetime of the object and registers it again afterwards.
class Unregistered {
 public:
  explicit Unregistered(const char* dll);
  ~Unregistered();
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

// The caption Windows gives a message box that has none.
inline constexpr const char* kDefaultCaption = "Error";

}  // namespace tabulex::testing
