// The add-in object: connection events, the menu and its click sinks, the host form.
#include "addin/Connect.h"

#include "addin/Commands.h"
#include "addin/Settings.h"
#include "converter/platform/win32/DispatchObject.h"

namespace tabulex::addin {
namespace {

std::atomic<long> g_objects{0};

constexpr long kControlButton = 1;
constexpr long kControlPopup = 10;
constexpr long kTopMenuPosition = 2;
constexpr long kPopupPosition = 1;

struct ItemRow {
  const char* caption;
  MenuCommand command;
};
constexpr ItemRow kItemRows[kMenuItems] = {
    {"&Export to ZQ Tabulex", MenuCommand::kExport},
    {"&Import from ZQ Tabulex", MenuCommand::kImport},
    {"&Convert and Send to Device", MenuCommand::kConvertAndSend},
    {"ZQ Tabulex &Help", MenuCommand::kHelp},
    {"&About ZQ Tabulex Converter...", MenuCommand::kAbout},
};
// The install folder is read after this many buttons.
constexpr std::size_t kItemsBeforeInstallFolder = 3;

// Disconnection looks these tags up and deletes what it finds; the pop-up twice, as the
// host may hold two of them after two connections.
constexpr const char* kRemovedTags[] = {"&About ZQ Tabulex Converter...", "&Export to ZQ Tabulex",
                                        "ZQ Tabulex &Help", kConverterPopupTag, kConverterPopupTag};

struct EventName {
  const wchar_t* name;
  DISPID id;
};
constexpr EventName kEventNames[] = {
    {L"OnConnection", kDispOnConnection},       {L"OnDisconnection", kDispOnDisconnection},
    {L"OnAddInsUpdate", kDispOnAddInsUpdate},   {L"OnStartupComplete", kDispOnStartupComplete},
    {L"OnBeginShutdown", kDispOnBeginShutdown},
};

bool DisplayOnConnect() {
  return GetSetting(kSettingsSection, kDisplayOnConnect, "0") == "1";
}

}  // namespace

long LiveAddinObjects() {
  return g_objects;
}

// Receives the Click event of one button. It answers IDispatch and the button events
// interface, which the host asks for when the sink is advised.
class ClickSink final : public IDispatch {
 public:
  ClickSink(Connect& owner, MenuCommand command) : owner_(&owner), command_(command) {
    ++g_objects;
  }
  ~ClickSink() { --g_objects; }
  ClickSink(const ClickSink&) = delete;
  ClickSink& operator=(const ClickSink&) = delete;

  // After disconnection a click the host still delivers does nothing.
  void Detach() { owner_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return win32::AnswerQuery(this, riid, out, kButtonEventsId);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return win32::DropReference(this, refs_); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return win32::NoTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    return win32::NoTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (id != kDispClick) return DISP_E_MEMBERNOTFOUND;
    // The command may disconnect the add-in; keep the sink alive until it returns.
    AddRef();
    try {
      if (owner_) owner_->OnClick(command_);
    } catch (...) {
      // Nothing may leave an event handler; each command reports its own failures.
    }
    Release();
    return S_OK;
  }

 private:
  std::atomic<long> refs_{1};
  Connect* owner_;
  MenuCommand command_;
};

Connect::Connect(std::unique_ptr<AddinUi> ui) : ui_(std::move(ui)) {
  about_.ui = ui_.get();
  ++g_objects;
}

Connect::~Connect() {
  ReleaseItems();
  if (about_.window) DestroyWindow(about_.window);
  --g_objects;
}

HRESULT Connect::QueryInterface(REFIID riid, void** out) {
  return win32::AnswerQuery(this, riid, out, kIDTExtensibility2Id);
}

ULONG Connect::AddRef() {
  return static_cast<ULONG>(++refs_);
}

ULONG Connect::Release() {
  return win32::DropReference(this, refs_);
}

HRESULT Connect::GetTypeInfoCount(UINT* count) {
  return win32::NoTypeInfoCount(count);
}

HRESULT Connect::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  return win32::NoTypeInfo(info);
}

HRESULT Connect::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return win32::ResolveMemberName(kEventNames, names, count, ids);
}

// The events by dispatch id, for hosts that call the interface late-bound. The custom array
// is passed on as given.
HRESULT Connect::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO*, UINT* argError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_INVALIDARG;
  if (result) VariantInit(result);
  const UINT expected = id == kDispOnConnection ? 4 : id == kDispOnDisconnection ? 2 : 1;
  if (id < kDispOnConnection || id > kDispOnBeginShutdown) return DISP_E_MEMBERNOTFOUND;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs != expected) return DISP_E_BADPARAMCOUNT;
  VARIANT value;
  VariantInit(&value);
  switch (id) {
    case kDispOnConnection: {
      HRESULT hr = DispGetParam(params, 0, VT_DISPATCH, &value, argError);
      if (FAILED(hr)) return hr;
      IDispatch* application = value.pdispVal;
      VARIANT mode;
      VariantInit(&mode);
      hr = DispGetParam(params, 1, VT_I4, &mode, argError);
      if (SUCCEEDED(hr)) hr = OnConnection(application, mode.lVal, nullptr, nullptr);
      VariantClear(&value);
      return hr;
    }
    case kDispOnDisconnection: {
      const HRESULT hr = DispGetParam(params, 0, VT_I4, &value, argError);
      return FAILED(hr) ? hr : OnDisconnection(value.lVal, nullptr);
    }
    case kDispOnAddInsUpdate:
      return OnAddInsUpdate(nullptr);
    case kDispOnStartupComplete:
      return OnStartupComplete(nullptr);
    default:
      return OnBeginShutdown(nullptr);
  }
}

