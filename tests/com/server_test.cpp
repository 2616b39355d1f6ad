// The converter server as COM sees it: registry entries, type library, creation, aggregation,
// unloading, error-info support and the file-name methods.
#include <gtest/gtest.h>

#include "converter/com/TabulexConverter_h.h"
#include "converter/platform/win32/Bstr.h"
#include "tests/com/ComTestSupport.h"
#include "tests/com/DialogScript.h"

namespace tabulex::testing {
namespace {

constexpr const char* kClassKey = "CLSID\\{B73EBADE-7EE5-4B7D-8614-3B6625B8008F}";
constexpr const char* kClassId = "{B73EBADE-7EE5-4B7D-8614-3B6625B8008F}";
constexpr const char* kLibraryId = "{2E89A416-EC05-4279-BE2F-8911AFF9E636}";

HRESULT CreateConverter(Releaser<ITabulex>& out) {
  return CoCreateInstance(CLSID_Tabulex, nullptr, CLSCTX_INPROC_SERVER, IID_ITabulex, out.Out());
}

// The name and help string of a type library (index -1) or of one of its members.
using Documentation = std::pair<std::string, std::string>;
template <typename Described>
Documentation DocumentationOf(Described* described, MEMBERID id) {
  BSTR name = nullptr;
  BSTR help = nullptr;
  EXPECT_EQ(described->GetDocumentation(id, &name, &help, nullptr, nullptr), S_OK);
  const win32::UniqueBstr ownedName(name), ownedHelp(help);
  return {win32::AnsiFromBstr(name), win32::AnsiFromBstr(help)};
}

// The converter's file name as GetTheFileName gives it.
std::string FileNameOf(ITabulex* converter) {
  BSTR name = nullptr;
  EXPECT_EQ(converter->GetTheFileName(&name), S_OK);
  EXPECT_NE(name, nullptr) << "an empty string, never null";
  const win32::UniqueBstr owned(name);
  return win32::AnsiFromBstr(name);
}

TEST(Registration, WritesTheClassProgIdsAndTypeLibrary) {
  EXPECT_EQ(ClassesValue("Tabulex.Converter.1"), "Tabulex Class");
  EXPECT_EQ(ClassesValue("Tabulex.Converter.1\\CLSID"), kClassId);
  EXPECT_EQ(ClassesValue("Tabulex.Converter"), "Tabulex Class");
  EXPECT_EQ(ClassesValue("Tabulex.Converter\\CLSID"), kClassId);
  EXPECT_EQ(ClassesValue("Tabulex.Converter\\CurVer"), "Tabulex.Converter.1");
  const std::string key = kClassKey;
  EXPECT_EQ(ClassesValue(key), "Tabulex Class");
  EXPECT_EQ(ClassesValue(key + "\\ProgID"), "Tabulex.Converter.1");
  EXPECT_EQ(ClassesValue(key + "\\VersionIndependentProgID"), "Tabulex.Converter");
  const std::string server = ClassesValue(key + "\\InprocServer32").value_or("");
  EXPECT_EQ(lstrcmpiA(server.c_str(), ServerPath(kConverterDll).c_str()), 0) << server;
  EXPECT_EQ(ClassesValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(ClassesValue(key + "\\TypeLib"), kLibraryId);
}

TEST(Registration, TypeLibraryDescribesTheInterface) {
  Releaser<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(LIBID_TABULEXCONVERTERLib, 1, 0, 0x0409,
                           reinterpret_cast<ITypeLib**>(library.Out())),
            S_OK);
  TLIBATTR* libraryAttributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
  EXPECT_EQ(libraryAttributes->lcid, 0x0409u);
  EXPECT_EQ(libraryAttributes->wMajorVerNum, 1);
  EXPECT_EQ(libraryAttributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(libraryAttributes);
  EXPECT_EQ(DocumentationOf(library.p, -1),
            Documentation("TABULEXCONVERTERLib", "Tabulex Converter 1.0 Type Library"));

  Releaser<ITypeInfo> info;
  ASSERT_EQ(library->GetTypeInfoOfGuid(IID_ITabulex, reinterpret_cast<ITypeInfo**>(info.Out())),
            S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attributes->cFuncs, 5);
  EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), 0);
  EXPECT_EQ(attributes->cImplTypes, 1);
  info->ReleaseTypeAttr(attributes);
  EXPECT_EQ(DocumentationOf(info.p, MEMBERID_NIL).second, "ITabulex Interface");

