// The host stand-in is as strict as the host: calls the host would refuse fail here too, so a
// bridge that passes the stand-in's checks makes the calls the host expects.
#include <gtest/gtest.h>
#include <objbase.h>

#include "tests/excel/StandInHarness.h"

namespace tabulex::testing {
namespace {

constexpr DISPID kDisplayAlerts = 0x157;
constexpr DISPID kWorkbooks = 0x23C;
constexpr DISPID kOpen = 0x2AA;

VARIANT Int16(short value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = value;
  return v;
}

VARIANT Missing() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(standin::kHostClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&app)),
              S_OK);
  }
  void TearDown() override {
    if (app) app->Release();
  }
  HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> reversedArgs,
                 bool putId, VARIANT* result = nullptr) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversedArgs.data(), putId ? &named : nullptr,
                      static_cast<UINT>(reversedArgs.size()), putId ? 1u : 0u};
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr =
        object->Invoke(id, IID_NULL, 0, flags, &params, result, &exception, &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
  }
  bool AlertsOn() {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Invoke(app, kDisplayAlerts, DISPATCH_PROPERTYGET, {}, false, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    return result.boolVal != VARIANT_FALSE;
  }
  IDispatch* Workbooks() {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Invoke(app, kWorkbooks, DISPATCH_PROPERTYGET, {}, false, &result), S_OK);
    return result.vt == VT_DISPATCH ? result.pdispVal : nullptr;
  }

  TempFolder temp;
  CallLog log{temp.PathOf("calls.log")};
  IDispatch* app = nullptr;
};

TEST_F(StandIn, APutNeedsThePutIdAndTheRightType) {
  EXPECT_EQ(Invoke(app, kDisplayAlerts, DISPATCH_PROPERTYPUT, {Int16(0)}, false),
            DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Invoke(app, kDisplayAlerts, DISPATCH_METHOD, {Int16(0)}, false), DISP_E_MEMBERNOTFOUND);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"no");
  EXPECT_EQ(Invoke(app, kDisplayAlerts, DISPATCH_PROPERTYPUT, {text}, true), DISP_E_TYPEMISMATCH);
  VariantClear(&text);
  EXPECT_TRUE(AlertsOn());
  EXPECT_EQ(Invoke(app, kDisplayAlerts, DISPATCH_PROPERTYPUT, {Int16(0)}, true), S_OK);
  EXPECT_FALSE(AlertsOn());
}

TEST_F(StandIn, ARequiredArgumentCannotBeLeftOut) {
  IDispatch* books = Workbooks();
  ASSERT_NE(books, nullptr);
  EXPECT_EQ(Invoke(books, kOpen, DISPATCH_METHOD, {}, false), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Invoke(books, kOpen, DISPATCH_METHOD, {Missing()}, false), DISP_E_PARAMNOTFOUND);
  // Arguments in the member's own order put the file name last, where a Boolean belongs.
  VARIANT name;
  VariantInit(&name);
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(L"book.sbk");
  EXPECT_EQ(Invoke(books, kOpen, DISPATCH_METHOD, {name, Int16(3)}, false), DISP_E_TYPEMISMATCH);
  VariantClear(&name);
  EXPECT_EQ(Invoke(books, 0x4242, DISPATCH_METHOD, {}, false), DISP_E_MEMBERNOTFOUND);
  books->Release();
  EXPECT_TRUE(log.Contains("Workbooks#1 call Open() failed 0x80020004"));
}

}  // namespace
}  // namespace tabulex::testing
