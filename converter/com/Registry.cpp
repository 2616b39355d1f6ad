// Writing and removing the registry rows of a server.
#include "converter/com/Registry.h"

namespace tabulex::com {

namespace {

constexpr std::string_view kModuleToken = "%MODULE%";

std::string Expand(std::string_view value, const std::string& modulePath) {
  std::string out(value);
  for (std::size_t at = out.find(kModuleToken); at != std::string::npos;
       at = out.find(kModuleToken, at + modulePath.size())) {
    out.replace(at, kModuleToken.size(), modulePath);
  }
  return out;
}

HRESULT WriteRow(const RegistryRow& row, const std::string& modulePath) {
  HKEY key = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, std::string(row.key).c_str(), 0, nullptr, 0,
                                KEY_WRITE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  const std::string value = Expand(row.value, modulePath);
  const std::string name(row.valueName);
  status = RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT WriteRegistryRows(std::span<const RegistryRow> rows, const std::string& modulePath) {
  for (const RegistryRow& row : rows) {
    if (HRESULT hr = WriteRow(row, modulePath); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT DeleteRegistryKeys(std::span<const std::string_view> keys) {
  HRESULT result = S_OK;
  for (std::string_view key : keys) {
    const LONG status = RegDeleteTreeA(HKEY_CLASSES_ROOT, std::string(key).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && SUCCEEDED(result)) {
      result = HRESULT_FROM_WIN32(status);
    }
  }
  return result;
}

}  // namespace tabulex::com