  const char* methods[] = {"SetTheFileName", "GetTheFileName", "WorkbookToText",
                           "GetExcelSheetNames", "Convert"};
  for (UINT i = 0; i < 5; ++i) {
    FUNCDESC* function = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
    // After the three methods of IUnknown.
    EXPECT_EQ(function->oVft, static_cast<SHORT>((3 + i) * sizeof(void*))) << methods[i];
    EXPECT_EQ(function->callconv, CC_STDCALL);
    EXPECT_EQ(DocumentationOf(info.p, function->memid),
              Documentation(methods[i], std::string("method ") + methods[i]));
    info->ReleaseFuncDesc(function);
  }

  Releaser<ITypeInfo> coclass;
  ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_Tabulex, reinterpret_cast<ITypeInfo**>(coclass.Out())),
            S_OK);
  EXPECT_EQ(DocumentationOf(coclass.p, MEMBERID_NIL), Documentation("Tabulex", "Tabulex Class"));
}

TEST(Registration, UnregisteringRemovesTheClassAndKeepsTheClsidKey) {
  {
    Unregistered unregistered(kConverterDll);
    Releaser<ITabulex> converter;
    EXPECT_EQ(CreateConverter(converter), REGDB_E_CLASSNOTREG);
    CLSID id;
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Tabulex.Converter", &id)));
    EXPECT_FALSE(ClassesKeyExists("Tabulex.Converter"));
    EXPECT_FALSE(ClassesKeyExists("Tabulex.Converter.1"));
    EXPECT_FALSE(ClassesKeyExists(kClassKey));
    EXPECT_TRUE(ClassesKeyExists("CLSID"));
    ITypeLib* library = nullptr;
    EXPECT_NE(LoadRegTypeLib(LIBID_TABULEXCONVERTERLib, 1, 0, 0x0409, &library), S_OK);
    if (library) library->Release();
  }
}

TEST(Creation, ByBothProgIdsAndByClassIdWithErrorInfoAndNoDispatch) {
  for (const wchar_t* progId : {L"Tabulex.Converter", L"Tabulex.Converter.1"}) {
    CLSID id;
    ASSERT_EQ(CLSIDFromProgID(progId, &id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_Tabulex));
    Releaser<ITabulex> converter;
    EXPECT_EQ(CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_ITabulex, converter.Out()), S_OK);
  }
  Releaser<ITabulex> converter;
  EXPECT_EQ(CreateConverter(converter), S_OK);
  Releaser<IDispatch> dispatch;
  EXPECT_EQ(converter->QueryInterface(IID_IDispatch, dispatch.Out()), E_NOINTERFACE);
  EXPECT_EQ(dispatch.p, nullptr);
  // Error information is supported for the converter's own interface only.
  Releaser<ISupportErrorInfo> support;
  ASSERT_EQ(converter->QueryInterface(IID_ISupportErrorInfo, support.Out()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ITabulex), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IUnknown), S_FALSE);
}

// An outer object that records the calls delegated to it.
class Outer : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    ++queries;
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
  int queries = 0;
  int references = 1;
};

TEST(Creation, AggregationHandsOutTheInnerUnknownAndDelegatesTheRest) {
  Outer outer;
  Releaser<ITabulex> refused;
  EXPECT_EQ(
      CoCreateInstance(CLSID_Tabulex, &outer, CLSCTX_INPROC_SERVER, IID_ITabulex, refused.Out()),
      CLASS_E_NOAGGREGATION);
  Releaser<IUnknown> inner;
  ASSERT_EQ(
      CoCreateInstance(CLSID_Tabulex, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, inner.Out()),
      S_OK);
  ITabulex* converter = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_ITabulex, reinterpret_cast<void**>(&converter)), S_OK);
  // The interface's reference is the outer object's.
  EXPECT_EQ(outer.references, 2);
  void* other = nullptr;
  EXPECT_EQ(converter->QueryInterface(IID_ISupportErrorInfo, &other), E_NOINTERFACE);
  EXPECT_EQ(outer.queries, 1);
  converter->Release();
  EXPECT_EQ(outer.references, 1);
  // The inner unknown answers for itself.
  Releaser<IUnknown> again;
  EXPECT_EQ(inner->QueryInterface(IID_IUnknown, again.Out()), S_OK);
  EXPECT_EQ(again.p, inner.p);
}

