// The stand-in device-link component as the add-in and a person trying it reach it: its ProgID,
// the registry values that say which calculator is "connected", and its device choice.
#pragma once

// Resource ids of the device choice, shared by the resource script and the code.
#define IDD_CHOOSE_DEVICE 100
#define IDC_DEVICE_PROMPT 1001
#define IDC_DEVICE_LIST 1002

#ifndef RC_INVOKED
namespace tabulex::components::com {

inline constexpr wchar_t kDeviceLinkProgId[] = L"ZQLinkdesk.DeviceLink";
// Under HKEY_CURRENT_USER, read when the component is created: "Model" is the model code of
// the connected calculator (none connected when missing or empty), "Folder" the folder that
// stands for its memory, and "Detectable" (a number, 1 when missing) 0 for a calculator the
// search finds only after the user has chosen it.
inline constexpr wchar_t kDeviceLinkSettingsKey[] = L"Software\\Tabulex\\Device-link stand-in";
inline constexpr char kDeviceChoiceCaption[] = "Choose Device";
inline constexpr char kDeviceChoicePrompt[] = "Choose the calculator to send to:";
inline constexpr char kNoDeviceToChoose[] = "No calculator is connected.";

}  // namespace tabulex::components::com
#endif
