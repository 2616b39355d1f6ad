// The two rewrite tables of the KV-68 family's formula dialect, one pair per line, in the order
// they are applied. Bytes above 0x7F are calculator character codes.
#include <array>

#include "converter/kv68/Kv68Rewrite.h"

namespace tabulex {

constexpr std::array<RewriteRule, 18> Kv68ToNeutralTable = std::to_array<RewriteRule>({
    {"imag(", "imaginary("},
    {"conj(", "imconjugate("},
    {"IMEXP(", "e\xF6("},
    {"IMLOG10(", "log10("},
    {"real(", "imreal("},
    {"_(C)_(", "sqrt("},
    {"mean(", "average("},
    {"log(", "log10("},
    {"det(", "mdeterm("},
    {"ipart(", "quotient("},
    {"\xA8(", "sqrt("},
    {"\xC3(\xB9)", "sqrtpi"},
    {"stdDev(", "stdev("},
    {"variance(", "var("},
    {"ZQTABLEX.cellIf(", "if("},
    {"10^(", "_10_^("},
    {"\x95", "*10^"},
    {"_degrees_", "\xB0"},
});
static_assert(Kv68ToNeutralTable.size() == 18);

constexpr std::array<RewriteRule, 21> NeutralToKv68Table = std::to_array<RewriteRule>({
    {"imaginary(", "imag("},     {"imconjugate(", "conj("},
    {"imexp(", "e^("},           {"imabs(", "abs("},
    {"imlog10(", "log10("},      {"imreal(", "real("},
    {"imsqrt(", "sqrt("},        {"average(", "mean("},
    {"exp(", "\x96^("},          {"log10(", "log("},
    {"mdeterm(", "det("},        {"quotient(", "ipart("},
    {"sqrt(", "\xA8("},          {"stdev(", "stdDev("},
    {"var(", "variance("},       {"(-", "(\xAD"},
    {"if(", "ZQTABLEX.cellIf("}, {"if (", "ZQTABLEX.cellIf("},
    {"_10_^(", "*10^("},         {"pi()", "_pi_"},
    {"\xB0", "_degrees_"},
});
static_assert(NeutralToKv68Table.size() == 21);

}  // namespace tabulex
