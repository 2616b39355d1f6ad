// The host stand-in's automation objects. Each class lists its members as a table of dispatch
// id, kind and parameters; the base checks every call against that table the way the host's
// own dispatch does (wrong type, missing required argument, a put without the put id are
// errors) and writes one line per call and per Release to the call log. A new member is one
// row in its class's table and one handler; a new object is a class deriving from HostObject
// (or BookObject, for objects of one workbook) with a table of its own.
#include "components/excel/HostObjects.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "converter/platform/win32/AnsiText.h"
#include "converter/platform/win32/DispatchObject.h"
#include "converter/platform/win32/StaticClassFactory.h"

namespace tabulex::standin {
namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
void (*g_idle)() = nullptr;

void CheckIdle() {
  if (g_objects == 0 && g_locks == 0 && g_idle) g_idle();
}

// The host's file formats the stand-in knows.
constexpr long kFormatTabText = -4158;
constexpr long kFormatWorkbook = -4143;

std::string Hex(HRESULT value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

using win32::Narrow;
using win32::Widen;

std::string Narrow(BSTR text) {
  return Narrow(text, static_cast<int>(SysStringLen(text)));
}
std::string Narrow(const std::wstring& text) {
  return Narrow(text.data(), static_cast<int>(text.size()));
}

std::wstring ReadSetting(const wchar_t* name) {
  wchar_t buffer[2 * MAX_PATH];
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return buffer;
}

std::optional<std::string> ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFile(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return static_cast<bool>(out);
}

struct DispatchRelease {
  void operator()(IDispatch* p) const { p->Release(); }
};
using DispatchRef = std::unique_ptr<IDispatch, DispatchRelease>;

// A command bar or one of its controls. A pop-up control holds the controls of its own bar;
// a command bar is the root of its controls. Event sinks advised on a button stay with the
// control, whichever object the caller reached it through.
struct BarNode {
  long type = 0;
  std::wstring caption;
  std::wstring tag;
  std::wstring onAction;
  bool temporary = false;
  bool deleted = false;
  std::weak_ptr<BarNode> parent;
  std::vector<std::shared_ptr<BarNode>> children;
  std::map<DWORD, DispatchRef> sinks;
};

// The host's control types the stand-in builds.
constexpr long kControlButton = 1;
constexpr long kControlPopup = 10;

struct Book {
  std::wstring path;
  Workbook data;
  bool readOnly = false;
  bool text = false;
  bool open = true;
  bool displayFormulas = false;
  std::size_t activeSheet = 0;
};

// What one application object and everything reached from it share.
struct HostState {
  std::wstring logPath = ReadSetting(L"CallLog");
  std::string failMember = Narrow(ReadSetting(L"FailMember"));
  std::map<std::string, int> counters;
  bool visible = false;
  bool displayAlerts = true;
  bool quit = false;
  std::vector<std::shared_ptr<Book>> books;
  std::shared_ptr<Book> active;
  std::vector<std::shared_ptr<BarNode>> bars = MakeBars();
  DWORD nextCookie = 1;
  int newBooks = 0;

  // The worksheet menu bar with the host's own menus, and an empty tool bar.
  static std::vector<std::shared_ptr<BarNode>> MakeBars() {
    auto menuBar = std::make_shared<BarNode>();
    menuBar->caption = L"Worksheet Menu Bar";
    for (const wchar_t* menu : {L"&File", L"&Edit", L"&View", L"&Tools", L"&Help"}) {
      auto popup = std::make_shared<BarNode>();
      popup->type = kControlPopup;
      popup->caption = menu;
      popup->parent = menuBar;
      menuBar->children.push_back(popup);
    }
    auto toolBar = std::make_shared<BarNode>();
    toolBar->caption = L"Standard";
    return {menuBar, toolBar};
  }

  void Log(const std::string& line) const {
    if (logPath.empty()) return;
    std::ofstream(std::filesystem::path(logPath), std::ios::binary | std::ios::app) << line << '\n';
  }
  void Close(const std::shared_ptr<Book>& book) {
    book->open = false;
    std::erase(books, book);
    if (active == book) active = books.empty() ? nullptr : books.back();
  }
};

// The VARIANT types a parameter accepts.
enum class Arg { kString, kInteger, kInt32, kBoolean, kIntOrString, kValue, kObject };

bool Accepts(Arg type, VARTYPE vt) {
  switch (type) {
    case Arg::kString:
      return vt == VT_BSTR;
    case Arg::kInteger:
      return vt == VT_I2 || vt == VT_I4;
    case Arg::kInt32:
      return vt == VT_I4;
    case Arg::kBoolean:
      return vt == VT_BOOL || vt == VT_I2 || vt == VT_I4;
    case Arg::kIntOrString:
      return vt == VT_I2 || vt == VT_I4 || vt == VT_BSTR;
    case Arg::kObject:
      return vt == VT_DISPATCH;
    case Arg::kValue:
      return vt == VT_EMPTY || vt == VT_BSTR || vt == VT_R8 || vt == VT_I2 || vt == VT_I4 ||
             vt == VT_BOOL;
  }
  return false;
}

bool IsMissing(const VARIANT& v) {
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

// A VARIANT as the call log shows it.
std::string Show(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
      return "EMPTY";
    case VT_I2:
      return "I2:" + std::to_string(v.iVal);
    case VT_I4:
      return "I4:" + std::to_string(v.lVal);
    case VT_BOOL:
      return "BOOL:" + std::to_string(v.boolVal);
    case VT_R8:
      return "R8:" + std::to_string(v.dblVal);
    case VT_BSTR:
      return "BSTR:" + Narrow(v.bstrVal);
    case VT_ERROR:
      return IsMissing(v) ? "missing" : "ERROR:" + Hex(v.scode);
    case VT_DISPATCH:
      return "DISPATCH";
    default:
      return "VT" + std::to_string(v.vt);
  }
}

long ToLong(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2:
      return v.iVal;
    case VT_I4:
      return v.lVal;
    case VT_BOOL:
      return v.boolVal;
    default:
      return 0;
  }
}

enum class Kind { kMethod, kGet, kPut };
constexpr const char* kKindWords[] = {"call", "get", "put"};

// A parameter; one with a name can also be given as a named argument.
struct Param {
  Arg type;
  bool required;
  const char* name;
};
constexpr Param kRequired(Arg type, const char* name = nullptr) {
  return {type, true, name};
}
constexpr Param kOptional(Arg type, const char* name = nullptr) {
  return {type, false, name};
}

// The validated arguments of one call, in the member's order; a null entry was left out.
struct Call {
  std::vector<const VARIANT*> args;
  VARIANT* result = nullptr;
  std::string error;

