// The add-in's registry: the values it reads, its one persisted setting, and its own
// registration as a COM class and as an add-in of the host.
#pragma once

#include <windows.h>

#include <string>

namespace tabulex::addin {

// The default value of a key is read with an empty value name.
inline constexpr char kProductKey[] = "Software\\Korvane\\ZQ Tabulex Converter";
inline constexpr char kConvertedFilesKey[] =
    "Software\\Korvane\\ZQ Tabulex Converter\\Default Directory\\ConvertedFiles";
inline constexpr char kUserDataKey[] =
    "Software\\Korvane\\ZQ Tabulex Converter\\Default Directory\\UserDatapath";
inline constexpr char kLinkUserDataKey[] =
    "Software\\Korvane\\ZQ Linkdesk\\Default Directory\\UserDatapath";

// The string value `valueName` of `root`\`key`. On any failure the value is empty and the
// result false; the key is always closed again.
bool GetKeyValue(HKEY root, const std::string& key, const std::string& valueName,
                 std::string* value);

// The per-user settings of the add-in, stored under its title as the host's scripting
// runtime stores application settings.
inline constexpr char kSettingsTitle[] = "Ledgerlink";
inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kDisplayOnConnect[] = "DisplayOnConnect";
std::string SettingsKey(const std::string& section);
std::string GetSetting(const std::string& section, const std::string& name,
                       const std::string& fallback);
bool SaveSetting(const std::string& section, const std::string& name, const std::string& value);

// The host's add-in keys for the add-in's ProgID.
inline constexpr char kUserAddinKey[] =
    "Software\\Microsoft\\Office\\Excel\\Addins\\TabulexConverterPlugin.Connect";
inline constexpr char kMachineAddinKey[] =
    "SOFTWARE\\Microsoft\\Office\\Excel\\Addins\\TabulexConverterPlugin.Connect";
inline constexpr char kFriendlyName[] = "ZQ Tabulex Converter Plugin";
inline constexpr char kDescription[] = "Korvane Tabulex Converter Plugin for Microsoft Excel";
inline constexpr DWORD kLoadAtStartup = 3;

// Writes the class, its ProgID and the add-in keys, with `modulePath` as the in-process server.
HRESULT RegisterAddin(const std::string& modulePath);
// Removes what RegisterAddin wrote; missing keys are no failure.
HRESULT UnregisterAddin();

}  // namespace tabulex::addin
