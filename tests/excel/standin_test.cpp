// The host stand-in refuses every call the host refuses, by its dispatch or by raising an error,
// so a caller that passes its checks makes the calls the host expects: the application's own
// members, opening workbooks, and the members the add-in uses.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <utility>
#include <vector>

#include "converter/driver/excel/Automation.h"
#include "tests/excel/StandInHarness.h"

namespace tabulex::testing {
namespace {

// Arguments as the bridge builds them: true and false as 16-bit integers, texts as BSTRs.
using Arg = automation::Variant;

// An object argument; it holds a reference of its own.
Arg ObjectArg(IDispatch* object) {
  Arg arg;
  object->AddRef();
  arg.Out()->vt = VT_DISPATCH;
  arg.Out()->pdispVal = object;
  return arg;
}

struct Named {
  const wchar_t* name;
  Arg value;
};

// One late-bound call as a client makes it: the member and its named arguments resolved in
// one GetIDsOfNames call, named arguments first, positional ones last to first. A put gets
// DISPID_PROPERTYPUT as its one named argument only when `putId` says so.
HRESULT Call(IDispatch* object, const wchar_t* member, WORD flags, std::vector<Arg> positional,
             std::vector<Named> named = {}, bool putId = true, VARIANT* result = nullptr) {
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
  for (const Named& arg : named) names.push_back(const_cast<LPOLESTR>(arg.name));
  std::vector<DISPID> ids(names.size());
  const HRESULT resolved =
      object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), 0, ids.data());
  if (FAILED(resolved)) return resolved;
  std::vector<VARIANT> values;
  for (const Named& arg : named) values.push_back(arg.value.Get());
  std::vector<DISPID> namedIds(ids.begin() + 1, ids.end());
  if ((flags & DISPATCH_PROPERTYPUT) && putId) namedIds.push_back(DISPID_PROPERTYPUT);
  for (auto arg = positional.rbegin(); arg != positional.rend(); ++arg) {
    values.push_back(arg->Get());
  }
  DISPPARAMS params{values.data(), namedIds.data(), static_cast<UINT>(values.size()),
                    static_cast<UINT>(namedIds.size())};
  EXCEPINFO exception{};
  VARIANT ignored;
  VariantInit(&ignored);
  const HRESULT hr = object->Invoke(ids[0], IID_NULL, 0, flags, &params, result ? result : &ignored,
                                    &exception, nullptr);
  VariantClear(&ignored);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr;
}

// Positional arguments in the member's order (a Variant only moves, so no initializer list).
template <typename... Given>
std::vector<Arg> Args(Given... given) {
  std::vector<Arg> args;
  (args.push_back(std::move(given)), ...);
  return args;
}
std::vector<Named> Name(const wchar_t* name, Arg value) {
  std::vector<Named> named;
  named.push_back({name, std::move(value)});
  return named;
}

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kMethod = DISPATCH_METHOD;

// A host stand-in with its call log; objects the test reaches are released at its end.
class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(standin::kHostClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&app_)),
              S_OK);
    Keep(app_);
  }
  void TearDown() override {
    for (auto object = kept_.rbegin(); object != kept_.rend(); ++object) (*object)->Release();
  }
  IDispatch* Keep(IDispatch* object) {
    if (object) kept_.push_back(object);
    return object;
  }
  // The object a member returns, or null.
  IDispatch* Get(IDispatch* object, const wchar_t* member, std::vector<Arg> args = {},
                 std::vector<Named> named = {}) {
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        Call(object, member, kGet | kMethod, std::move(args), std::move(named), true, &result);
    EXPECT_EQ(hr, S_OK) << "getting an object";
    if (result.vt != VT_DISPATCH) {
      VariantClear(&result);
      return nullptr;
    }
    return Keep(result.pdispVal);
  }
  IDispatch* MenuBarControls() {
    return Get(Get(Get(app_, L"CommandBars"), L"Item", Args(Arg::Int32(1))), L"Controls");
  }

  TempFolder temp_;
  CallLog log_{temp_.PathOf("calls.log")};
  IDispatch* app_ = nullptr;
  std::vector<IDispatch*> kept_;
};

