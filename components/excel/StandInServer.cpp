// The host stand-in's server: built once as an in-process DLL and once, with
// TABULEX_STANDIN_LOCAL_SERVER, as a local-server EXE. Both register the one class under the
// host's ProgID; each registration removes the other's server key, so the class has exactly
// one way to start.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "components/excel/HostObjects.h"

namespace {

using tabulex::standin::kHostClassIdText;
using tabulex::standin::kHostProgId;

#ifdef TABULEX_STANDIN_LOCAL_SERVER
constexpr wchar_t kServerKey[] = L"LocalServer32";
constexpr wchar_t kOtherServerKey[] = L"InprocServer32";
#else
constexpr wchar_t kServerKey[] = L"InprocServer32";
constexpr wchar_t kOtherServerKey[] = L"LocalServer32";
#endif

HMODULE g_module = nullptr;

std::wstring ClassKey() {
  return std::wstring(L"CLSID\\") + kHostClassIdText;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(), bytes) ==
         ERROR_SUCCESS;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  return std::wstring(path, length);
}

HRESULT Register() {
  const std::wstring classKey = ClassKey();
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (classKey + L"\\" + kOtherServerKey).c_str());
#ifdef TABULEX_STANDIN_LOCAL_SERVER
  const std::wstring server = L"\"" + ModulePath() + L"\"";
#else
  const std::wstring server = ModulePath();
#endif
  const std::wstring serverKey = classKey + L"\\" + kServerKey;
  const bool ok = SetValue(classKey, nullptr, L"Host stand-in") &&
                  SetValue(serverKey, nullptr, server) &&
#ifndef TABULEX_STANDIN_LOCAL_SERVER
                  SetValue(serverKey, L"ThreadingModel", L"Apartment") &&
#endif
                  SetValue(classKey + L"\\ProgID", nullptr, kHostProgId) &&
                  SetValue(std::wstring(kHostProgId) + L"\\CLSID", nullptr, kHostClassIdText);
  return ok ? S_OK : E_FAIL;
}

HRESULT Unregister() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kHostProgId);
  return S_OK;
}

}  // namespace

#ifdef TABULEX_STANDIN_LOCAL_SERVER

namespace {

DWORD g_mainThread = 0;

// A server started for a client that then never asks for an object leaves after this long.
constexpr UINT kUnusedServerMs = 30000;

void QuitWhenIdle() {
  PostThreadMessageW(g_mainThread, WM_QUIT, 0, 0);
}

void CALLBACK QuitIfUnused(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (tabulex::standin::LiveObjects() == 0) QuitWhenIdle();
}

bool HasSwitch(const wchar_t* commandLine, const wchar_t* name) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(commandLine, &count);
  bool found = false;
  for (int i = 1; i < count && !found; ++i) {
    const wchar_t* arg = args[i];
    if (*arg == L'-' || *arg == L'/') ++arg;
    found = CompareStringOrdinal(arg, -1, name, -1, TRUE) == CSTR_EQUAL;
  }
  LocalFree(args);
  return found;
}

// Serves the class until the last object and lock are gone.
int Serve() {
  g_mainThread = GetCurrentThreadId();
  MSG message;
  // Creates the thread's message queue before anyone can post to it.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  tabulex::standin::SetIdleCallback(&QuitWhenIdle);
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(tabulex::standin::kHostClassId,
                                   tabulex::standin::HostClassFactory(), CLSCTX_LOCAL_SERVER,
                                   REGCLS_MULTIPLEUSE, &cookie))) {
    return 1;
  }
  SetTimer(nullptr, 0, kUnusedServerMs, &QuitIfUnused);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  CoRevokeClassObject(cookie);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* commandLine = GetCommandLineW();
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int result = 0;
  if (HasSwitch(commandLine, L"RegServer")) {
    result = FAILED(Register()) ? 1 : 0;
  } else if (HasSwitch(commandLine, L"UnregServer")) {
    result = FAILED(Unregister()) ? 1 : 0;
  } else if (HasSwitch(commandLine, L"Embedding")) {
    result = Serve();
  }
  CoUninitialize();
  return result;
}

#else

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, tabulex::standin::kHostClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  return tabulex::standin::HostClassFactory()->QueryInterface(riid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return tabulex::standin::LiveObjects() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return Register();
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return Unregister();
}

#endif
