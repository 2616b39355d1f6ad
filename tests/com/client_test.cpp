// A client that knows the converter only by its published ids and the order of its methods:
// it declares the interface itself and includes nothing of ours but a test folder.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>

#include "tests/support/TempFolder.h"

// The interface has external linkage on purpose: the compiler may treat a call through a class
// of an unnamed namespace with no implementation in sight as unreachable.
namespace own_declaration {

// The interface as the client declares it: IUnknown, then the five methods in order.
struct Converter : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetTheFileName(BSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTheFileName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE WorkbookToText(BSTR workbook, BSTR textFiles) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetExcelSheetNames(BSTR workbook, VARIANT* names) = 0;
  virtual HRESULT STDMETHODCALLTYPE Convert(BSTR input, int fromType, BSTR sheet, BSTR folder,
                                            BSTR internalName, int toType, LONG overwrite) = 0;
};

}  // namespace own_declaration

namespace {

using own_declaration::Converter;

// {B73EBADE-7EE5-4B7D-8614-3B6625B8008F}
const CLSID kConverterClass = {
    0xB73EBADE, 0x7EE5, 0x4B7D, {0x86, 0x14, 0x3B, 0x66, 0x25, 0xB8, 0x00, 0x8F}};
// {AA20B28B-B2C6-41C2-904D-4CD1C5123E51}
const IID kConverterInterface = {
    0xAA20B28B, 0xB2C6, 0x41C2, {0x90, 0x4D, 0x4C, 0xD1, 0xC5, 0x12, 0x3E, 0x51}};

constexpr int kTabText = 1;
constexpr int kKv68 = 3;

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// The remembered name shows that each argument reached its place: the folder, the internal
// name and the target type's extension.
TEST(OwnDeclarationClient, CreatesTheObjectByProgIdAndConvertsAFile) {
  const tabulex::testing::TempFolder folder;
  folder.Write("marks.txt", "5\t6\r\n");
  CLSID id;
  ASSERT_EQ(CLSIDFromProgID(L"Tabulex.Converter", &id), S_OK);
  EXPECT_TRUE(IsEqualCLSID(id, kConverterClass));
  Converter* converter = nullptr;
  ASSERT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, kConverterInterface,
                             reinterpret_cast<void**>(&converter)),
            S_OK);
  BSTR input = SysAllocString(Wide(folder.PathOf("marks.txt")).c_str());
  BSTR sheet = SysAllocString(L"");
  BSTR output = SysAllocString(Wide(folder.Folder()).c_str());
  BSTR name = SysAllocString(L"marks");
  EXPECT_EQ(converter->Convert(input, kTabText, sheet, output, name, kKv68, 0), S_OK);
  BSTR written = nullptr;
  EXPECT_EQ(converter->GetTheFileName(&written), S_OK);
  EXPECT_EQ(std::wstring(written), Wide(folder.PathOf("marks.68y")));
  for (BSTR text : {input, sheet, output, name, written}) SysFreeString(text);
  converter->Release();
  EXPECT_TRUE(folder.Exists("marks.68y"));
}

}  // namespace