TEST_F(StandIn, APutNeedsThePutIdAndTheRightType) {
  VARIANT alerts;
  VariantInit(&alerts);
  EXPECT_EQ(Call(app_, L"DisplayAlerts", kPut, Args(Arg::Bool(false)), {}, false),
            DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(app_, L"DisplayAlerts", kMethod, Args(Arg::Bool(false))), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(app_, L"DisplayAlerts", kPut, Args(Arg::String("no"))), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Call(app_, L"DisplayAlerts", kGet, {}, {}, true, &alerts), S_OK);
  EXPECT_EQ(alerts.vt, VT_BOOL);
  EXPECT_EQ(alerts.boolVal, VARIANT_TRUE);
  EXPECT_EQ(Call(app_, L"DisplayAlerts", kPut, Args(Arg::Bool(false))), S_OK);
  ASSERT_EQ(Call(app_, L"DisplayAlerts", kGet, {}, {}, true, &alerts), S_OK);
  EXPECT_EQ(alerts.boolVal, VARIANT_FALSE);
}

TEST_F(StandIn, ARequiredArgumentCannotBeLeftOutAndUnknownMembersAreRefused) {
  IDispatch* books = Get(app_, L"Workbooks");
  ASSERT_TRUE(books);
  EXPECT_EQ(Call(books, L"Open", kMethod, {}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(books, L"Open", kMethod, Args(Arg::Missing())), DISP_E_PARAMNOTFOUND);
  // Arguments passed in the member's own order put the file name where a Boolean belongs.
  EXPECT_EQ(Call(books, L"Open", kMethod, Args(Arg::Int32(3), Arg::String("book.sbk"))),
            DISP_E_TYPEMISMATCH);
  DISPPARAMS none{};
  EXPECT_EQ(books->Invoke(0x4242, IID_NULL, 0, kMethod, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(log_.Contains("Workbooks#1 call Open() failed 0x80020004"));
}

TEST_F(StandIn, CommandBarsAndTheirControlsRefuseWrongArguments) {
  IDispatch* bars = Get(app_, L"CommandBars");
  IDispatch* controls = MenuBarControls();
  ASSERT_TRUE(bars && controls);
  // FindControl: its arguments by name and of their own types only.
  EXPECT_EQ(Call(bars, L"FindControl", kMethod, {}, Name(L"Tag", Arg::Int32(5))),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(bars, L"FindControl", kMethod, {}, Name(L"Caption", Arg::String("x"))),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(bars, L"FindControl", kMethod, {}, Name(L"Tag", Arg::String("x"))), S_OK);
  EXPECT_EQ(Call(bars, L"Item", kGet, {}), DISP_E_PARAMNOTFOUND);
  // Controls.Add: numbers for Type and Before, a Boolean for Temporary, a place on the bar.
  EXPECT_EQ(Call(controls, L"Add", kMethod, {}, Name(L"Type", Arg::String("10"))),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(controls, L"Add", kMethod, {}, Name(L"Temporary", Arg::String("yes"))),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(controls, L"Add", kMethod, {}, Name(L"Before", Arg::Int32(99))), DISP_E_EXCEPTION);
  EXPECT_EQ(Call(controls, L"Add", kMethod, {}, Name(L"Type", Arg::Int32(4))), DISP_E_EXCEPTION);
  EXPECT_TRUE(log_.Contains("CommandBarControls#1 call Add(Before:=I4:99) failed 0x800A03EC"));
}

TEST_F(StandIn, AControlsPropertiesNeedThePutIdAndTextAndItsMethodsNoArguments) {
  IDispatch* control = Get(MenuBarControls(), L"Add", {}, Name(L"Type", Arg::Int32(1)));
  ASSERT_TRUE(control);
  for (const wchar_t* property : {L"Caption", L"Tag", L"OnAction"}) {
    SCOPED_TRACE(::testing::Message() << property);
    EXPECT_EQ(Call(control, property, kPut, Args(Arg::String("x")), {}, false),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(Call(control, property, kPut, Args(Arg::Int32(1))), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(control, property, kMethod, Args(Arg::String("x"))), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(control, property, kPut, Args(Arg::String("x"))), S_OK);
  }
  EXPECT_EQ(Call(control, L"Type", kPut, Args(Arg::Int32(10))), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(control, L"Execute", kMethod, Args(Arg::Int32(1))), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(control, L"Delete", kMethod, {}, Name(L"Temporary", Arg::String("no"))),
            DISP_E_TYPEMISMATCH);
  // A button has no controls of its own; a deleted control answers nothing.
  EXPECT_EQ(Call(control, L"Controls", kGet, {}), DISP_E_EXCEPTION);
  EXPECT_EQ(Call(control, L"Delete", kMethod, {}), S_OK);
  EXPECT_EQ(Call(control, L"Execute", kMethod, {}), DISP_E_EXCEPTION);
}

TEST_F(StandIn, WorkbookSheetAndCellMembersRefuseWrongArguments) {
  // Before any workbook there is no active sheet or workbook: Nothing, not an error.
  VARIANT nothing;
  VariantInit(&nothing);
  EXPECT_EQ(Call(app_, L"ActiveSheet", kGet, {}, {}, true, &nothing), S_OK);
  EXPECT_EQ(nothing.vt, VT_DISPATCH);
  EXPECT_EQ(nothing.pdispVal, nullptr);
  EXPECT_EQ(Call(app_, L"ActiveSheet", kPut, Args(Arg::Int32(1))), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(app_, L"ActiveWorkbook", kPut, Args(Arg::Int32(1))), DISP_E_MEMBERNOTFOUND);

  IDispatch* books = Get(app_, L"Workbooks");
  EXPECT_EQ(Call(books, L"Add", kMethod, Args(Arg::String("template.xlt"))), DISP_E_EXCEPTION);
  EXPECT_EQ(Call(books, L"Add", kMethod, Args(Arg::Missing(), Arg::Missing())),
            DISP_E_BADPARAMCOUNT);
  IDispatch* book = Get(books, L"Add");
  IDispatch* sheet = Get(app_, L"ActiveSheet");
  ASSERT_TRUE(book && sheet);

  // Copy: a worksheet of the host's own, before or after, not both.
  EXPECT_EQ(Call(sheet, L"Copy", kMethod, {}, Name(L"Before", Arg::String("Sheet1"))),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(sheet, L"Copy", kMethod, {}, Name(L"Before", ObjectArg(app_))), DISP_E_EXCEPTION);
  EXPECT_EQ(Call(sheet, L"Copy", kMethod, Args(ObjectArg(sheet), ObjectArg(sheet))),
            DISP_E_EXCEPTION);

  EXPECT_EQ(Call(sheet, L"Range", kGet, {}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(sheet, L"Range", kGet, Args(Arg::Int32(1))), DISP_E_TYPEMISMATCH);
  IDispatch* cell = Get(sheet, L"Range", Args(Arg::String("A1")));
  ASSERT_TRUE(cell);
  // Formula takes text only; Value any simple value but not an object; both need the put id.
  EXPECT_EQ(Call(cell, L"Formula", kPut, Args(Arg::Int32(0))), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(cell, L"Formula", kPut, Args(Arg::String("0")), {}, false), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(cell, L"Value", kPut, Args(ObjectArg(app_))), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(cell, L"Value", kPut, Args(Arg::Int32(0)), {}, false), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(cell, L"Formula", kMethod, Args(Arg::String("0"))), DISP_E_MEMBERNOTFOUND);

  // A closed workbook's objects raise the host's error.
  EXPECT_EQ(Call(book, L"Close", kMethod, Args(Arg::String("no"))), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(book, L"Close", kMethod, Args(Arg::Bool(false))), S_OK);
  EXPECT_EQ(Call(cell, L"Formula", kPut, Args(Arg::String("0"))), DISP_E_EXCEPTION);
  EXPECT_EQ(Call(sheet, L"Copy", kMethod, {}), DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace tabulex::testing
