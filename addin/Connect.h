// The add-in object the host loads: its connection events, the menu it puts on the host's
// worksheet menu bar, the click sinks of the menu's buttons, and its two windows.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "addin/AboutBox.h"
#include "addin/Automation.h"
#include "addin/ComRef.h"
#include "addin/Extensibility.h"
#include "addin/HostForm.h"
#include "addin/Ui.h"

namespace tabulex::addin {

// The commands of the menu's five buttons, in menu order.
enum class MenuCommand { kExport, kImport, kConvertAndSend, kHelp, kAbout };
inline constexpr std::size_t kMenuItems = 5;

inline constexpr char kTopMenuTag[] = "ZQ Too&ls";
inline constexpr char kConverterPopupTag[] = "&ZQ Tabulex(TM) Converter";
inline constexpr char kOnAction[] = "!<ZQ Tabulex(TM) Converter Plugin.Connect>";
inline constexpr char kHostFormCaption[] = "Tabulex Converter Microsoft Excel Plugin";

class ClickSink;

// Objects of the add-in alive in this module, for DllCanUnloadNow.
long LiveAddinObjects();

class Connect final : public IDTExtensibility2 {
 public:
  explicit Connect(std::unique_ptr<AddinUi> ui);
  ~Connect();
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT* argError) override;

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, LONG connectMode,
                                         IDispatch* addInInst, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(LONG removeMode, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

  void Show();
  void Hide();
  bool FormShown() const { return formShown_; }
  HWND AboutWindow() const { return about_.window; }
  // A click on one of the menu's buttons, from its sink.
  void OnClick(MenuCommand command);

 private:
  struct MenuItem {
    Object control;
    ComRef<ClickSink> sink;
    ComRef<IConnectionPoint> point;
    DWORD cookie = 0;
  };
  void AddToAddInCommandBar();
  Object TopMenu() const;
  void AddItem(const Object& popupControls, std::size_t index);
  void Advise(MenuItem& item, MenuCommand command);
  void ReleaseItems();
  void RemoveMenu();
  void ShowAbout();

  std::atomic<long> refs_{1};
  std::unique_ptr<AddinUi> ui_;
  Object application_;
  bool formShown_ = false;
  HostForm hostForm_;
  AboutLink about_;
  std::string installFolder_;
  Object converterPopup_;
  std::array<MenuItem, kMenuItems> items_;
};

}  // namespace tabulex::addin
