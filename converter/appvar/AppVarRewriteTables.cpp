// The ordered rewrite tables between the calculator's token text and the neutral formula syntax.
// Rows apply in order; several rows are identities or can never fire, and are kept so the tables
// stay row for row what the format's dialect defines.
#include "converter/appvar/AppVarTokenTables.h"

namespace tabulex {

namespace {

constexpr auto kAppVarToNeutralRows = std::to_array<RewriteRule>({
    RewriteRule{"abs(", "ABS("},              // 1
    RewriteRule{"cos_^-1_(", "cos_^-1_("},    // 2
    RewriteRule{"cosh_^-1_(", "cosh_^-1_("},  // 3
    RewriteRule{"\x04", "$"},                 // 4
    RewriteRule{"gcd(", "GCD("},              // 5
    RewriteRule{"int(", "INT("},              // 6
    RewriteRule{"lcm(", "LCM("},              // 7
    RewriteRule{"ln(", "LN("},                // 8
    RewriteRule{"max(", "MAX("},              // 9
    RewriteRule{"median(", "MEDIAN("},        // 10
    RewriteRule{"min(", "MIN("},              // 11
    RewriteRule{"rand", "RAND()"},            // 12
    RewriteRule{"rand", "RAND("},             // 13
    RewriteRule{"round(", "ROUND("},          // 14
    RewriteRule{"sin_^-1_(", "sin_^-1_("},    // 15
    RewriteRule{"sinh_^-1_(", "sinh_^-1_("},  // 16
    RewriteRule{"sum(", "SUM("},              // 17
    RewriteRule{"tan_^-1_(", "tan_^-1_("},    // 18
    RewriteRule{"tanh_^-1_(", "tanh_^-1_("},  // 19
    RewriteRule{"log(", "LOG10("},            // 20
    RewriteRule{"imag(", "IMAGINARY("},       // 21
    RewriteRule{"conj(", "IMCONJUGATE("},     // 22
    RewriteRule{"_e_^(", "_e_^("},            // 23
    RewriteRule{"_e_", "_e_"},                // 24
    RewriteRule{"ln(", "LN("},                // 25
    RewriteRule{"real(", "REAL("},            // 26
    RewriteRule{"mean(", "AVERAGE("},         // 27
    RewriteRule{"cos(", "COS("},              // 28
    RewriteRule{"cosh(", "COSH("},            // 29
    RewriteRule{"sin(", "SIN("},              // 30
    RewriteRule{"sinh(", "SINH("},            // 31
    RewriteRule{"tan(", "TAN("},              // 32
    RewriteRule{"tanh(", "TANH("},            // 33
    RewriteRule{"det(", "MDETERM("},          // 34
    RewriteRule{"prod(", "PRODUCT("},         // 35
    RewriteRule{"iPart(", "QUOTIENT("},       // 36
    RewriteRule{"stdDev(", "STDDEV("},        // 37
    RewriteRule{"variance(", "var("},         // 38
    RewriteRule{"if(", "IF("},                // 39
    RewriteRule{"_root_(", "SQRT("},          // 40
    RewriteRule{"_neg_", "_neg_"},            // 41
    RewriteRule{"_^-1_", "_^-1_"},            // 42
    RewriteRule{"_^2_", "^2"},                // 43
    RewriteRule{"_^3_", "^3"},                // 44
    RewriteRule{"_10_^(", "_10_^("},          // 45
    RewriteRule{"_trans_", "$"},              // 46
    RewriteRule{"_EE_", "*10^"},              // 47
    RewriteRule{"_degrees_", "\xB0"},         // 48
});
static_assert(kAppVarToNeutralRows.size() == 48);

// Applied to upper-cased text, so the search texts are upper case.
constexpr auto kNeutralToAppVarRows = std::to_array<RewriteRule>({
    RewriteRule{"SQRT_PI_", "_root_(_pi_)"},  // 1
    RewriteRule{"COS_^-1_(", "cos_^-1_("},    // 2
    RewriteRule{"COSH_^-1_(", "cosh_^-1_("},  // 3
    RewriteRule{"$", "_trans_"},              // 4
    RewriteRule{"GCD(", "gcd("},              // 5
    RewriteRule{"INT(", "int("},              // 6
    RewriteRule{"LCM(", "lcm("},              // 7
    RewriteRule{"LN(", "ln("},                // 8
    RewriteRule{"MAX(", "max("},              // 9
    RewriteRule{"MEDIAN(", "median("},        // 10
    RewriteRule{"MIN(", "min("},              // 11
    RewriteRule{"RAND()", "rand"},            // 12
    RewriteRule{"RAND(", "rand"},             // 13
    RewriteRule{"ROUND(", "round("},          // 14
    RewriteRule{"SIN_^-1_(", "sin_^-1_("},    // 15
    RewriteRule{"SINH_^-1_(", "sinh_^-1_("},  // 16
    RewriteRule{"SUM(", "sum("},              // 17
    RewriteRule{"TAN_^-1_(", "tan_^-1_("},    // 18
    RewriteRule{"TANH_^-1_(", "tanh_^-1_("},  // 19
    RewriteRule{"LOG10(", "log("},            // 20
    RewriteRule{"IMAGINARY(", "imag("},       // 21
    RewriteRule{"IMCONJUGATE(", "conj("},     // 22
    RewriteRule{"IMEXP(", "_e_^("},           // 23
    RewriteRule{"IMLN(", "ln("},              // 24
    RewriteRule{"IMREAL(", "real("},          // 25
    RewriteRule{"AVERAGE(", "mean("},         // 26
    RewriteRule{"COS(", "cos("},              // 27
    RewriteRule{"COSH(", "cosh("},            // 28
    RewriteRule{"SIN(", "sin("},              // 29
    RewriteRule{"SINH(", "sinh("},            // 30
    RewriteRule{"TAN(", "tan("},              // 31
    RewriteRule{"TANH(", "tanh("},            // 32
    RewriteRule{"DET(", "det("},              // 33
    RewriteRule{"PRODUCT(", "prod("},         // 34
    RewriteRule{"QUOTIENT(", "iPart("},       // 35
    RewriteRule{"STDEV(", "stdDev("},         // 36
    RewriteRule{"VAR(", "variance("},         // 37
    RewriteRule{"IF(", "if("},                // 38
    RewriteRule{"SQRT(", "_root_("},          // 39
    RewriteRule{"ABS", "abs"},                // 40
    RewriteRule{"IMEXP(", "_e_^("},           // 41
    RewriteRule{"^2", "_^2_"},                // 42
    RewriteRule{"^3", "_^3_"},                // 43
    RewriteRule{"RAND()", "rand"},            // 44
    RewriteRule{"EXP(", "_e_^("},             // 45
    RewriteRule{"IMLOG10(", "log("},          // 46
    RewriteRule{"REAL(", "real("},            // 47
    RewriteRule{"LN(", "ln("},                // 48
    RewriteRule{"_NEG_", "_neg_"},            // 49
    RewriteRule{"LOG(", "log("},              // 50
    RewriteRule{"(_NEG_", "(_neg_"},          // 51
    RewriteRule{"\xB0", "_degrees_"},         // 52
    RewriteRule{"_I_", "_i_"},                // 53
    RewriteRule{"_PI_", "_pi_"},              // 54
    RewriteRule{"_E_", "_e_"},                // 55
});
static_assert(kNeutralToAppVarRows.size() == 55);

}  // namespace

const std::array<RewriteRule, 48> AppVarToNeutral = kAppVarToNeutralRows;
const std::array<RewriteRule, 55> NeutralToAppVar = kNeutralToAppVarRows;

}  // namespace tabulex