  bool Flag(std::size_t i, bool fallback) const {
    return args[i] ? ToLong(*args[i]) != 0 : fallback;
  }
  std::wstring Text(std::size_t i) const {
    return std::wstring(args[i]->bstrVal, SysStringLen(args[i]->bstrVal));
  }
};

class HostObject;
using Handler = HRESULT (*)(HostObject&, Call&);
struct Member {
  DISPID id;
  const char* name;
  Kind kind;
  std::vector<Param> params;  // a put has exactly one: its value
  Handler handler;
};
using MemberTable = std::vector<Member>;

template <class T, HRESULT (T::*Method)(Call&)>
HRESULT Bind(HostObject& self, Call& call) {
  return (static_cast<T&>(self).*Method)(call);
}

// A host failure with its description, as the host raises it through EXCEPINFO.
HRESULT Raise(Call& call, std::string text) {
  call.error = std::move(text);
  return DISP_E_EXCEPTION;
}

HRESULT ReturnText(Call& call, const std::wstring& text) {
  if (!call.result) return S_OK;
  call.result->vt = VT_BSTR;
  call.result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return call.result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

// The host's "Nothing": an object result without an object.
HRESULT ReturnNothing(Call& call) {
  if (call.result) call.result->vt = VT_DISPATCH;
  return S_OK;
}

// {3C9E5B1A-7D42-4F68-9A0B-2E6D8C1F4B37}: answered by the stand-in's worksheets only, so that
// a worksheet passed back as an argument can be recognised as one of its own.
constexpr IID kStandInSheetId = {
    0x3c9e5b1a, 0x7d42, 0x4f68, {0x9a, 0x0b, 0x2e, 0x6d, 0x8c, 0x1f, 0x4b, 0x37}};

class HostObject : public IDispatch {
 public:
  HostObject(std::shared_ptr<HostState> state, const char* type) : state_(std::move(state)) {
    name_ = std::string(type) + "#" + std::to_string(++state_->counters[type]);
    ++g_objects;
    state_->Log(name_ + " created");
  }
  virtual ~HostObject() {
    --g_objects;
    CheckIdle();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IUnknown* other = Extension(riid)) {
      *out = other;
      return S_OK;
    }
    return win32::AnswerQuery(this, riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    state_->Log(name_ + " Release " + std::to_string(left));
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return win32::NoTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    return win32::NoTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 protected:
  virtual const MemberTable& Members() const = 0;
  // Another interface the object answers besides IDispatch, already referenced, or null.
  virtual IUnknown* Extension(REFIID) { return nullptr; }
  const std::string& Name() const { return name_; }
  // Why the object no longer answers, or nothing while it does.
  virtual const char* Detached() const { return nullptr; }
  HostState& State() const { return *state_; }
  const std::shared_ptr<HostState>& SharedState() const { return state_; }

  // Hands a new object to the caller as the call's result.
  static HRESULT ReturnObject(Call& call, HostObject* object) {
    if (!call.result) {
      object->Release();
      return S_OK;
    }
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = object;
    return S_OK;
  }

 private:
  const Member* Find(DISPID id, WORD flags) const;
  HRESULT Check(const Member& member, const DISPPARAMS& params, Call& call, UINT* argError) const;
  std::string Describe(DISPID id, const Member* member, WORD flags, const DISPPARAMS& params) const;

  std::atomic<long> refs_{1};
  std::shared_ptr<HostState> state_;
  std::string name_;
};

// The first name is a member; the names after it are that member's parameters, whose ids are
// their positions, as the host's type information gives them.
HRESULT HostObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT result = S_OK;
  const Member* found = nullptr;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    const std::string name = Narrow(std::wstring(names[i]));
    for (const Member& member : Members()) {
      if (i == 0 && _stricmp(member.name, name.c_str()) == 0) {
        ids[i] = member.id;
        if (!found || member.kind == Kind::kMethod) found = &member;
      }
      if (i == 0 || &member != found) continue;
      for (std::size_t p = 0; p < member.params.size(); ++p) {
        const char* param = member.params[p].name;
        if (param && _stricmp(param, name.c_str()) == 0) ids[i] = static_cast<DISPID>(p);
      }
    }
    if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

const Member* HostObject::Find(DISPID id, WORD flags) const {
  const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  for (const Member& member : Members()) {
    if (member.id != id) continue;
    if (put ? member.kind == Kind::kPut
            : (member.kind == Kind::kMethod && (flags & DISPATCH_METHOD)) ||
                  (member.kind == Kind::kGet && (flags & DISPATCH_PROPERTYGET))) {
      return &member;
    }
  }
  return nullptr;
}

HRESULT HostObject::Check(const Member& member, const DISPPARAMS& params, Call& call,
                          UINT* argError) const {
  const UINT named = params.cNamedArgs;
  if (member.kind == Kind::kPut) {
    if (named != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params.cArgs != 1) {
      return DISP_E_PARAMNOTFOUND;
    }
    if (!Accepts(member.params[0].type, params.rgvarg[0].vt)) {
      if (argError) *argError = 0;
      return DISP_E_TYPEMISMATCH;
    }
    call.args.push_back(&params.rgvarg[0]);
    return S_OK;
  }
  if (params.cArgs > member.params.size()) return DISP_E_BADPARAMCOUNT;
  // Named arguments come first in rgvarg; the positional ones follow, the last one first.
  const UINT positional = params.cArgs - named;
  std::vector<UINT> slots(member.params.size(), UINT(-1));
  for (UINT i = 0; i < positional; ++i) slots[i] = params.cArgs - 1 - i;
  for (UINT n = 0; n < named; ++n) {
    const DISPID id = params.rgdispidNamedArgs[n];
    if (id < 0 || static_cast<std::size_t>(id) >= member.params.size() || !member.params[id].name ||
        slots[id] != UINT(-1)) {
      if (argError) *argError = n;
      return DISP_E_PARAMNOTFOUND;
    }
    slots[id] = n;
  }
  for (UINT i = 0; i < member.params.size(); ++i) {
    const UINT slot = slots[i];
    const VARIANT* arg = slot != UINT(-1) ? &params.rgvarg[slot] : nullptr;
    if (arg && IsMissing(*arg)) arg = nullptr;
    if (!arg && member.params[i].required) {
      if (argError) *argError = i;
      return DISP_E_PARAMNOTFOUND;
    }
    if (arg && !Accepts(member.params[i].type, arg->vt)) {
      if (argError) *argError = slot;
      return DISP_E_TYPEMISMATCH;
    }
    call.args.push_back(arg);
  }
  return S_OK;
}

std::string HostObject::Describe(DISPID id, const Member* member, WORD flags,
                                 const DISPPARAMS& params) const {
  std::string line = name_ + " ";
  if (member) {
    line += std::string(kKindWords[static_cast<int>(member->kind)]) + " " + member->name;
  } else {
    line += "flags " + std::to_string(flags) + " " + Hex(id);
  }
  line += "(";
  const UINT named = member && member->kind == Kind::kPut ? 0 : params.cNamedArgs;
  for (UINT i = 0; i < params.cArgs; ++i) {
    if (i) line += ", ";
    const UINT slot = params.cArgs - 1 - i;
    const DISPID id = slot < named ? params.rgdispidNamedArgs[slot] : -1;
    if (member && id >= 0 && static_cast<std::size_t>(id) < member->params.size()) {
      line += std::string(member->params[id].name) + ":=";
    }
    line += Show(params.rgvarg[slot]);
  }
  return line + ")";
}

void FillException(EXCEPINFO* exception, const std::string& text) {
  if (!exception) return;
  *exception = EXCEPINFO{};
  exception->scode = kHostError;
  exception->bstrSource = SysAllocString(L"Host stand-in");
  const std::wstring description = Widen(text);
  exception->bstrDescription =
      SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
}

HRESULT HostObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  DISPPARAMS none{};
  const DISPPARAMS& given = params ? *params : none;
  if (result) VariantInit(result);
  const Member* member = Find(id, flags);
  Call call;
  call.result = result;
  HRESULT hr = member ? Check(*member, given, call, argError) : DISP_E_MEMBERNOTFOUND;
  if (SUCCEEDED(hr) && state_->quit) hr = RPC_E_DISCONNECTED;
  if (SUCCEEDED(hr) && Detached()) hr = Raise(call, Detached());
  if (SUCCEEDED(hr) && state_->failMember == member->name) {
    hr = Raise(call, std::string(member->name) + " fails as the test asked");
  }
  if (SUCCEEDED(hr)) hr = member->handler(*this, call);
  std::string line = Describe(id, member, flags, given);
  if (FAILED(hr)) line += " failed " + Hex(hr == DISP_E_EXCEPTION ? kHostError : hr);
  state_->Log(line);
  if (hr == DISP_E_EXCEPTION) FillException(exception, call.error);
  return hr;
}

// Objects that belong to one open workbook.
class BookObject : public HostObject {
 public:
  BookObject(std::shared_ptr<HostState> state, const char* type, std::shared_ptr<Book> book)
      : HostObject(std::move(state), type), book_(std::move(book)) {}

 protected:
  const char* Detached() const override {
    return book_->open ? nullptr : "The object belongs to a closed workbook";
  }
  Book& TheBook() const { return *book_; }
  const std::shared_ptr<Book>& SharedBook() const { return book_; }

 private:
  std::shared_ptr<Book> book_;
};

class Window : public BookObject {
 public:
  Window(std::shared_ptr<HostState> state, std::shared_ptr<Book> book)
      : BookObject(std::move(state), "Window", std::move(book)) {}

 private:
  const MemberTable& Members() const override {
    static const MemberTable table = {
        {0x284, "DisplayFormulas", Kind::kGet, {}, &Bind<Window, &Window::GetFormulas>},
        {0x284,
         "DisplayFormulas",
         Kind::kPut,
         {kRequired(Arg::kBoolean)},
         &Bind<Window, &Window::PutFormulas>},
    };
    return table;
  }
  HRESULT GetFormulas(Call& call) {
    if (call.result) {
      call.result->vt = VT_BOOL;
      call.result->boolVal = TheBook().displayFormulas ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
  }
  HRESULT PutFormulas(Call& call) {
    TheBook().displayFormulas = call.Flag(0, false);
    return S_OK;
  }
};

class Range : public BookObject {
 public:
  Range(std::shared_ptr<HostState> state, std::shared_ptr<Book> book, std::size_t sheet,
        CellRef ref)
      : BookObject(std::move(state), "Range", std::move(book)), sheet_(sheet), ref_(ref) {}

 private:
  const MemberTable& Members() const override {
    static const MemberTable table = {
        {0x6, "Value", Kind::kGet, {}, &Bind<Range, &Range::GetValue>},
        {0x6, "Value", Kind::kPut, {kRequired(Arg::kValue)}, &Bind<Range, &Range::PutValue>},
        {0x105, "Formula", Kind::kGet, {}, &Bind<Range, &Range::GetFormula>},
        {0x105, "Formula", Kind::kPut, {kRequired(Arg::kString)}, &Bind<Range, &Range::PutFormula>},
    };
    return table;
  }
  std::map<CellRef, Cell>& Cells() const { return TheBook().data.sheets[sheet_].cells; }
  HRESULT GetValue(Call& call);
  HRESULT PutValue(Call& call);
  // What was typed into the cell: a constant or a formula; empty for an empty cell.
  HRESULT GetFormula(Call& call) {
    auto found = Cells().find(ref_);
    return ReturnText(call, found == Cells().end() ? std::wstring() : Widen(found->second.content));
  }
  HRESULT PutFormula(Call& call) {
    std::string content = Narrow(call.args[0]->bstrVal);
    if (content.empty()) {
      Cells().erase(ref_);
    } else {
      Cells()[ref_] = Cell{std::move(content), {}};
    }
    return S_OK;
  }

  std::size_t sheet_;
  CellRef ref_;
};

HRESULT Range::GetValue(Call& call) {
  auto found = Cells().find(ref_);
  if (!call.result || found == Cells().end()) return S_OK;
  const std::string& shown = found->second.Shown(false);
  char* end = nullptr;
  const double number = std::strtod(shown.c_str(), &end);
  if (!shown.empty() && end == shown.c_str() + shown.size() && shown[0] != ' ') {
    call.result->vt = VT_R8;
    call.result->dblVal = number;
    return S_OK;
  }
  const std::wstring text = Widen(shown);
  call.result->vt = VT_BSTR;
  call.result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return S_OK;
}

HRESULT Range::PutValue(Call& call) {
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(call.args[0]), 0, VT_BSTR))) {
    return Raise(call, "The value cannot be stored");
  }
  std::string content = Narrow(text.bstrVal);
  VariantClear(&text);
  if (content.empty()) {
    Cells().erase(ref_);
  } else {
    Cells()[ref_] = Cell{std::move(content), {}};
  }
  return S_OK;
}

