// Conversions between the converter's byte strings (UTF-8 on this platform) and UNO strings.
#pragma once

#include <rtl/ustring.hxx>
#include <string>
#include <string_view>

namespace tabulex::libreoffice {

using rtl::OString;
using rtl::OUString;

inline OUString ToOUString(std::string_view text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

inline std::string FromOUString(const OUString& text) {
  const OString bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

}  // namespace tabulex::libreoffice
