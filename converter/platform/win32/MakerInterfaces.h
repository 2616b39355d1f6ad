// The maker's variable-file and error-text components as their callers see them: class and
// interface ids and the vtable layouts, one function pointer per slot. Slots this system never
// calls keep a named placeholder, so every used method sits at its fixed index. The converter's
// adapters and the stand-in servers both build on these declarations.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstddef>

namespace tabulex::maker {

inline constexpr CLSID kVarFileClassId = {
    0xBFAC5665, 0xFF3F, 0x4B29, {0xA7, 0xF3, 0xE3, 0xB0, 0x81, 0xBA, 0xEC, 0xEB}};
inline constexpr IID kIVarFileId = {
    0x87BF8992, 0x9939, 0x4DF9, {0x89, 0x3D, 0x16, 0xAD, 0x83, 0x7B, 0x14, 0xD6}};
inline constexpr IID kIVarFileDataId = {
    0xB3840B99, 0xEAB1, 0x4EAC, {0xA6, 0xA3, 0x3D, 0x75, 0x4A, 0x01, 0x41, 0x9A}};
inline constexpr CLSID kErrorTextClassId = {
    0xB82487C0, 0xD2D9, 0x496B, {0xBD, 0xDD, 0xFE, 0xC6, 0x42, 0x12, 0xDA, 0xAC}};
inline constexpr IID kIErrorTextId = {
    0x78D75EEE, 0x43A8, 0x403D, {0xBF, 0x90, 0x79, 0x5F, 0x07, 0xBF, 0xEA, 0x06}};

struct VarFileData;
struct ErrorText;

// A slot whose method this system neither calls nor knows.
template <typename Self>
using Unused = HRESULT(STDMETHODCALLTYPE*)(Self*);

// IVarFileData: IVarFile's slots 0 to 40, then its own two.
struct VarFileDataVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(VarFileData*, REFIID, void**);
  ULONG(STDMETHODCALLTYPE* AddRef)(VarFileData*);
  ULONG(STDMETHODCALLTYPE* Release)(VarFileData*);
  Unused<VarFileData> Slot3, Slot4, Slot5, Slot6, Slot7, Slot8, Slot9, Slot10, Slot11, Slot12,
      Slot13;
  HRESULT(STDMETHODCALLTYPE* put_DeviceType)(VarFileData*, LONG deviceType);
  HRESULT(STDMETHODCALLTYPE* get_DeviceFamily)(VarFileData*, LONG* family);
  Unused<VarFileData> Slot16, Slot17;
  HRESULT(STDMETHODCALLTYPE* LoadFile)(VarFileData*, BSTR path, LONG flag);
  HRESULT(STDMETHODCALLTYPE* SaveFile)(VarFileData*, BSTR path, LONG flag, LONG reserved);
  HRESULT(STDMETHODCALLTYPE* get_VarName)(VarFileData*, BSTR* name);
  HRESULT(STDMETHODCALLTYPE* put_VarName)(VarFileData*, BSTR name);
  Unused<VarFileData> Slot22, Slot23;
  HRESULT(STDMETHODCALLTYPE* get_FileName)(VarFileData*, BSTR* path);
  Unused<VarFileData> Slot25, Slot26, Slot27, Slot28, Slot29, Slot30, Slot31, Slot32, Slot33,
      Slot34, Slot35, Slot36, Slot37, Slot38, Slot39, Slot40;
  HRESULT(STDMETHODCALLTYPE* SetVarData)(VarFileData*, BYTE* data, LONG count, VARIANT tag);
  HRESULT(STDMETHODCALLTYPE* GetVarDataTag)(VarFileData*, VARIANT* tag);
};

struct VarFileData {
  const VarFileDataVtbl* lpVtbl;
};

struct ErrorTextVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(ErrorText*, REFIID, void**);
  ULONG(STDMETHODCALLTYPE* AddRef)(ErrorText*);
  ULONG(STDMETHODCALLTYPE* Release)(ErrorText*);
  Unused<ErrorText> Slot3, Slot4, Slot5, Slot6;
  HRESULT(STDMETHODCALLTYPE* GetErrorText)(ErrorText*, LONG code, BSTR* text);
};

struct ErrorText {
  const ErrorTextVtbl* lpVtbl;
};

#define TABULEX_SLOT(vtbl, method, index) \
  static_assert(offsetof(vtbl, method) == (index) * sizeof(void*), #method " is not at " #index)
TABULEX_SLOT(VarFileDataVtbl, QueryInterface, 0);
TABULEX_SLOT(VarFileDataVtbl, put_DeviceType, 14);
TABULEX_SLOT(VarFileDataVtbl, get_DeviceFamily, 15);
TABULEX_SLOT(VarFileDataVtbl, LoadFile, 18);
TABULEX_SLOT(VarFileDataVtbl, SaveFile, 19);
TABULEX_SLOT(VarFileDataVtbl, get_VarName, 20);
TABULEX_SLOT(VarFileDataVtbl, put_VarName, 21);
TABULEX_SLOT(VarFileDataVtbl, get_FileName, 24);
TABULEX_SLOT(VarFileDataVtbl, SetVarData, 41);
TABULEX_SLOT(VarFileDataVtbl, GetVarDataTag, 42);
TABULEX_SLOT(ErrorTextVtbl, GetErrorText, 7);
#undef TABULEX_SLOT
static_assert(sizeof(VarFileDataVtbl) == 43 * sizeof(void*));
static_assert(sizeof(ErrorTextVtbl) == 8 * sizeof(void*));

}  // namespace tabulex::maker
