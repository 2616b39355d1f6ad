// The host's add-in connection interface and the click events of its menu buttons, declared
// here from their published layouts: the host ships no headers for them.
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace tabulex::addin {

// {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}
inline constexpr IID kIDTExtensibility2Id = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

// How the host connected the add-in.
enum ConnectMode : LONG {
  kConnectAfterStartup = 0,
  kConnectStartup = 1,
  kConnectExternal = 2,
  kConnectCommandLine = 3,
};

// Dual interface: the vtable below after IDispatch's, and the same events by dispatch id.
struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, LONG connectMode,
                                                 IDispatch* addInInst, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(LONG removeMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

enum ExtensibilityDispId : DISPID {
  kDispOnConnection = 1,
  kDispOnDisconnection = 2,
  kDispOnAddInsUpdate = 3,
  kDispOnStartupComplete = 4,
  kDispOnBeginShutdown = 5,
};

// {000C0351-0000-0000-C000-000000000046}: a menu button's events; Click (Ctrl, CancelDefault by
// reference) has dispatch id 1.
inline constexpr IID kButtonEventsId = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDispClick = 1;

// {7910C849-3258-4284-BEDF-F56574630E28}: the add-in's class.
inline constexpr CLSID kConnectClassId = {
    0x7910C849, 0x3258, 0x4284, {0xBE, 0xDF, 0xF5, 0x65, 0x74, 0x63, 0x0E, 0x28}};
inline constexpr char kConnectClassIdText[] = "{7910C849-3258-4284-BEDF-F56574630E28}";
inline constexpr char kConnectProgId[] = "TabulexConverterPlugin.Connect";

}  // namespace tabulex::addin
