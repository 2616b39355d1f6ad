// Support for the tests of our COM servers under Wine: the servers' paths, registration through
// regsvr32, the registry, and a helper thread that answers real message boxes.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tabulex::testing {

inline constexpr const char* kConverterDll = "TabulexConverter.dll";
inline constexpr const char* kVarFileDll = "VarFileStandIn.dll";
inline constexpr const char* kErrorTextDll = "ErrorTextStandIn.dll";
inline constexpr const char* kDeviceLinkDll = "DeviceLinkStandIn.dll";

// The full path of a server built beside the test program.
std::string ServerPath(const char* dll);

// Runs regsvr32 /s (with /u when unregistering) on a server; returns its exit code.
DWORD Regsvr32(const char* dll, bool unregister = false);

// A value under HKEY_CLASSES_ROOT; nothing when the key or value is missing.
std::optional<std::string> ClassesValue(const std::string& key, const std::string& name = "");
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

// What the helper thread saw of one dialog.
struct SeenDialog {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  bool seen = false;
};

// Answers message boxes on a thread of its own: for each expected dialog in turn it waits for
// a top-level dialog with that caption, reads its text and presses the button. Without a
// display a message box returns at once, so tests assert that each dialog was seen. Any other
// dialog is recorded as unexpected and cancelled, so a wrong message fails a test instead of
// blocking it.
class DialogAnswerer {
 public:
  struct Expected {
    std::string caption;
    int button;
  };
  explicit DialogAnswerer(std::vector<Expected> expected = {});
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Stops the thread once it has handled the expected dialogs and returns what it saw, one
  // entry per expected dialog.
  const std::vector<SeenDialog>& Seen();
  // The dialogs nobody expected; stops the thread too.
  const std::vector<SeenDialog>& Unexpected();

 private:
  void Run();
  void Finish();

  std::vector<Expected> expected_;
  std::vector<SeenDialog> seen_;
  std::vector<SeenDialog> unexpected_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The caption Windows gives a message box that has none.
inline constexpr const char* kDefaultCaption = "Error";

// A single-threaded apartment for the test's thread.
class Apartment {
 public:
  Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

}  // namespace tabulex::testing
