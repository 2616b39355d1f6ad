// The device-link stand-in as a COM server: created by its ProgID, its dispatch as strict as
// a type library's, and the link's failures raised with their code and text.
#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>

#include "components/DeviceLinkStandIn.h"
#include "components/VarFileStandIn.h"
#include "components/com/DeviceLink.h"
#include "converter/driver/FileTypes.h"
#include "tests/addin/AddinHarness.h"

namespace tabulex::testing {
namespace {

class DeviceLinkServer : public ::testing::Test {
 protected:
  void SetUp() override {
    DisconnectCalculator();
    std::filesystem::create_directories(folder_ / "calculator");
  }
  void TearDown() override { DisconnectCalculator(); }
  // A new component, which reads the "connected" calculator when it is created.
  IDispatch* Create(const std::string& model) {
    ConnectCalculator(model, (folder_ / "calculator").string());
    CLSID classId;
    EXPECT_EQ(CLSIDFromProgID(components::com::kDeviceLinkProgId, &classId), S_OK);
    IDispatch* link = nullptr;
    EXPECT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    return link;
  }
  static DISPID Id(IDispatch* link, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    link->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
  }
  // Invokes a member with positional arguments given last to first; the code and text of the
  // raised error, if any, land in `raised`.
  static HRESULT Invoke(IDispatch* link, const wchar_t* name, WORD flags,
                        std::vector<VARIANT> args = {}, std::vector<DISPID> named = {},
                        std::pair<SCODE, std::string>* raised = nullptr) {
    DISPPARAMS params{args.data(), named.data(), static_cast<UINT>(args.size()),
                      static_cast<UINT>(named.size())};
    EXCEPINFO exception{};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        link->Invoke(Id(link, name), IID_NULL, 0, flags, &params, &result, &exception, nullptr);
    VariantClear(&result);
    const BSTR text = exception.bstrDescription;
    if (raised)
      *raised = {exception.scode, addin::Narrow(text, static_cast<int>(SysStringLen(text)))};
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    return hr;
  }
  std::string WriteKv68File(const std::string& name) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary)
        << *components::WrapKv68(DeviceTypeOf(ZQ_TABULEX_68), "sales", kKv68SheetTag, "cells");
    return path;
  }

  TempFolder temp_;
  const std::filesystem::path& folder_ = temp_.Root();
};

VARIANT Long(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

TEST_F(DeviceLinkServer, RefusesCallsOfTheWrongForm) {
  addin::ComRef<IDispatch> link(Create("KV-68"));
  ASSERT_TRUE(link);
  addin::ComRef<IUnknown> other;
  EXPECT_EQ(link->QueryInterface(IID_IConnectionPointContainer, other.Out()), E_NOINTERFACE);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"SendFile"), const_cast<LPOLESTR>(L"Path")};
  DISPID ids[2];
  EXPECT_EQ(link->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Id(link.Get(), L"Connect"), DISPID_UNKNOWN);

  ASSERT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD), S_OK);
  // SendFile takes exactly one string, by position.
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {Long(1)}), DISP_E_TYPEMISMATCH);
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {missing}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {Long(1)}, {0}), DISP_E_NONAMEDARGS);
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD, {Long(1)}), DISP_E_BADPARAMCOUNT);
  // Model is read only; the methods are no properties.
  DISPID put = DISPID_PROPERTYPUT;
  EXPECT_EQ(Invoke(link.Get(), L"Model", DISPATCH_PROPERTYPUT, {Long(1)}, {put}),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(std::filesystem::is_empty(folder_ / "calculator"));
}

TEST_F(DeviceLinkServer, RaisesTheLinksFailuresWithTheirCodeAndText) {
  addin::ComRef<IDispatch> link(Create(""));
  ASSERT_TRUE(link);
  std::pair<SCODE, std::string> raised;
  EXPECT_EQ(Invoke(link.Get(), L"FindDevice", DISPATCH_METHOD, {}, {}, &raised), DISP_E_EXCEPTION);
  EXPECT_EQ(raised.first, components::kNoDevice);
  EXPECT_EQ(raised.second, ErrorText(components::kNoDevice));

  // The add-in's late-bound calls see the same code.
  const Object object(link.Get());
  try {
    object.GetValue(L"Model");
    ADD_FAILURE() << "a model without a calculator";
  } catch (const addin::AutomationError& e) {
    EXPECT_EQ(e.Code(), components::kNoDevice);
  }
}

TEST_F(DeviceLinkServer, SendsAFileGivenByValueOrByReference) {
  addin::ComRef<IDispatch> link(Create("KV-68T"));
  ASSERT_TRUE(link);
  const Object object(link.Get());
  object.Call(L"FindDevice");
  EXPECT_EQ(object.GetValue(L"Model").Text(), "KV-68T");
  const Variant first(WriteKv68File("first.68y"));
  object.Call(L"SendFile", {&first});

  BSTR second = SysAllocString(addin::Widen(WriteKv68File("second.68y")).c_str());
  VARIANT byReference;
  VariantInit(&byReference);
  byReference.vt = VT_BSTR | VT_BYREF;
  byReference.pbstrVal = &second;
  EXPECT_EQ(Invoke(link.Get(), L"SendFile", DISPATCH_METHOD, {byReference}), S_OK);
  SysFreeString(second);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "calculator" / "first.68y"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "calculator" / "second.68y"));
}

}  // namespace
}  // namespace tabulex::testing