class Worksheet : public BookObject {
 public:
  Worksheet(std::shared_ptr<HostState> state, std::shared_ptr<Book> book, std::size_t index)
      : BookObject(std::move(state), "Worksheet", std::move(book)), index_(index) {}

 private:
  const MemberTable& Members() const override {
    static const MemberTable table = {
        {0x130, "Activate", Kind::kMethod, {}, &Bind<Worksheet, &Worksheet::Activate>},
        {0x6E, "Name", Kind::kGet, {}, &Bind<Worksheet, &Worksheet::GetName>},
        {0xC5,
         "Range",
         Kind::kGet,
         {kRequired(Arg::kString), kOptional(Arg::kString)},
         &Bind<Worksheet, &Worksheet::GetRange>},
        {0x227,
         "Copy",
         Kind::kMethod,
         {kOptional(Arg::kObject, "Before"), kOptional(Arg::kObject, "After")},
         &Bind<Worksheet, &Worksheet::Copy>},
    };
    return table;
  }
  IUnknown* Extension(REFIID riid) override {
    if (!IsEqualIID(riid, kStandInSheetId)) return nullptr;
    AddRef();
    return static_cast<IDispatch*>(this);
  }
  HRESULT Copy(Call& call);
  HRESULT Activate(Call& call) {
    if (State().active != SharedBook()) {
      return Raise(call, "Activate method of Worksheet class failed: its workbook is not active");
    }
    TheBook().activeSheet = index_;
    return S_OK;
  }
  HRESULT GetName(Call& call) {
    if (!call.result) return S_OK;
    const std::wstring name = Widen(TheBook().data.sheets[index_].name);
    call.result->vt = VT_BSTR;
    call.result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    return S_OK;
  }
  HRESULT GetRange(Call& call) {
    const std::string first = Narrow(call.args[0]->bstrVal);
    const std::string last = call.args[1] ? Narrow(call.args[1]->bstrVal) : first;
    std::optional<CellRef> ref = ParseCellName(first);
    // Ranges of one cell are all the stand-in has needed so far.
    if (!ref || ParseCellName(last) != ref) {
      return Raise(call, "Range " + first + ":" + last + " is not a single cell");
    }
    return ReturnObject(call, new Range(SharedState(), SharedBook(), index_, *ref));
  }

