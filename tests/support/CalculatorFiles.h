// Calculator files and variable data built byte by byte from their layout, for tests of the
// readers and of the wrapper check.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulex::testing {

inline std::string Le16(std::size_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// The 16-bit sum of the bytes, little-endian, as the wrappers' checksums are stored.
inline std::string Sum16(std::string_view bytes) {
  std::size_t sum = 0;
  for (char c : bytes) sum += static_cast<std::uint8_t>(c);
  return Le16(sum);
}

// The 144 header bytes of a KV-68 family sheet's variable data, as every sheet writes them.
inline std::string Kv68SheetHeader() {
  std::string h("TabLex\0\0\0\x00\x01", 11);  // signature, then the version
  h.append(32, '\x66');
  h.append(32, '\x00');
  h.append(64, '\x14');
  h.append("\x01\x00\x01\x00\x02", 5);  // the last two: the extension length 2
  return h;
}

// A KV-52 Plus file around `data`, the variable data that starts at offset 72.
inline std::string Kv52File(std::string_view data) {
  std::string file = "**KV52F*" + std::string(45, '\0');  // signature, bytes 8 to 52
  file += Le16(data.size() + 17);  // 53: bytes from 55 to the checksum (17 of them before data)
  file += std::string(2, '\0');    // 55, 56
  file += Le16(data.size());       // 57: the length of the data
  file += std::string(13, '\0');   // 59 to 71
  file += data;
  return file + Sum16(std::string_view(file).substr(55));  // sum of bytes 55 to the end
}

// A KV-68 family file named `name` around `data`, the variable data that starts at offset 88.
inline std::string Kv68File(std::string_view signature, std::string_view data,
                            std::string_view name = "") {
  const std::size_t length = 88 + data.size() + 2;
  std::string file = std::string(signature) + std::string(56, '\0');  // signature, 8 to 63
  file += std::string(name) + std::string(8 - name.size(), '\0');     // 64: the name
  file += std::string(4, '\0');                                       // 72 to 75
  file += Le16(length & 0xFFFF) + Le16(length >> 16);  // 76: the file's length, 32 bits
  file += std::string(6, '\0');                        // 80 to 85
  file += {static_cast<char>(data.size() >> 8), static_cast<char>(data.size() & 0xFF)};  // 86
  file += data;
  return file + Sum16(std::string_view(file).substr(86));  // sum of bytes 86 to the end
}

}  // namespace tabulex::testing
