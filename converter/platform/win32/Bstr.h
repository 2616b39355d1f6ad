// Conversions between BSTRs (UTF-16, the COM boundary) and the converter's ANSI strings.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace tabulex::win32 {

struct BstrFree {
  void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

// The whole BSTR (embedded zero characters included) in the ANSI code page; a null BSTR is
// an empty string. Throws std::bad_alloc when memory runs out.
std::string AnsiFromBstr(BSTR text);

// A new BSTR holding the ANSI text; throws std::bad_alloc when it cannot be allocated.
UniqueBstr BstrFromAnsi(std::string_view text);

}  // namespace tabulex::win32
