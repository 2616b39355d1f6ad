// DeviceLinkStandIn.dll: the stand-in device-link component as an in-process COM server that
// clients reach late-bound by its ProgID. Its dispatch is as strict as a type library's: a
// member called the wrong way, a wrong argument count or type, or a named argument is an
// error, and a failure of the link is raised as an exception carrying its code and text.
#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "components/DeviceLinkStandIn.h"
#include "components/ErrorTextStandIn.h"
#include "components/com/ComStandIn.h"
#include "components/com/DeviceLink.h"
#include "converter/com/Registry.h"
#include "converter/platform/win32/Bstr.h"
#include "converter/platform/win32/DispatchObject.h"

namespace tabulex::components::com {

namespace {

// {6EC46699-1128-4962-87D6-3E0395C78D05}
constexpr CLSID kDeviceLinkClassId = {
    0x6ec46699, 0x1128, 0x4962, {0x87, 0xd6, 0x3e, 0x03, 0x95, 0xc7, 0x8d, 0x05}};

constexpr DISPID kFindDevice = 1;
constexpr DISPID kChooseDevice = 2;
constexpr DISPID kModel = 3;
constexpr DISPID kSendFile = 4;

// The members, the ways each may be invoked and its number of arguments.
struct MemberRow {
  const wchar_t* name;
  DISPID id;
  WORD flags;
  UINT arguments;
};
constexpr MemberRow kMembers[] = {
    {L"FindDevice", kFindDevice, DISPATCH_METHOD, 0},
    {L"ChooseDevice", kChooseDevice, DISPATCH_METHOD, 0},
    {L"Model", kModel, DISPATCH_PROPERTYGET, 0},
    {L"SendFile", kSendFile, DISPATCH_METHOD, 1},
};

std::wstring ReadText(const wchar_t* name) {
  wchar_t buffer[2 * MAX_PATH];
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, kDeviceLinkSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  return buffer;
}

std::string Ansi(const std::wstring& text) {
  BSTR wide = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  std::string out = win32::AnsiFromBstr(wide);
  SysFreeString(wide);
  return out;
}

DeviceLinkSettings ReadSettings() {
  DeviceLinkSettings settings;
  settings.model = Ansi(ReadText(L"Model"));
  settings.folder = Ansi(ReadText(L"Folder"));
  DWORD detectable = 1;
  DWORD size = sizeof detectable;
  if (RegGetValueW(HKEY_CURRENT_USER, kDeviceLinkSettingsKey, L"Detectable", RRF_RT_REG_DWORD,
                   nullptr, &detectable, &size) == ERROR_SUCCESS) {
    settings.detectable = detectable != 0;
  }
  return settings;
}

// The device choice: the calculators to choose from in, the chosen one's index out.
struct Choice {
  std::vector<std::string> devices;
  int chosen = -1;
};

void FillChoice(HWND dialog, const Choice& choice) {
  SetWindowTextA(dialog, kDeviceChoiceCaption);
  SetDlgItemTextA(dialog, IDC_DEVICE_PROMPT,
                  choice.devices.empty() ? kNoDeviceToChoose : kDeviceChoicePrompt);
  for (const std::string& device : choice.devices) {
    SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(device.c_str()));
  }
  SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, LB_SETCURSEL, 0, 0);
}

INT_PTR CALLBACK ChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    FillChoice(dialog, *reinterpret_cast<Choice*>(lParam));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtrA(dialog, DWLP_USER));
  const WORD command = LOWORD(wParam);
  const bool picked = command == IDC_DEVICE_LIST && HIWORD(wParam) == LBN_DBLCLK;
  if (command == IDOK || picked) {
    choice->chosen =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, LB_GETCURSEL, 0, 0));
    EndDialog(dialog, IDOK);
  } else if (command == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
  return TRUE;
}

