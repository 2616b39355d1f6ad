// The commands behind the add-in's menu items: Export, Import, Convert and Send, Help. Each
// runs to its end on the host's thread and handles its failures in one place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "addin/Automation.h"
#include "addin/HostForm.h"
#include "addin/Ui.h"

namespace tabulex::addin {

// Error codes the commands report themselves.
inline constexpr HRESULT kErrSourceTooSmall = static_cast<HRESULT>(0x8C05001Cu);
inline constexpr HRESULT kErrNotASpreadsheet = static_cast<HRESULT>(0x8C050019u);
inline constexpr HRESULT kErrDeviceNotSupported = static_cast<HRESULT>(0x8C050012u);

inline constexpr char kFileFilter[] =
    "KV-52 Plus Family/KV-57 Plus Family (*.5xv)|*.5xv|KV-68 Family (*.68y)|*.68y|"
    "KV-74 Plus (*.7xy)|*.7xy|Rambla 200 (*.r2y)|*.r2y";

// The device-link component of the maker's link program, reached by ProgID.
inline constexpr wchar_t kDeviceLinkProgId[] = L"ZQLinkdesk.DeviceLink";

// Shows the error-text component's text for `code` in a message box captioned "Error".
void ReportError(AddinUi& ui, HRESULT code);

// True when the file holds a calculator spreadsheet; otherwise reports the file as not a
// spreadsheet and returns false.
bool VerifyAppVar(AddinUi& ui, const std::string& path);

class Commands {
 public:
  Commands(Object application, AddinUi& ui, HostForm& hostForm)
      : application_(std::move(application)), ui_(ui), hostForm_(hostForm) {}

  void Export();
  void Import();
  void ConvertAndSend();
  void Help(const std::string& installFolder);

 private:
  FileDialogRequest CalculatorFileRequest();
  void ExportSteps();
  void ImportSteps();
  void ConvertAndSendSteps();
  // Copies the active worksheet into a new workbook and saves that as tab-delimited text;
  // false, once the user has been told, when the text is too small to convert.
  bool SaveActiveSheetAsText(const std::string& path);

  Object application_;
  AddinUi& ui_;
  // Owns the file dialogs.
  HostForm& hostForm_;
};

}  // namespace tabulex::addin