  std::size_t index_;
};

// A sheet name not yet used in the book: the name itself, else the name with " (2)", " (3)"...
std::string UnusedSheetName(const Book& book, const std::string& name) {
  const auto used = [&](const std::string& candidate) {
    for (const Sheet& sheet : book.data.sheets) {
      if (_stricmp(sheet.name.c_str(), candidate.c_str()) == 0) return true;
    }
    return false;
  };
  std::string candidate = name;
  for (int n = 2; used(candidate); ++n) candidate = name + " (" + std::to_string(n) + ")";
  return candidate;
}

// Copies the sheet before or after a sheet of any open workbook, or into a new workbook when
// neither is given; the copy becomes the active sheet of the active workbook.
HRESULT Worksheet::Copy(Call& call) {
  if (call.args[0] && call.args[1]) return Raise(call, "Copy takes Before or After, not both");
  Sheet copy = TheBook().data.sheets[index_];
  std::shared_ptr<Book> target;
  std::size_t position = 0;
  if (const VARIANT* where = call.args[0] ? call.args[0] : call.args[1]) {
    IUnknown* found = nullptr;
    if (!where->pdispVal || FAILED(where->pdispVal->QueryInterface(
                                kStandInSheetId, reinterpret_cast<void**>(&found)))) {
      return Raise(call, "Copy method of Worksheet class failed: not a worksheet");
    }
    auto* other = static_cast<Worksheet*>(static_cast<IDispatch*>(found));
    target = other->SharedBook();
    position = other->index_ + (call.args[1] ? 1 : 0);
    found->Release();
    if (!target->open) return Raise(call, "Copy method of Worksheet class failed: closed workbook");
  } else {
    target = std::make_shared<Book>();
    target->path = L"Book" + std::to_wstring(++State().newBooks);
    State().books.push_back(target);
  }
  copy.name = UnusedSheetName(*target, copy.name);
  target->data.sheets.insert(target->data.sheets.begin() + static_cast<long>(position),
                             std::move(copy));
  target->activeSheet = position;
  State().active = target;
  return S_OK;
}

class Worksheets : public BookObject {
 public:
  Worksheets(std::shared_ptr<HostState> state, std::shared_ptr<Book> book)
      : BookObject(std::move(state), "Worksheets", std::move(book)) {}

 private:
  const MemberTable& Members() const override {
    static const MemberTable table = {
        {0x76, "Count", Kind::kGet, {}, &Bind<Worksheets, &Worksheets::GetCount>},
        {0xAA,
         "Item",
         Kind::kGet,
         {kRequired(Arg::kIntOrString)},
         &Bind<Worksheets, &Worksheets::GetItem>},
    };
    return table;
  }
  // Positions of the worksheets among all sheets; chart sheets are not in the collection.
  std::vector<std::size_t> Positions() const {
    std::vector<std::size_t> positions;
    const std::vector<Sheet>& sheets = TheBook().data.sheets;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      if (sheets[i].kind == SheetKind::kWorksheet) positions.push_back(i);
    }
    return positions;
  }
  HRESULT GetCount(Call& call) {
    if (call.result) {
      call.result->vt = VT_I4;
      call.result->lVal = static_cast<LONG>(Positions().size());
    }
    return S_OK;
  }
  HRESULT GetItem(Call& call);
};

