// Formatting of the string table's texts.
#include "converter/driver/Messages.h"

#include "converter/model/TextSheet.h"

namespace tabulex::messages {

static_assert(kNumericCharacters.text == tabulex::kNumericCharacters,
              "the text sheets read numbers with the characters of string 112");

std::string Format(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next != args.end()) {
      out.append(*next++);
      ++i;
    } else {
      out.push_back(format[i]);
    }
  }
  return out;
}

std::string GroupedDigits(std::uint64_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

}  // namespace tabulex::messages
