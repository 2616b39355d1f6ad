// The plain-decimal fast paths of both real formats against the general conversions through
// double and long double, on a million random and edge-case numbers from a fixed seed.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "converter/appvar/AppVarReal.h"
#include "converter/kv68/Kv68Real.h"

namespace tabulex {
namespace {

constexpr std::uint64_t kSeed = 20261207;
constexpr int kRandomCount = 1'000'000;
// Failures reported in full before the test stops reporting them.
constexpr int kReportedFailures = 10;

// Exponents where a path changes: the fixed and scientific notations, the KV-52 Plus exponent
// byte and range, the plain-decimal limit and the ends of the double range.
constexpr std::array kEdgeExponents = {-330, -324, -309, -308, -307, -301, -300, -299, -129,
                                       -128, -127, -5,   -4,   -1,   0,    13,   14,   98,
                                       99,   100,  127,  128,  299,  300,  301,  308,  309};

// Random numbers from the fixed seed, taken from the engine's raw output so that every standard
// library draws the same ones.
class Draw {
 public:
  std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
  bool OneIn(std::uint64_t n) { return Below(n) == 0; }
  int Exponent(int common, int wide) {
    const std::uint64_t kind = Below(10);
    if (kind < 6) return static_cast<int>(Below(2 * common + 1)) - common;
    if (kind < 9) return static_cast<int>(Below(2 * wide + 1)) - wide;
    return kEdgeExponents[Below(kEdgeExponents.size())];
  }

 private:
  std::mt19937_64 engine_{kSeed};
};

// `digits` (the first of them not zero) written plainly with the first standing for
// 10^exponent: "[-]integer[.fraction]".
std::string PlainText(bool negative, const std::string& digits, int exponent) {
  std::string integer = "0";
  std::string fraction;
  if (exponent >= 0) {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    integer = digits.substr(0, integerDigits);
    integer.resize(integerDigits, '0');
    if (digits.size() > integerDigits) fraction = digits.substr(integerDigits);
  } else {
    fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  std::string text = negative ? "-" : "";
  text += integer;
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

// A plain text of 1 to 17 random digits, with stray leading or trailing zeros now and then.
std::string RandomDecimalText(Draw& draw) {
  std::string digits(1, static_cast<char>('1' + draw.Below(9)));
  const std::uint64_t count = 1 + draw.Below(17);
  while (digits.size() < count) digits += static_cast<char>('0' + draw.Below(10));
  std::string text = PlainText(draw.OneIn(2), digits, draw.Exponent(20, 330));
  if (draw.OneIn(8)) text.insert(text.front() == '-' ? 1 : 0, 1 + draw.Below(3), '0');
  if (draw.OneIn(8)) text += text.find('.') == std::string::npos ? ".0" : "00";
  return text;
}

// Texts at the edges: zeros, the largest and smallest digits at every edge exponent, fourteen
// digits that round up to a new exponent, and fifteen that must take the general path.
std::vector<std::string> EdgeTexts() {
  std::vector<std::string> texts = {"0", "-0", "0.0", "000", "00012", "0.30000"};
  for (const int exponent : kEdgeExponents) {
    for (const char* digits : {"1", "5", "17", "99999999999999", "99999999999995", "10000000000001",
                               "123456789012345", "999999999999999"}) {
      texts.push_back(PlainText(false, digits, exponent));
      texts.push_back(PlainText(true, digits, exponent));
    }
  }
  return texts;
}

// Checks one text on both formats; returns how many of the two fast paths applied.
int CheckText(const std::string& text, int& failures) {
  int applied = 0;
  const double value = std::strtod(text.c_str(), nullptr);
  if (const std::optional<EncodedReal> fast = PlainDecimalToReal(text)) {
    ++applied;
    const EncodedReal general = DoubleToReal(value);
    if ((fast->bytes != general.bytes || fast->status != general.status) &&
        ++failures <= kReportedFailures) {
      ADD_FAILURE() << "9-byte real of \"" << text << "\": fast "
                    << ::testing::PrintToString(fast->bytes) << " status " << fast->status
                    << ", general " << ::testing::PrintToString(general.bytes) << " status "
                    << general.status;
    }
  }
  if (const std::optional<Kv68RealBytes> fast = EncodePlainDecimal(text)) {
    ++applied;
    const Kv68RealBytes general = EncodeReal(value);
    if (*fast != general && ++failures <= kReportedFailures) {
      ADD_FAILURE() << "10-byte real of \"" << text << "\": fast "
                    << ::testing::PrintToString(*fast) << ", general "
                    << ::testing::PrintToString(general);
    }
  }
  return applied;
}

TEST(PlainDecimalDifferential, EncodesLikeTheGeneralPath) {
  int failures = 0;
  int applied = 0;
  for (const std::string& text : EdgeTexts()) applied += CheckText(text, failures);
  Draw draw;
  for (int i = 0; i < kRandomCount; ++i) applied += CheckText(RandomDecimalText(draw), failures);
  EXPECT_EQ(failures, 0);
  // Most random texts are plain; a fast path that never applied would prove nothing.
  EXPECT_GT(applied, kRandomCount);
}

// A random KV-68 real: mostly valid digits with trailing zeros, now and then zero, a leading zero
// or a nibble above 9, exponents over the whole 15-bit field.
Kv68Real RandomReal(Draw& draw) {
  Kv68Real real;
  real.negative = draw.OneIn(2);
  real.exponent =
      draw.OneIn(20) ? static_cast<int>(draw.Below(0x8000)) - 0x4000 : draw.Exponent(20, 1100);
  const auto significant = static_cast<int>(1 + draw.Below(kRealDigits));
  for (int i = 0; i < significant; ++i) real.digits[i] = static_cast<std::uint8_t>(draw.Below(10));
  if (draw.OneIn(50)) real.digits = {};
  if (!draw.OneIn(20)) real.digits[0] = static_cast<std::uint8_t>(1 + draw.Below(9));
  if (draw.OneIn(20))
    real.digits[draw.Below(kRealDigits)] = static_cast<std::uint8_t>(draw.Below(16));
  return real;
}

TEST(PlainDecimalDifferential, WritesRealsAsTheCLibraryPrintsThem) {
  int failures = 0;
  int applied = 0;
  Draw draw;
  for (int i = 0; i < kRandomCount; ++i) {
    const Kv68Real real = RandomReal(draw);
    const std::optional<std::string> fast = PlainRealText(real);
    if (!fast) continue;
    ++applied;
    std::array<char, 64> general{};
    std::snprintf(general.data(), general.size(), "%.14LG", real.ToLongDouble());
    if (*fast != general.data() && ++failures <= kReportedFailures) {
      ADD_FAILURE() << "real " << (real.negative ? "-" : "+") << " digits "
                    << ::testing::PrintToString(real.digits) << " "
                    << "exponent " << real.exponent << ": fast \"" << *fast << "\", general \""
                    << general.data() << "\"";
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(applied, kRandomCount / 2);
}

}  // namespace
}  // namespace tabulex