HRESULT Worksheets::GetItem(Call& call) {
  const std::vector<std::size_t> positions = Positions();
  const VARIANT& index = *call.args[0];
  if (index.vt == VT_BSTR) {
    const std::wstring wanted(index.bstrVal, SysStringLen(index.bstrVal));
    for (std::size_t position : positions) {
      const std::wstring name = Widen(TheBook().data.sheets[position].name);
      if (CompareStringOrdinal(name.c_str(), -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) {
        return ReturnObject(call, new Worksheet(SharedState(), SharedBook(), position));
      }
    }
    return DISP_E_BADINDEX;
  }
  const long number = ToLong(index);
  if (number < 1 || number > static_cast<long>(positions.size())) return DISP_E_BADINDEX;
  return ReturnObject(call, new Worksheet(SharedState(), SharedBook(), positions[number - 1]));
}

class WorkbookObject : public BookObject {
 public:
  WorkbookObject(std::shared_ptr<HostState> state, std::shared_ptr<Book> book)
      : BookObject(std::move(state), "Workbook", std::move(book)) {}

 private:
  const MemberTable& Members() const override;
  HRESULT Activate(Call&) {
    State().active = SharedBook();
    return S_OK;
  }
  HRESULT GetWorksheets(Call& call) {
    return ReturnObject(call, new Worksheets(SharedState(), SharedBook()));
  }
  HRESULT SaveAs(Call& call);
  HRESULT Close(Call& call);
  HRESULT Save(Call& call, const std::wstring& path, bool text);
};

const MemberTable& WorkbookObject::Members() const {
  using W = WorkbookObject;
  static const MemberTable table = {
      {0x130, "Activate", Kind::kMethod, {}, &Bind<W, &W::Activate>},
      {0x1EE, "Worksheets", Kind::kGet, {}, &Bind<W, &W::GetWorksheets>},
      // FileName, FileFormat, Password, WriteResPassword, ReadOnlyRecommended, CreateBackup,
      // AccessMode, ConflictResolution, AddToMru, TextCodepage, TextVisualLayout.
      {0x11C,
       "SaveAs",
       Kind::kMethod,
       {kRequired(Arg::kString), kOptional(Arg::kInteger), kOptional(Arg::kString),
        kOptional(Arg::kString), kOptional(Arg::kBoolean), kOptional(Arg::kBoolean),
        kOptional(Arg::kInt32), kOptional(Arg::kInteger), kOptional(Arg::kBoolean),
        kOptional(Arg::kInteger), kOptional(Arg::kInteger)},
       &Bind<W, &W::SaveAs>},
      // SaveChanges, Filename, RouteWorkbook.
      {0x115,
       "Close",
       Kind::kMethod,
       {kOptional(Arg::kBoolean), kOptional(Arg::kString), kOptional(Arg::kBoolean)},
       &Bind<W, &W::Close>},
  };
  return table;
}

HRESULT WorkbookObject::Save(Call& call, const std::wstring& path, bool text) {
  Book& book = TheBook();
  std::string bytes;
  if (text) {
    const Sheet& sheet = book.data.sheets[book.activeSheet];
    if (sheet.kind != SheetKind::kWorksheet) return Raise(call, "A chart sheet cannot be text");
    bytes = SheetToText(sheet, book.displayFormulas);
  } else {
    bytes = WriteWorkbook(book.data);
  }
  if (!WriteFile(path, bytes)) return Raise(call, "Cannot access '" + Narrow(path) + "'");
  return S_OK;
}

HRESULT WorkbookObject::SaveAs(Call& call) {
  Book& book = TheBook();
  const std::wstring path = call.Text(0);
  const long format =
      call.args[1] ? ToLong(*call.args[1]) : (book.text ? kFormatTabText : kFormatWorkbook);
  if (format != kFormatTabText && format != kFormatWorkbook) {
    return Raise(call, "File format " + std::to_string(format) + " is not supported");
  }
  std::error_code ignored;
  // With alerts on the host would ask before replacing a file; nobody answers, so it stops.
  if (State().displayAlerts && std::filesystem::exists(path, ignored)) {
    return Raise(call, "A file named '" + Narrow(path) + "' already exists");
  }
  const HRESULT saved = Save(call, path, format == kFormatTabText);
  if (FAILED(saved)) return saved;
  book.path = path;
  book.text = format == kFormatTabText;
  book.readOnly = false;
  return S_OK;
}

HRESULT WorkbookObject::Close(Call& call) {
  Book& book = TheBook();
  if (call.Flag(0, false)) {
    if (book.readOnly) return Raise(call, "The workbook is read-only");
    const HRESULT saved = Save(call, book.path, book.text);
    if (FAILED(saved)) return saved;
  }
  State().Close(SharedBook());
  return S_OK;
}

class Workbooks : public HostObject {
 public:
  explicit Workbooks(std::shared_ptr<HostState> state)
      : HostObject(std::move(state), "Workbooks") {}

 private:
  const MemberTable& Members() const override {
    // FileName, UpdateLinks, ReadOnly, Format, Password, WriteResPassword,
    // IgnoreReadOnlyRecommended, Origin, Delimiter, Editable, Notify, Converter, AddToMru.
    static const MemberTable table = {
        {0x2AA,
         "Open",
         Kind::kMethod,
         {kRequired(Arg::kString), kOptional(Arg::kInteger), kOptional(Arg::kBoolean),
          kOptional(Arg::kInteger), kOptional(Arg::kString), kOptional(Arg::kString),
          kOptional(Arg::kBoolean), kOptional(Arg::kInteger), kOptional(Arg::kIntOrString),
          kOptional(Arg::kBoolean), kOptional(Arg::kBoolean), kOptional(Arg::kInteger),
          kOptional(Arg::kBoolean)},
         &Bind<Workbooks, &Workbooks::Open>},
        {0xB5,
         "Add",
         Kind::kMethod,
         {kOptional(Arg::kValue, "Template")},
         &Bind<Workbooks, &Workbooks::Add>},
        {0x76, "Count", Kind::kGet, {}, &Bind<Workbooks, &Workbooks::GetCount>},
    };
    return table;
  }
  HRESULT Open(Call& call);
  // The open workbooks, so that tests can see a command leave none of its own behind.
  HRESULT GetCount(Call& call) {
    if (call.result) {
      call.result->vt = VT_I4;
      call.result->lVal = static_cast<LONG>(State().books.size());
    }
    return S_OK;
  }
  // A new workbook of one empty worksheet, made the active one; templates are not modelled.
  HRESULT Add(Call& call) {
    if (call.args[0]) return Raise(call, "Templates are not modelled");
    auto book = std::make_shared<Book>();
    book->path = L"Book" + std::to_wstring(++State().newBooks);
    book->data.sheets.push_back(Sheet{"Sheet1", SheetKind::kWorksheet, {}});
    State().books.push_back(book);
    State().active = book;
    return ReturnObject(call, new WorkbookObject(SharedState(), book));
  }
};

HRESULT Workbooks::Open(Call& call) {
  auto book = std::make_shared<Book>();
  book->path = call.Text(0);
  const std::string shown = Narrow(book->path);
  std::optional<std::string> bytes = ReadFile(book->path);
  if (!bytes) return Raise(call, "'" + shown + "' could not be found");
  if (IsWorkbookFile(*bytes)) {
    std::string why;
    std::optional<Workbook> data = ReadWorkbook(*bytes, &why);
    if (!data) return Raise(call, "'" + shown + "' is damaged: " + why);
    book->data = std::move(*data);
  } else {
    const std::string stem = Narrow(std::filesystem::path(book->path).stem().wstring());
    book->data.sheets.push_back(TextToSheet(*bytes, stem));
    book->text = true;
  }
  book->readOnly = call.Flag(2, false);
  State().books.push_back(book);
  State().active = book;
  return ReturnObject(call, new WorkbookObject(SharedState(), book));
}

// {000C0351-0000-0000-C000-000000000046}: the events interface of a command bar button; its
// member 1 is Click(Ctrl As CommandBarButton, CancelDefault As Boolean by reference).
constexpr IID kButtonEventsId = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID kClickId = 1;

void MarkDeleted(BarNode& node) {
  node.deleted = true;
  node.sinks.clear();
  for (const std::shared_ptr<BarNode>& child : node.children) MarkDeleted(*child);
}

HostObject* NewControl(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node);
HostObject* NewBar(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node);
HostObject* NewControls(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node);

// The Click connection point of one button, and its container. Each query from the control
// makes a new one, which keeps the control alive and answers every other interface as the
// control does.
class ClickEvents final : public IConnectionPointContainer, public IConnectionPoint {
 public:
  ClickEvents(IDispatch* control, std::shared_ptr<HostState> state, std::shared_ptr<BarNode> node,
              std::string owner)
      : control_(control),
        state_(std::move(state)),
        node_(std::move(node)),
        owner_(std::move(owner)) {
    control_->AddRef();
    ++g_objects;
  }
  ~ClickEvents() {
    control_->Release();
    --g_objects;
    CheckIdle();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
      *out = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(riid, IID_IConnectionPoint)) {
      *out = static_cast<IConnectionPoint*>(this);
    } else {
      return control_->QueryInterface(riid, out);
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, kButtonEventsId)) return CONNECT_E_NOCONNECTION;
    *out = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = kButtonEventsId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    if (!out) return E_POINTER;
    *out = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    const bool found = node_->sinks.erase(cookie) > 0;
    state_->Log(owner_ + " Unadvise(" + std::to_string(cookie) + ")" + (found ? "" : " failed"));
    return found ? S_OK : CONNECT_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  std::atomic<long> refs_{1};
  IDispatch* control_;
  std::shared_ptr<HostState> state_;
  std::shared_ptr<BarNode> node_;
  std::string owner_;
};

