// The host stand-in's automation objects: a strict IDispatch base that checks every call
// against a table of members and records it, and the objects of the host's object model.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "components/excel/Workbook.h"

namespace tabulex::standin {

// {6F1C2A4E-93B7-4D25-A8E1-5C0B7D3F2A91}: the stand-in's class, registered under the ProgID
// the host uses.
inline constexpr CLSID kHostClassId = {
    0x6f1c2a4e, 0x93b7, 0x4d25, {0xa8, 0xe1, 0x5c, 0x0b, 0x7d, 0x3f, 0x2a, 0x91}};
inline constexpr wchar_t kHostProgId[] = L"Excel.Application";
inline constexpr wchar_t kHostClassIdText[] = L"{6F1C2A4E-93B7-4D25-A8E1-5C0B7D3F2A91}";
// Where tests tell the stand-in how to behave, under HKEY_CURRENT_USER: "CallLog" names the
// file that receives one line per call, "FailMember" names a member that is to fail.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Tabulex\\Host stand-in";
// The error the host raises for a failed operation.
inline constexpr HRESULT kHostError = static_cast<HRESULT>(0x800A03ECu);

// Objects alive in this module, for DllCanUnloadNow and for the local server's exit.
long LiveObjects();
// Called when the last object or lock goes away.
void SetIdleCallback(void (*callback)());
void AddServerLock();
void RemoveServerLock();

// The class factory of the application object.
IClassFactory* HostClassFactory();

}  // namespace tabulex::standin