TEST(Server, ClassObjectAndUnloading) {
  HMODULE module = LoadLibraryA(ServerPath(kConverterDll).c_str());
  ASSERT_NE(module, nullptr);
  const auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  const auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnloadNow, nullptr);

  void* object = nullptr;
  EXPECT_EQ(getClassObject(IID_ITabulex, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(getClassObject(CLSID_Tabulex, IID_IClassFactory, nullptr), E_POINTER);
  Releaser<IClassFactory> factory;
  ASSERT_EQ(getClassObject(CLSID_Tabulex, IID_IClassFactory, factory.Out()), S_OK);

  EXPECT_EQ(canUnloadNow(), S_OK);
  ITabulex* converter = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITabulex, reinterpret_cast<void**>(&converter)),
            S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  converter->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnloadNow(), S_OK);
  factory.p->Release();
  factory.p = nullptr;
  FreeLibrary(module);
}

TEST(FileName, RemembersACopyUpToTheFirstZero) {
  Releaser<ITabulex> converter;
  ASSERT_EQ(CreateConverter(converter), S_OK);
  EXPECT_EQ(FileNameOf(converter.p), "");
  EXPECT_EQ(converter->GetTheFileName(nullptr), E_POINTER);
  const win32::UniqueBstr withZero(SysAllocStringLen(L"C:\\out\\GRADES.5xv\0tail", 22));
  EXPECT_EQ(converter->SetTheFileName(withZero.get()), S_OK);
  EXPECT_EQ(FileNameOf(converter.p), "C:\\out\\GRADES.5xv");
  EXPECT_EQ(converter->SetTheFileName(nullptr), S_OK);
  EXPECT_EQ(FileNameOf(converter.p), "");
}

// Without the spreadsheet application the user is told so; the methods themselves fail (sheet
// names, leaving the VARIANT as it was) or succeed (a workbook export, done only when a text
// file is named).
TEST(Workbooks, WithoutTheEngineTheUserIsToldAndTheVariantIsLeft) {
  const std::string notStarted =
      "The spreadsheet application could not be started. Check that it is installed.";
  Releaser<ITabulex> converter;
  ASSERT_EQ(CreateConverter(converter), S_OK);
  const win32::UniqueBstr book = win32::BstrFromAnsi("C:\\book.xls");
  const win32::UniqueBstr empty = win32::BstrFromAnsi("");
  const win32::UniqueBstr text = win32::BstrFromAnsi("C:\\book.txt");
  EXPECT_EQ(converter->GetExcelSheetNames(nullptr, nullptr), E_POINTER);
  VARIANT names;
  names.vt = VT_I4;
  names.lVal = 123;
  {
    DialogScript dialogs({{kDefaultCaption, IDOK}});
    EXPECT_EQ(converter->GetExcelSheetNames(book.get(), &names), E_FAIL);
    EXPECT_EQ(dialogs.Only().text, notStarted);
  }
  EXPECT_EQ(names.vt, VT_I4);
  EXPECT_EQ(names.lVal, 123);
  {
    DialogScript dialogs;
    EXPECT_EQ(converter->WorkbookToText(book.get(), empty.get()), S_OK);
    EXPECT_EQ(converter->WorkbookToText(book.get(), nullptr), S_OK);
    EXPECT_TRUE(dialogs.Unexpected().empty());
  }
  DialogScript dialogs({{kDefaultCaption, IDOK}});
  EXPECT_EQ(converter->WorkbookToText(book.get(), text.get()), S_OK);
  EXPECT_EQ(dialogs.Only().text, notStarted);
}

}  // namespace
}  // namespace tabulex::testing
