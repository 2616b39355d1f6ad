// Conversions between the 9-byte real and decimal text.
#include "converter/appvar/AppVarReal.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "converter/model/ByteStream.h"
#include "converter/model/CString.h"
#include "converter/model/Decimal.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex {

namespace {

constexpr int kExponentBias = 0x80;
constexpr double kOutOfRange = 9.9999999999999E99;
// The exponent of kOutOfRange: every plain decimal below it is in range.
constexpr int kLargestPlainExponent = 99;

// Writes the sign byte, the exponent byte and the 14 digits packed two to a byte.
void PackReal(bool negative, const Decimal14& decimal, std::string& bytes) {
  bytes[0] = static_cast<char>(negative ? 0x80 : 0x00);
  bytes[1] = static_cast<char>(decimal.exponent + kExponentBias);
  for (std::size_t i = 0; i < kDecimalDigits / 2; ++i) {
    const int high = decimal.digits[2 * i];
    const int low = decimal.digits[2 * i + 1];
    bytes[2 + i] = static_cast<char>((high << 4) | low);
  }
}

}  // namespace

std::string RealToText(std::string_view real) {
  // Missing bytes of a short real read as zero.
  std::string padded(real.substr(0, kRealSize));
  padded.resize(kRealSize, '\0');
  InputStream in(std::move(padded));
  const std::uint8_t sign = in.Get().value_or(0);
  const int exponent = in.Get().value_or(0);
  const std::string_view packed = in.Slice(kRealSize - 2).value_or("");
  if (packed[0] == 0) return "0";

  std::string digits;
  for (const char pair : packed) {
    digits.push_back(static_cast<char>('0' + (static_cast<std::uint8_t>(pair) >> 4)));
    digits.push_back(static_cast<char>('0' + (pair & 0x0F)));
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text;
  if (sign >= 0x80) text.push_back('-');

  if (exponent >= 125 && exponent <= 137) {
    std::size_t integerDigits = 1;
    if (exponent >= 128) {
      integerDigits = static_cast<std::size_t>(exponent - 127);
      if (digits.size() < integerDigits) digits.resize(integerDigits, '0');
    } else {
      digits.insert(0, static_cast<std::size_t>(128 - exponent), '0');
    }
    text.append(digits, 0, integerDigits);
    if (digits.size() > integerDigits) {
      text.push_back('.');
      text.append(digits, integerDigits);
    }
    return text;
  }

  text.push_back(digits[0]);
  if (digits.size() > 1) {
    text.push_back('.');
    text.append(digits, 1);
  }
  text.push_back('E');
  text.append(std::to_string(exponent - kExponentBias));
  return text;
}

EncodedReal TextToReal(std::string_view text) {
  // The conversion reads a zero-terminated text, so it stops at the first zero byte.
  const std::string_view number = UpToNul(text);
  if (std::optional<EncodedReal> plain = PlainDecimalToReal(number)) return *std::move(plain);
  return DoubleToReal(std::strtod(std::string(number).c_str(), nullptr));
}

EncodedReal DoubleToReal(double value) {
  EncodedReal result{std::string(kZeroReal), 0};
  if (std::isnan(value) || std::fabs(value) >= kOutOfRange) {
    result.status = ERR_NUMBER_OUT_OF_RANGE;
    return result;
  }
  const std::optional<Decimal14> decimal = ToDecimal14(value);
  if (!decimal) return result;
  // The exponent byte holds 10^-128 to 10^127; anything smaller is written as zero.
  if (decimal->exponent < -kExponentBias) return result;
  if (decimal->exponent > 0xFF - kExponentBias) {
    result.status = ERR_NUMBER_OUT_OF_RANGE;
    return result;
  }
  PackReal(value < 0, *decimal, result.bytes);
  return result;
}

std::optional<EncodedReal> PlainDecimalToReal(std::string_view text) {
  const std::optional<PlainDecimal> plain = ParsePlainDecimal(text);
  if (!plain) return std::nullopt;
  EncodedReal result{std::string(kZeroReal), 0};
  // Zero, of either sign, is the zero real.
  if (!plain->magnitude) return result;
  const int exponent = plain->magnitude->exponent;
  if (exponent < -kExponentBias) return result;
  // Up from 9.9999999999999E99 the range check decides, on the value as DoubleToReal sees it.
  if (exponent >= kLargestPlainExponent) return std::nullopt;
  PackReal(plain->negative, *plain->magnitude, result.bytes);
  return result;
}

}  // namespace tabulex
