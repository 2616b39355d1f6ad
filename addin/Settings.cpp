// The add-in's registry: values it reads, its setting, and its registration.
#include "addin/Settings.h"

#include <olectl.h>

#include "addin/Extensibility.h"

namespace tabulex::addin {
namespace {

constexpr DWORD kValueBufferChars = 1024;

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool SetString(HKEY root, const std::string& key, const char* name, const std::string& value) {
  return RegSetKeyValueA(root, key.c_str(), name, REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SetNumber(HKEY root, const std::string& key, const char* name, DWORD value) {
  return RegSetKeyValueA(root, key.c_str(), name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::string& key) {
  const LSTATUS status = RegDeleteTreeA(root, key.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
  RegDeleteKeyA(root, key.c_str());
  return true;
}

std::string ClassKey() {
  return std::string("CLSID\\") + kConnectClassIdText;
}

}  // namespace

// Opened for reading only: an ordinary user may read the machine-wide keys but not change them.
bool GetKeyValue(HKEY root, const std::string& key, const std::string& valueName,
                 std::string* value) {
  value->clear();
  Key opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.Out()) != ERROR_SUCCESS) {
    return false;
  }
  char buffer[kValueBufferChars];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (RegQueryValueExA(opened.Get(), valueName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  // The stored bytes may or may not end with a zero.
  std::string text(buffer, size);
  if (const std::size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  *value = std::move(text);
  return true;
}

std::string SettingsKey(const std::string& section) {
  return std::string("Software\\VB and VBA Program Settings\\") + kSettingsTitle + "\\" + section;
}

std::string GetSetting(const std::string& section, const std::string& name,
                       const std::string& fallback) {
  std::string value;
  return GetKeyValue(HKEY_CURRENT_USER, SettingsKey(section), name, &value) ? value : fallback;
}

bool SaveSetting(const std::string& section, const std::string& name, const std::string& value) {
  return SetString(HKEY_CURRENT_USER, SettingsKey(section), name.c_str(), value);
}

HRESULT RegisterAddin(const std::string& modulePath) {
  const std::string classKey = ClassKey();
  const std::string progId = kConnectProgId;
  DeleteTree(HKEY_CLASSES_ROOT, classKey);
  const bool ok =
      SetString(HKEY_CLASSES_ROOT, classKey, nullptr, "Connect Class") &&
      SetString(HKEY_CLASSES_ROOT, classKey + "\\ProgID", nullptr, progId) &&
      SetString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", nullptr, modulePath) &&
      SetString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", "ThreadingModel", "Apartment") &&
      SetString(HKEY_CLASSES_ROOT, progId, nullptr, "Connect Class") &&
      SetString(HKEY_CLASSES_ROOT, progId + "\\CLSID", nullptr, kConnectClassIdText) &&
      SetString(HKEY_CURRENT_USER, kUserAddinKey, "FriendlyName", kFriendlyName) &&
      SetString(HKEY_CURRENT_USER, kUserAddinKey, "Description", kDescription) &&
      SetNumber(HKEY_CURRENT_USER, kUserAddinKey, "LoadBehavior", kLoadAtStartup) &&
      SetNumber(HKEY_LOCAL_MACHINE, kMachineAddinKey, "LoadBehavior", kLoadAtStartup);
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterAddin() {
  const bool ok = DeleteTree(HKEY_CLASSES_ROOT, ClassKey()) &&
                  DeleteTree(HKEY_CLASSES_ROOT, kConnectProgId) &&
                  DeleteTree(HKEY_CURRENT_USER, kUserAddinKey) &&
                  DeleteTree(HKEY_LOCAL_MACHINE, kMachineAddinKey);
  return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace tabulex::addin
