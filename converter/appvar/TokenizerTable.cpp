// The tokenizer's additions to and removals from the texts of the two token tables.
#include "converter/appvar/AppVarTokenTables.h"

namespace tabulex {

namespace {

// Command names without their trailing space, a second spelling of "If", a name for the
// regression equation, and the lower-case letters that stand for the upper-case letter tokens.
constexpr auto kAliasRows = std::to_array<TokenCandidate>({
    TokenCandidate{"1-Var Stats", 0xF2},
    TokenCandidate{"2-Var Stats", 0xF3},
    TokenCandidate{"CubicReg", 0x2E},
    TokenCandidate{"QuartReg", 0x2F},
    TokenCandidate{"ExpReg", 0xF5},
    TokenCandidate{"LnReg", 0xF6},
    TokenCandidate{"PwrReg", 0xF7},
    TokenCandidate{"QuadReg", 0xF9},
    TokenCandidate{"Med-Med", 0xF8},
    TokenCandidate{"LinReg(a+bx)", 0xF4},
    TokenCandidate{"LinReg(ax+b)", 0xFF},
    TokenCandidate{"FnOn", 0x96},
    TokenCandidate{"Horizontal", 0xA6},
    TokenCandidate{"Vertical", 0x9D},
    TokenCandidate{"Pause", 0xD8},
    TokenCandidate{"PlotsOn", 0xE9},
    TokenCandidate{"PlotsOff", 0xEA},
    TokenCandidate{"If ", 0xCE},
    TokenCandidate{"if", 0xCE},
    TokenCandidate{"Archive", 0xBB68},
    TokenCandidate{"UnArchive ", 0xBB69},
    TokenCandidate{"RegEQ", 0x6201},
    TokenCandidate{"f", 0x46},
    TokenCandidate{"g", 0x47},
    TokenCandidate{"h", 0x48},
    TokenCandidate{"i", 0x49},
    TokenCandidate{"j", 0x4A},
    TokenCandidate{"k", 0x4B},
    TokenCandidate{"l", 0x4C},
    TokenCandidate{"m", 0x4D},
    TokenCandidate{"o", 0x4F},
    TokenCandidate{"q", 0x51},
    TokenCandidate{"x", 0x58},
    TokenCandidate{"y", 0x59},
});
static_assert(kAliasRows.size() == 34);

// "[" (0x5C), "L" (0x5D), "Pic" (0x60) and "GDB" (0x61) begin two-byte tokens; "If" (0xCE) is
// recognised only by its aliases.
constexpr auto kExclusionRows = std::to_array<std::uint16_t>({
    0x5C,
    0x5D,
    0x60,
    0x61,
    0xCE,
});
static_assert(kExclusionRows.size() == 5);

}  // namespace

const std::array<TokenCandidate, 34> TokenizerAliases = kAliasRows;
const std::array<std::uint16_t, 5> TokenizerExclusions = kExclusionRows;

}  // namespace tabulex
