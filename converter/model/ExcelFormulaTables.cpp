// The two Excel formula rewrite tables, one pair per line, in the order they are applied. Row
// order is part of the behaviour: later rows see what earlier rows inserted.
#include <array>

#include "converter/model/ExcelFormulas.h"

namespace tabulex {

namespace {

constexpr auto kExcelToNeutralRows = std::to_array<RewriteRule>({
    RewriteRule{"IMABS(", "ABS("},          // 1
    RewriteRule{"IMAGINARY(", "IMAG("},     // 2
    RewriteRule{"IMCONJUGATE(", "CONJ("},   // 3
    RewriteRule{"IMEXP(", "e\xF6("},        // 4
    RewriteRule{"IMLN(", "LN("},            // 5
    RewriteRule{"IMLOG10(", "LOG("},        // 6
    RewriteRule{"IMREAL(", "REAL("},        // 7
    RewriteRule{"^-", "^_neg_"},            // 8
    RewriteRule{"IMSQRT(", "SQRT("},        // 9
    RewriteRule{"AVERAGE(", "AVERAGE("},    // 10
    RewriteRule{"ACOS(", "COS_^-1_("},      // 11
    RewriteRule{"ACOSH(", "COSH_^-1_("},    // 12
    RewriteRule{"ASIN(", "SIN_^-1_("},      // 13
    RewriteRule{"ASINH(", "SINH_^-1_("},    // 14
    RewriteRule{"ATAN(", "TAN_^-1_("},      // 15
    RewriteRule{"ATANH(", "TANH_^-1_("},    // 16
    RewriteRule{"LOG10(", "LOG("},          // 17
    RewriteRule{"MDETERM(", "DET("},        // 18
    RewriteRule{"SQRTPI()", "SQRT(_pi_)"},  // 19
    RewriteRule{"PRODUCT(", "PRODUCT("},    // 20
    RewriteRule{"QUOTIENT(", "IPART("},     // 21
    RewriteRule{"PI()", "_pi_"},            // 22
    RewriteRule{"SQRT(", "SQRT("},          // 23
    RewriteRule{"STDEV(", "STDEV("},        // 24
    RewriteRule{"VAR(", "VAR("},            // 25
    RewriteRule{"(-", "(_neg_"},            // 26
    RewriteRule{"IF(", "If("},              // 27
    RewriteRule{"10^(", "_10_^("},          // 28
    RewriteRule{"!=>", "_!=_"},             // 29
    RewriteRule{"<>", "_!=_"},              // 30
    RewriteRule{"<=", "_<=_"},              // 31
    RewriteRule{">=", "_>=_"},              // 32
    RewriteRule{"\xA9", "_lnot_"},          // 33
});
static_assert(kExcelToNeutralRows.size() == 33);

constexpr auto kNeutralToExcelRows = std::to_array<RewriteRule>({
    RewriteRule{"abs(", "ABS("},           // 1
    RewriteRule{"imag(", "IMAGINARY("},    // 2
    RewriteRule{"conj(", "IMCONJUGATE("},  // 3
    RewriteRule{"e\xF6(", "IMEXP("},       // 4
    RewriteRule{"ln(", "LN("},             // 5
    RewriteRule{"log(", "LOG10("},         // 6
    RewriteRule{"real(", "REAL("},         // 7
    RewriteRule{"mean(", "AVERAGE("},      // 8
    RewriteRule{"cos_^-1_(", "ACOS("},     // 9
    RewriteRule{"cosh_^-1_(", "ACOSH("},   // 10
    RewriteRule{"sin_^-1_(", "ASIN("},     // 11
    RewriteRule{"sinh_^-1_(", "ASINH("},   // 12
    RewriteRule{"tan_^-1_(", "ATAN("},     // 13
    RewriteRule{"tanh_^-1_(", "ATANH("},   // 14
    RewriteRule{"log(", "LOG10("},         // 15
    RewriteRule{"det(", "MDETERM("},       // 16
    RewriteRule{"_pi_", "PI()"},           // 17
    RewriteRule{"prod(", "PRODUCT("},      // 18
    RewriteRule{"ipart(", "QUOTIENT("},    // 19
    RewriteRule{"sqrt(", "SQRT("},         // 20
    RewriteRule{"\xC3(\xB9)", "SQRTPI"},   // 21
    RewriteRule{"stdDev(", "STDEV("},      // 22
    RewriteRule{"var(", "variance("},      // 23
    RewriteRule{"If(", "IF("},             // 24
    RewriteRule{"_10_^(", "10^("},         // 25
    RewriteRule{"_neg_", "-"},             // 26
    RewriteRule{"rand", "rand()"},         // 27
    RewriteRule{"_e_^(", "EXP("},          // 28
    RewriteRule{"_e_^", "EXP("},           // 29
    RewriteRule{"_i_", "i"},               // 30
    RewriteRule{"_!=_", "<>"},             // 31
    RewriteRule{"_!=_", "!="},             // 32
    RewriteRule{"_<=_", "<="},             // 33
    RewriteRule{"_>=_", ">="},             // 34
    RewriteRule{"_e_", "EXP(1)"},          // 35
    RewriteRule{"_lnot_", "\xA9"},         // 36
    RewriteRule{"_^-1_", "^-1"},           // 37
});
static_assert(kNeutralToExcelRows.size() == 37);

}  // namespace

const std::array<RewriteRule, 33> ExcelToNeutralTable = kExcelToNeutralRows;
const std::array<RewriteRule, 37> NeutralToExcelTable = kNeutralToExcelRows;

}  // namespace tabulex