// The host asks the sink for the events interface itself, so a sink that answers only
// IDispatch is refused.
HRESULT ClickEvents::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  IDispatch* events = nullptr;
  if (node_->deleted ||
      FAILED(sink->QueryInterface(kButtonEventsId, reinterpret_cast<void**>(&events)))) {
    state_->Log(owner_ + " Advise failed");
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = state_->nextCookie++;
  node_->sinks.emplace(*cookie, DispatchRef(events));
  state_->Log(owner_ + " Advise() = " + std::to_string(*cookie));
  return S_OK;
}

class CommandBarControl : public HostObject {
 public:
  CommandBarControl(std::shared_ptr<HostState> state, std::shared_ptr<BarNode> node)
      : HostObject(std::move(state),
                   node->type == kControlPopup ? "CommandBarPopup" : "CommandBarButton"),
        node_(std::move(node)) {}

 private:
  const MemberTable& Members() const override;
  const char* Detached() const override {
    return node_->deleted ? "The control has been deleted" : nullptr;
  }
  IUnknown* Extension(REFIID riid) override {
    if (node_->type != kControlButton || !IsEqualIID(riid, IID_IConnectionPointContainer)) {
      return nullptr;
    }
    return static_cast<IConnectionPointContainer*>(
        new ClickEvents(this, SharedState(), node_, Name()));
  }
  HRESULT PutText(Call& call, std::wstring& field) {
    field = call.Text(0);
    return S_OK;
  }
  HRESULT GetCaption(Call& call) { return ReturnText(call, node_->caption); }
  HRESULT PutCaption(Call& call) { return PutText(call, node_->caption); }
  HRESULT GetTag(Call& call) { return ReturnText(call, node_->tag); }
  HRESULT PutTag(Call& call) { return PutText(call, node_->tag); }
  HRESULT GetOnAction(Call& call) { return ReturnText(call, node_->onAction); }
  HRESULT PutOnAction(Call& call) { return PutText(call, node_->onAction); }
  HRESULT GetType(Call& call) {
    if (call.result) {
      call.result->vt = VT_I4;
      call.result->lVal = node_->type;
    }
    return S_OK;
  }
  HRESULT GetControls(Call& call);
  HRESULT GetCommandBar(Call& call);
  HRESULT Delete(Call& call);
  HRESULT Execute(Call& call);

  std::shared_ptr<BarNode> node_;
};

const MemberTable& CommandBarControl::Members() const {
  using C = CommandBarControl;
  static const MemberTable table = {
      {0x60030000, "Caption", Kind::kGet, {}, &Bind<C, &C::GetCaption>},
      {0x60030000, "Caption", Kind::kPut, {kRequired(Arg::kString)}, &Bind<C, &C::PutCaption>},
      {0x6003002E, "Tag", Kind::kGet, {}, &Bind<C, &C::GetTag>},
      {0x6003002E, "Tag", Kind::kPut, {kRequired(Arg::kString)}, &Bind<C, &C::PutTag>},
      {0x60030022, "OnAction", Kind::kGet, {}, &Bind<C, &C::GetOnAction>},
      {0x60030022, "OnAction", Kind::kPut, {kRequired(Arg::kString)}, &Bind<C, &C::PutOnAction>},
      {0x60030035, "Type", Kind::kGet, {}, &Bind<C, &C::GetType>},
      {0x6003000A,
       "Delete",
       Kind::kMethod,
       {kOptional(Arg::kBoolean, "Temporary")},
       &Bind<C, &C::Delete>},
      {0x6003000F, "Execute", Kind::kMethod, {}, &Bind<C, &C::Execute>},
      {0x60040000, "Controls", Kind::kGet, {}, &Bind<C, &C::GetControls>},
      {0x60040001, "CommandBar", Kind::kGet, {}, &Bind<C, &C::GetCommandBar>},
  };
  return table;
}