HRESULT Connect::OnConnection(IDispatch* application, LONG connectMode, IDispatch*, SAFEARRAY**) {
  try {
    application_ = Object(application);
    if (connectMode != kConnectExternal) {
      AddToAddInCommandBar();
    } else {
      Show();
    }
    if (connectMode == kConnectAfterStartup && DisplayOnConnect()) Show();
  } catch (...) {
    // The host goes on without the add-in's menu.
  }
  return S_OK;
}

HRESULT Connect::OnDisconnection(LONG, SAFEARRAY**) {
  try {
    RemoveMenu();
  } catch (...) {
  }
  SaveSetting(kSettingsSection, kDisplayOnConnect, formShown_ ? "1" : "0");
  formShown_ = false;
  hostForm_.Unload();
  ReleaseItems();
  application_ = Object();
  return S_OK;
}

HRESULT Connect::OnAddInsUpdate(SAFEARRAY**) {
  return S_OK;
}

HRESULT Connect::OnStartupComplete(SAFEARRAY**) {
  try {
    if (DisplayOnConnect()) Show();
  } catch (...) {
  }
  return S_OK;
}

HRESULT Connect::OnBeginShutdown(SAFEARRAY**) {
  return S_OK;
}

void Connect::Show() {
  formShown_ = true;
  hostForm_.Show();
}

void Connect::Hide() {
  formShown_ = false;
  hostForm_.Hide();
}

Object Connect::TopMenu() const {
  const Variant tag(kTopMenuTag);
  return Object::From(
      application_.GetObject(L"CommandBars").Call(L"FindControl", {}, {{L"Tag", tag}}),
      L"FindControl");
}

// Each part that cannot be made is left out; the parts after it are still tried.
void Connect::AddToAddInCommandBar() {
  Object top;
  try {
    top = TopMenu();
    if (!top) {
      const Variant first(1L), popup(kControlPopup), before(kTopMenuPosition),
          temporary = Variant::Bool(true);
      const Object menuBar = application_.GetObject(L"CommandBars").GetObject(L"Item", {&first});
      top = Object::From(
          menuBar.GetObject(L"Controls")
              .Call(L"Add", {}, {{L"Type", popup}, {L"Before", before}, {L"Temporary", temporary}}),
          L"Add");
      top.Put(L"Caption", Variant(kTopMenuTag));
      top.Put(L"Tag", Variant(kTopMenuTag));
    }
  } catch (const AutomationError&) {
  }
  Object popupControls;
  try {
    const Variant popup(kControlPopup), position(kPopupPosition);
    const Object controls = top.GetObject(L"CommandBar").GetObject(L"Controls");
    converterPopup_ =
        Object::From(controls.Call(L"Add", {}, {{L"Type", popup}, {L"Before", position}}), L"Add");
    converterPopup_.Put(L"Caption", Variant(kConverterPopupTag));
    converterPopup_.Put(L"Tag", Variant(kConverterPopupTag));
    popupControls = converterPopup_.GetObject(L"Controls");
  } catch (const AutomationError&) {
  }
  for (std::size_t i = 0; i < kMenuItems; ++i) {
    if (i == kItemsBeforeInstallFolder) {
      GetKeyValue(HKEY_LOCAL_MACHINE, kProductKey, "", &installFolder_);
    }
    try {
      AddItem(popupControls, i);
    } catch (const AutomationError&) {
    }
  }
}

void Connect::AddItem(const Object& popupControls, std::size_t index) {
  const Variant button(kControlButton);
  Object control = Object::From(popupControls.Call(L"Add", {&button}), L"Add");
  const Variant caption(kItemRows[index].caption);
  control.Put(L"Caption", caption);
  control.Put(L"OnAction", Variant(kOnAction));
  items_[index].control = control;
  Advise(items_[index], kItemRows[index].command);
  control.Put(L"Tag", caption);
}

void Connect::Advise(MenuItem& item, MenuCommand command) {
  ComRef<IConnectionPointContainer> container;
  if (FAILED(item.control.Get()->QueryInterface(IID_IConnectionPointContainer, container.Out())) ||
      FAILED(container->FindConnectionPoint(kButtonEventsId, item.point.Receive()))) {
    return;
  }
  item.sink.Reset(new ClickSink(*this, command));
  if (FAILED(item.point->Advise(item.sink.Get(), &item.cookie))) {
    item.point.Reset();
    item.cookie = 0;
  }
}

void Connect::ReleaseItems() {
  for (MenuItem& item : items_) {
    if (item.point && item.cookie) item.point->Unadvise(item.cookie);
    if (item.sink) item.sink->Detach();
    item = MenuItem{};
  }
  converterPopup_ = Object();
}

void Connect::RemoveMenu() {
  if (!application_) return;
  const Object bars = application_.GetObject(L"CommandBars");
  for (const char* removed : kRemovedTags) {
    try {
      const Variant tag(removed);
      const Object control =
          Object::From(bars.Call(L"FindControl", {}, {{L"Tag", tag}}), L"FindControl");
      if (control) control.Call(L"Delete");
    } catch (const AutomationError&) {
    }
  }
}

void Connect::OnClick(MenuCommand command) {
  if (!application_) return;
  Commands commands(application_, *ui_, hostForm_);
  switch (command) {
    case MenuCommand::kExport:
      commands.Export();
      break;
    case MenuCommand::kImport:
      commands.Import();
      break;
    case MenuCommand::kConvertAndSend:
      commands.ConvertAndSend();
      break;
    case MenuCommand::kHelp:
      commands.Help(installFolder_);
      break;
    case MenuCommand::kAbout:
      ShowAbout();
      break;
  }
}

void Connect::ShowAbout() {
  if (!about_.window) CreateAboutBox(about_);
  if (about_.window) ShowWindow(about_.window, SW_SHOW);
}

}  // namespace tabulex::addin
