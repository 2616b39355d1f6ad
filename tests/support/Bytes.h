// Byte strings written out as lists of numbers, for tests of binary formats.
#pragma once

#include <initializer_list>
#include <string>

namespace tabulex::testing {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

}  // namespace tabulex::testing