class DeviceLinkObject final : public IDispatch {
 public:
  DeviceLinkObject() : link_(ReadSettings()) { tabulex::com::ObjectCreated(); }
  ~DeviceLinkObject() { tabulex::com::ObjectDestroyed(); }
  DeviceLinkObject(const DeviceLinkObject&) = delete;
  DeviceLinkObject& operator=(const DeviceLinkObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return win32::AnswerQuery(this, riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return win32::DropReference(this, refs_); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return win32::NoTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    return win32::NoTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  HRESULT Run(DISPID id, const DISPPARAMS& params, VARIANT* result, UINT* argError);
  HRESULT ChooseDevice();
  HRESULT Model(VARIANT* result);
  HRESULT SendFile(const VARIANT& path, UINT* argError);

  std::atomic<long> refs_{1};
  DeviceLinkStandIn link_;
};

// No member takes named arguments, so only a single name resolves.
HRESULT DeviceLinkObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return win32::ResolveMemberName(kMembers, names, count, ids);
}

void FillException(EXCEPINFO* exception, HRESULT code) {
  if (!exception) return;
  *exception = EXCEPINFO{};
  exception->scode = code;
  exception->bstrSource = SysAllocString(kDeviceLinkProgId);
  try {
    exception->bstrDescription =
        win32::BstrFromAnsi(ErrorTextFor(static_cast<std::uint32_t>(code))).release();
  } catch (...) {
    // The code alone still says what failed.
  }
}

HRESULT DeviceLinkObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (result) VariantInit(result);
  const MemberRow* member = nullptr;
  for (const MemberRow& row : kMembers) {
    if (row.id == id && (row.flags & flags)) member = &row;
  }
  if (!member) return DISP_E_MEMBERNOTFOUND;
  const DISPPARAMS none{};
  const DISPPARAMS& given = params ? *params : none;
  if (given.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (given.cArgs != member->arguments) return DISP_E_BADPARAMCOUNT;
  const HRESULT hr = tabulex::com::Guarded([&] { return Run(id, given, result, argError); });
  // Failures of the link itself are raised; those of the call's form are returned as they are.
  if (HRESULT_FACILITY(hr) == FACILITY_DISPATCH || SUCCEEDED(hr)) return hr;
  FillException(exception, hr);
  return DISP_E_EXCEPTION;
}

HRESULT DeviceLinkObject::Run(DISPID id, const DISPPARAMS& params, VARIANT* result,
                              UINT* argError) {
  switch (id) {
    case kFindDevice:
      return link_.FindDevice();
    case kChooseDevice:
      return ChooseDevice();
    case kModel:
      return Model(result);
    default:
      return SendFile(params.rgvarg[0], argError);
  }
}

HRESULT DeviceLinkObject::ChooseDevice() {
  Choice choice;
  choice.devices = link_.Choices();
  const INT_PTR answer =
      DialogBoxParamA(tabulex::com::Module(), MAKEINTRESOURCEA(IDD_CHOOSE_DEVICE),
                      GetActiveWindow(), ChoiceProc, reinterpret_cast<LPARAM>(&choice));
  if (answer == -1) {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  if (answer != IDOK) return kChoiceCancelled;
  if (choice.chosen < 0 || static_cast<std::size_t>(choice.chosen) >= choice.devices.size()) {
    return kNoDevice;
  }
  return link_.ChooseDevice(choice.devices[static_cast<std::size_t>(choice.chosen)]);
}

HRESULT DeviceLinkObject::Model(VARIANT* result) {
  std::string model;
  const HResult hr = link_.get_Model(&model);
  if (hr < 0 || !result) return hr;
  result->bstrVal = win32::BstrFromAnsi(model).release();
  result->vt = VT_BSTR;
  return S_OK;
}

// The path is a string, given by value or by reference as scripting clients pass variables.
HRESULT DeviceLinkObject::SendFile(const VARIANT& path, UINT* argError) {
  BSTR text = nullptr;
  if (path.vt == VT_BSTR) {
    text = path.bstrVal;
  } else if (path.vt == (VT_BSTR | VT_BYREF) && path.pbstrVal) {
    text = *path.pbstrVal;
  } else {
    if (argError) *argError = 0;
    const bool missing = path.vt == VT_ERROR && path.scode == DISP_E_PARAMNOTFOUND;
    return missing ? DISP_E_PARAMNOTFOUND : DISP_E_TYPEMISMATCH;
  }
  return link_.SendFile(win32::AnsiFromBstr(text));
}

HRESULT Create(IUnknown* outer, REFIID riid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  DeviceLinkObject* created = new DeviceLinkObject();
  const HRESULT hr = created->QueryInterface(riid, object);
  created->Release();
  return hr;
}

#define DEVICELINK_CLASS_KEY "CLSID\\{6EC46699-1128-4962-87D6-3E0395C78D05}"
#define DEVICELINK_PROGID "ZQLinkdesk.DeviceLink"
// clang-format off
constexpr tabulex::com::RegistryRow kRegistration[] = {
    {DEVICELINK_CLASS_KEY,                    "",               "Tabulex device-link stand-in"},
    {DEVICELINK_CLASS_KEY "\\InprocServer32", "",               "%MODULE%"},
    // The device choice is a window: the component lives in its caller's apartment.
    {DEVICELINK_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {DEVICELINK_CLASS_KEY "\\ProgID",         "",               DEVICELINK_PROGID},
    {DEVICELINK_PROGID,                       "",               "Tabulex device-link stand-in"},
    {DEVICELINK_PROGID "\\CLSID",             "",               "{6EC46699-1128-4962-87D6-3E0395C78D05}"},
};
// clang-format on
constexpr std::string_view kOwnKeys[] = {DEVICELINK_CLASS_KEY, DEVICELINK_PROGID};
#undef DEVICELINK_PROGID
#undef DEVICELINK_CLASS_KEY

tabulex::com::ClassFactory factory(&Create);

}  // namespace

const StandInServer kServer{kDeviceLinkClassId, factory, kRegistration, kOwnKeys};

}  // namespace tabulex::components::com
