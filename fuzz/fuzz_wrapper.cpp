// Checks arbitrary bytes as the wrapper of a file of every calculator type.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/driver/CalculatorWrapper.h"
#include "converter/driver/FileTypes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  for (std::int32_t type : {tabulex::ZQ_TABULEX_52P, tabulex::ZQ_TABULEX_68, tabulex::ZQ_TABULEX_74,
                            tabulex::ZQ_TABULEX_RB200}) {
    const tabulex::WrapperCheck check = tabulex::CheckWrapper(type, file);
    // A file that may be read gives data that lies within it.
    if (!check.refusal && check.dataOffset + check.dataSize > size) __builtin_trap();
  }
  return 0;
}
