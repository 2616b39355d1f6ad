// The two rewrite tables of the KV-68 family's formula dialect, one pair per line, in the order
// they are applied. Bytes above 0x7F are calculator character codes.
#include <array>

#include "converter/kv68/Kv68Rewrite.h"

namespace tabulex {

namespace {

constexpr auto kKv68ToNeutralRows = std::to_array<RewriteRule>({
    RewriteRule{"imag(", "imaginary("},      // 1
    RewriteRule{"conj(", "imconjugate("},    // 2
    RewriteRule{"IMEXP(", "e\xF6("},         // 3
    RewriteRule{"IMLOG10(", "log10("},       // 4
    RewriteRule{"real(", "imreal("},         // 5
    RewriteRule{"_(C)_(", "sqrt("},          // 6
    RewriteRule{"mean(", "average("},        // 7
    RewriteRule{"log(", "log10("},           // 8
    RewriteRule{"det(", "mdeterm("},         // 9
    RewriteRule{"ipart(", "quotient("},      // 10
    RewriteRule{"\xA8(", "sqrt("},           // 11
    RewriteRule{"\xC3(\xB9)", "sqrtpi"},     // 12
    RewriteRule{"stdDev(", "stdev("},        // 13
    RewriteRule{"variance(", "var("},        // 14
    RewriteRule{"ZQTABLEX.cellIf(", "if("},  // 15
    RewriteRule{"10^(", "_10_^("},           // 16
    RewriteRule{"\x95", "*10^"},             // 17
    RewriteRule{"_degrees_", "\xB0"},        // 18
});
static_assert(kKv68ToNeutralRows.size() == 18);

constexpr auto kNeutralToKv68Rows = std::to_array<RewriteRule>({
    RewriteRule{"imaginary(", "imag("},       // 1
    RewriteRule{"imconjugate(", "conj("},     // 2
    RewriteRule{"imexp(", "e^("},             // 3
    RewriteRule{"imabs(", "abs("},            // 4
    RewriteRule{"imlog10(", "log10("},        // 5
    RewriteRule{"imreal(", "real("},          // 6
    RewriteRule{"imsqrt(", "sqrt("},          // 7
    RewriteRule{"average(", "mean("},         // 8
    RewriteRule{"exp(", "\x96^("},            // 9
    RewriteRule{"log10(", "log("},            // 10
    RewriteRule{"mdeterm(", "det("},          // 11
    RewriteRule{"quotient(", "ipart("},       // 12
    RewriteRule{"sqrt(", "\xA8("},            // 13
    RewriteRule{"stdev(", "stdDev("},         // 14
    RewriteRule{"var(", "variance("},         // 15
    RewriteRule{"(-", "(\xAD"},               // 16
    RewriteRule{"if(", "ZQTABLEX.cellIf("},   // 17
    RewriteRule{"if (", "ZQTABLEX.cellIf("},  // 18
    RewriteRule{"_10_^(", "*10^("},           // 19
    RewriteRule{"pi()", "_pi_"},              // 20
    RewriteRule{"\xB0", "_degrees_"},         // 21
});
static_assert(kNeutralToKv68Rows.size() == 21);

}  // namespace

const std::array<RewriteRule, 18> Kv68ToNeutralTable = kKv68ToNeutralRows;
const std::array<RewriteRule, 21> NeutralToKv68Table = kNeutralToKv68Rows;

}  // namespace tabulex