HRESULT CommandBarControl::GetControls(Call& call) {
  if (node_->type != kControlPopup) return Raise(call, "A button has no controls");
  return ReturnObject(call, NewControls(SharedState(), node_));
}

HRESULT CommandBarControl::GetCommandBar(Call& call) {
  if (node_->type != kControlPopup) return Raise(call, "A button has no command bar");
  return ReturnObject(call, NewBar(SharedState(), node_));
}

HRESULT CommandBarControl::Delete(Call&) {
  if (std::shared_ptr<BarNode> parent = node_->parent.lock()) std::erase(parent->children, node_);
  MarkDeleted(*node_);
  return S_OK;
}

// Clicking a button tells every advised sink, each through its own reference, so a sink that
// unadvises or deletes the control while it handles the click does no harm.
HRESULT CommandBarControl::Execute(Call&) {
  if (node_->type != kControlButton) return S_OK;
  std::vector<DispatchRef> sinks;
  for (const auto& [cookie, sink] : node_->sinks) {
    sink->AddRef();
    sinks.emplace_back(sink.get());
  }
  for (const DispatchRef& sink : sinks) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2];
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = NewControl(SharedState(), node_);
    DISPPARAMS params{args, nullptr, 2, 0};
    const HRESULT hr = sink->Invoke(kClickId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                    &params, nullptr, nullptr, nullptr);
    args[1].pdispVal->Release();
    State().Log(Name() + " Click " + Hex(hr));
  }
  return S_OK;
}

// A command bar, or the bar of a pop-up control, with its controls.
class CommandBarControls : public HostObject {
 public:
  CommandBarControls(std::shared_ptr<HostState> state, std::shared_ptr<BarNode> node)
      : HostObject(std::move(state), "CommandBarControls"), node_(std::move(node)) {}

 private:
  const MemberTable& Members() const override;
  const char* Detached() const override {
    return node_->deleted ? "The control has been deleted" : nullptr;
  }
  HRESULT GetCount(Call& call) {
    if (call.result) {
      call.result->vt = VT_I4;
      call.result->lVal = static_cast<LONG>(node_->children.size());
    }
    return S_OK;
  }
  HRESULT GetItem(Call& call) {
    const long index = ToLong(*call.args[0]);
    if (index < 1 || index > static_cast<long>(node_->children.size())) return DISP_E_BADINDEX;
    return ReturnObject(call, NewControl(SharedState(), node_->children[index - 1]));
  }
  HRESULT Add(Call& call);

  std::shared_ptr<BarNode> node_;
};

const MemberTable& CommandBarControls::Members() const {
  using C = CommandBarControls;
  static const MemberTable table = {
      {0x60030000, "Count", Kind::kGet, {}, &Bind<C, &C::GetCount>},
      {0x0, "Item", Kind::kGet, {kRequired(Arg::kInteger, "Index")}, &Bind<C, &C::GetItem>},
      {0x60030001,
       "Add",
       Kind::kMethod,
       {kOptional(Arg::kInteger, "Type"), kOptional(Arg::kInteger, "Id"),
        kOptional(Arg::kValue, "Parameter"), kOptional(Arg::kInteger, "Before"),
        kOptional(Arg::kBoolean, "Temporary")},
       &Bind<C, &C::Add>},
  };
  return table;
}

HRESULT CommandBarControls::Add(Call& call) {
  const long type = call.args[0] ? ToLong(*call.args[0]) : kControlButton;
  if (type != kControlButton && type != kControlPopup) {
    return Raise(call, "Control type " + std::to_string(type) + " is not supported");
  }
  const long count = static_cast<long>(node_->children.size());
  const long before = call.args[3] ? ToLong(*call.args[3]) : count + 1;
  if (before < 1 || before > count + 1) {
    return Raise(call, "Position " + std::to_string(before) + " is outside the bar");
  }
  auto control = std::make_shared<BarNode>();
  control->type = type;
  control->temporary = call.Flag(4, false);
  control->parent = node_;
  node_->children.insert(node_->children.begin() + (before - 1), control);
  return ReturnObject(call, NewControl(SharedState(), control));
}

class CommandBar : public HostObject {
 public:
  CommandBar(std::shared_ptr<HostState> state, std::shared_ptr<BarNode> node)
      : HostObject(std::move(state), "CommandBar"), node_(std::move(node)) {}

 private:
  const MemberTable& Members() const override {
    static const MemberTable table = {
        {0x60030002, "Controls", Kind::kGet, {}, &Bind<CommandBar, &CommandBar::GetControls>},
        {0x60030003, "Name", Kind::kGet, {}, &Bind<CommandBar, &CommandBar::GetName>},
    };
    return table;
  }
  const char* Detached() const override {
    return node_->deleted ? "The control has been deleted" : nullptr;
  }
  HRESULT GetControls(Call& call) {
    return ReturnObject(call, new CommandBarControls(SharedState(), node_));
  }
  HRESULT GetName(Call& call) { return ReturnText(call, node_->caption); }

  std::shared_ptr<BarNode> node_;
};

HostObject* NewControl(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node) {
  return new CommandBarControl(state, std::move(node));
}
HostObject* NewBar(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node) {
  return new CommandBar(state, std::move(node));
}
HostObject* NewControls(const std::shared_ptr<HostState>& state, std::shared_ptr<BarNode> node) {
  return new CommandBarControls(state, std::move(node));
}

// The first control below `node`, depth first, that matches every criterion given.
std::shared_ptr<BarNode> FindBelow(const BarNode& node, const std::optional<long>& type,
                                   const std::optional<std::wstring>& tag) {
  for (const std::shared_ptr<BarNode>& child : node.children) {
    if ((!type || child->type == *type) && (!tag || child->tag == *tag)) return child;
    if (std::shared_ptr<BarNode> found = FindBelow(*child, type, tag)) return found;
  }
  return nullptr;
}

