// BSTR and ANSI conversions through the system's code page functions.
#include "converter/platform/win32/Bstr.h"

#include <new>

namespace tabulex::win32 {

std::string AnsiFromBstr(BSTR text) {
  const int length = text ? static_cast<int>(SysStringLen(text)) : 0;
  if (length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) throw std::bad_alloc();
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

UniqueBstr BstrFromAnsi(std::string_view text) {
  const int length = static_cast<int>(text.size());
  const int size =
      length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  UniqueBstr out(SysAllocStringLen(nullptr, static_cast<UINT>(size)));
  if (!out) throw std::bad_alloc();
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.get(), size);
  return out;
}

}  // namespace tabulex::win32
