// A portable error-text component: a short text for every code the converter reports.
#pragma once

#include <cstdint>
#include <string>

#include "converter/driver/Components.h"

namespace tabulex::components {

// The text for a code; "Unknown error 0x%08X" for codes without one.
std::string ErrorTextFor(std::uint32_t code);

class ErrorTextStandIn : public IErrorText {
 public:
  HResult GetErrorText(std::uint32_t code, std::string* text) override;
};

}  // namespace tabulex::components
