// The stand-in error-text component.
#include "components/ErrorTextStandIn.h"

#include <cstdio>

namespace tabulex::components {

std::string ErrorTextFor(std::uint32_t code) {
  switch (code) {
#define X(value, text) \
  case value:          \
    return text;
#include "components/ErrorTexts.inc"
#undef X
    default: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "Unknown error 0x%08X", static_cast<unsigned>(code));
      return buffer;
    }
  }
}

HResult ErrorTextStandIn::GetErrorText(std::uint32_t code, std::string* text) {
  if (!text) return kPointer;
  *text = ErrorTextFor(code);
  return kOk;
}

}  // namespace tabulex::components