class CommandBars : public HostObject {
 public:
  explicit CommandBars(std::shared_ptr<HostState> state)
      : HostObject(std::move(state), "CommandBars") {}

 private:
  const MemberTable& Members() const override;
  HRESULT GetCount(Call& call) {
    if (call.result) {
      call.result->vt = VT_I4;
      call.result->lVal = static_cast<LONG>(State().bars.size());
    }
    return S_OK;
  }
  HRESULT GetItem(Call& call);
  HRESULT FindControl(Call& call);
};

const MemberTable& CommandBars::Members() const {
  using C = CommandBars;
  static const MemberTable table = {
      {0x60030001, "Count", Kind::kGet, {}, &Bind<C, &C::GetCount>},
      {0x0, "Item", Kind::kGet, {kRequired(Arg::kIntOrString, "Index")}, &Bind<C, &C::GetItem>},
      // Type, Id, Tag, Visible; the id and visibility of controls are not modelled.
      {0x60030003,
       "FindControl",
       Kind::kMethod,
       {kOptional(Arg::kInteger, "Type"), kOptional(Arg::kInteger, "Id"),
        kOptional(Arg::kString, "Tag"), kOptional(Arg::kBoolean, "Visible")},
       &Bind<C, &C::FindControl>},
  };
  return table;
}

HRESULT CommandBars::GetItem(Call& call) {
  const VARIANT& index = *call.args[0];
  const std::vector<std::shared_ptr<BarNode>>& bars = State().bars;
  if (index.vt == VT_BSTR) {
    const std::wstring wanted(index.bstrVal, SysStringLen(index.bstrVal));
    for (const std::shared_ptr<BarNode>& bar : bars) {
      if (bar->caption == wanted) return ReturnObject(call, NewBar(SharedState(), bar));
    }
    return DISP_E_BADINDEX;
  }
  const long number = ToLong(index);
  if (number < 1 || number > static_cast<long>(bars.size())) return DISP_E_BADINDEX;
  return ReturnObject(call, NewBar(SharedState(), bars[number - 1]));
}

// Searches every bar, pop-ups included; nothing found is Nothing, not an error.
HRESULT CommandBars::FindControl(Call& call) {
  if (call.args[1] || call.args[3]) return Raise(call, "Id and Visible are not modelled");
  std::optional<long> type;
  if (call.args[0]) type = ToLong(*call.args[0]);
  std::optional<std::wstring> tag;
  if (call.args[2]) tag = call.Text(2);
  for (const std::shared_ptr<BarNode>& bar : State().bars) {
    if (std::shared_ptr<BarNode> found = FindBelow(*bar, type, tag)) {
      return ReturnObject(call, NewControl(SharedState(), found));
    }
  }
  return ReturnNothing(call);
}

class Application : public HostObject {
 public:
  explicit Application(std::shared_ptr<HostState> state)
      : HostObject(std::move(state), "Application") {}

 private:
  const MemberTable& Members() const override {
    using A = Application;
    static const MemberTable table = {
        {0x22E, "Visible", Kind::kPut, {kRequired(Arg::kBoolean)}, &Bind<A, &A::PutVisible>},
        {0x157, "DisplayAlerts", Kind::kGet, {}, &Bind<A, &A::GetAlerts>},
        {0x157, "DisplayAlerts", Kind::kPut, {kRequired(Arg::kBoolean)}, &Bind<A, &A::PutAlerts>},
        {0x23C, "Workbooks", Kind::kGet, {}, &Bind<A, &A::GetWorkbooks>},
        {0x2F7, "ActiveWindow", Kind::kGet, {}, &Bind<A, &A::GetActiveWindow>},
        {0x12E, "Quit", Kind::kMethod, {}, &Bind<A, &A::Quit>},
        {0x59F, "CommandBars", Kind::kGet, {}, &Bind<A, &A::GetCommandBars>},
        {0x134, "ActiveWorkbook", Kind::kGet, {}, &Bind<A, &A::GetActiveWorkbook>},
        {0x133, "ActiveSheet", Kind::kGet, {}, &Bind<A, &A::GetActiveSheet>},
    };
    return table;
  }
  HRESULT PutVisible(Call& call) {
    State().visible = call.Flag(0, false);
    return S_OK;
  }
  HRESULT GetAlerts(Call& call) {
    if (call.result) {
      call.result->vt = VT_BOOL;
      call.result->boolVal = State().displayAlerts ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
  }
  HRESULT PutAlerts(Call& call) {
    State().displayAlerts = call.Flag(0, true);
    return S_OK;
  }
  HRESULT GetWorkbooks(Call& call) { return ReturnObject(call, new Workbooks(SharedState())); }
  HRESULT GetCommandBars(Call& call) { return ReturnObject(call, new CommandBars(SharedState())); }
  HRESULT GetActiveWorkbook(Call& call) {
    if (!State().active) return ReturnNothing(call);
    return ReturnObject(call, new WorkbookObject(SharedState(), State().active));
  }
  HRESULT GetActiveSheet(Call& call) {
    const std::shared_ptr<Book>& book = State().active;
    if (!book) return ReturnNothing(call);
    return ReturnObject(call, new Worksheet(SharedState(), book, book->activeSheet));
  }
  HRESULT GetActiveWindow(Call& call) {
    // Without an open workbook the host has no window and answers Nothing.
    if (!State().active) {
      if (call.result) call.result->vt = VT_DISPATCH;
      return S_OK;
    }
    return ReturnObject(call, new Window(SharedState(), State().active));
  }
  HRESULT Quit(Call&) {
    for (const std::shared_ptr<Book>& book : State().books) book->open = false;
    State().books.clear();
    State().active = nullptr;
    State().quit = true;
    return S_OK;
  }
};

HRESULT CreateApplication(REFIID riid, void** out) {
  return win32::HandOut(new Application(std::make_shared<HostState>()), riid, out);
}

void CountLock(bool lock) {
  if (lock) {
    AddServerLock();
  } else {
    RemoveServerLock();
  }
}

}  // namespace

long LiveObjects() {
  return g_objects + g_locks;
}
void SetIdleCallback(void (*callback)()) {
  g_idle = callback;
}
void AddServerLock() {
  ++g_locks;
}
void RemoveServerLock() {
  --g_locks;
  CheckIdle();
}

IClassFactory* HostClassFactory() {
  static win32::StaticClassFactory factory(CreateApplication, CountLock);
  return &factory;
}

}  // namespace tabulex::standin
