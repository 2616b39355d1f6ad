// Texts of the one-byte calculator tokens, indexed by the token byte. An empty text produces
// nothing; the prefix bytes of the two-byte tokens have empty texts or texts the tokenizer skips.
#include <algorithm>

#include "converter/appvar/AppVarTokenTables.h"

namespace tabulex {

namespace {

constexpr auto kOneByteRows = std::to_array<std::string_view>({
    std::string_view{""},                        // 00
    std::string_view{"_>_DMS"},                  // 01
    std::string_view{"_>_Dec"},                  // 02
    std::string_view{"_>_Frac"},                 // 03
    std::string_view{"_->_"},                    // 04
    std::string_view{"Boxplot"},                 // 05
    std::string_view{"["},                       // 06
    std::string_view{"]"},                       // 07
    std::string_view{"{"},                       // 08
    std::string_view{"}"},                       // 09
    std::string_view{"_radians_"},               // 0A
    std::string_view{"_degrees_"},               // 0B
    std::string_view{"_^-1_"},                   // 0C
    std::string_view{"_^2_"},                    // 0D
    std::string_view{"_trans_"},                 // 0E
    std::string_view{"_^3_"},                    // 0F
    std::string_view{"("},                       // 10
    std::string_view{")"},                       // 11
    std::string_view{"round("},                  // 12
    std::string_view{"pxl-Test("},               // 13
    std::string_view{"augment("},                // 14
    std::string_view{"rowSwap("},                // 15
    std::string_view{"row+("},                   // 16
    std::string_view{"*row("},                   // 17
    std::string_view{"*row+("},                  // 18
    std::string_view{"max("},                    // 19
    std::string_view{"min("},                    // 1A
    std::string_view{"R_>_Pr("},                 // 1B
    std::string_view{"R_>_P_theta_("},           // 1C
    std::string_view{"P_>_Rx("},                 // 1D
    std::string_view{"P_>_Ry("},                 // 1E
    std::string_view{"median("},                 // 1F
    std::string_view{"randM("},                  // 20
    std::string_view{"mean("},                   // 21
    std::string_view{"solve("},                  // 22
    std::string_view{"seq("},                    // 23
    std::string_view{"fnInt("},                  // 24
    std::string_view{"nDeriv("},                 // 25
    std::string_view{""},                        // 26
    std::string_view{"fMin("},                   // 27
    std::string_view{"fMax("},                   // 28
    std::string_view{" "},                       // 29
    std::string_view{"\""},                      // 2A
    std::string_view{","},                       // 2B
    std::string_view{"_i_"},                     // 2C
    std::string_view{"!"},                       // 2D
    std::string_view{"CubicReg "},               // 2E
    std::string_view{"QuartReg "},               // 2F
    std::string_view{"0"},                       // 30
    std::string_view{"1"},                       // 31
    std::string_view{"2"},                       // 32
    std::string_view{"3"},                       // 33
    std::string_view{"4"},                       // 34
    std::string_view{"5"},                       // 35
    std::string_view{"6"},                       // 36
    std::string_view{"7"},                       // 37
    std::string_view{"8"},                       // 38
    std::string_view{"9"},                       // 39
    std::string_view{"."},                       // 3A
    std::string_view{"_EE_"},                    // 3B
    std::string_view{" or "},                    // 3C
    std::string_view{" xor "},                   // 3D
    std::string_view{":"},                       // 3E
    std::string_view{"\r\n"},                    // 3F
    std::string_view{" and "},                   // 40
    std::string_view{"A"},                       // 41
    std::string_view{"B"},                       // 42
    std::string_view{"C"},                       // 43
    std::string_view{"D"},                       // 44
    std::string_view{"E"},                       // 45
    std::string_view{"F"},                       // 46
    std::string_view{"G"},                       // 47
    std::string_view{"H"},                       // 48
    std::string_view{"I"},                       // 49
    std::string_view{"J"},                       // 4A
    std::string_view{"K"},                       // 4B
    std::string_view{"L"},                       // 4C
    std::string_view{"M"},                       // 4D
    std::string_view{"N"},                       // 4E
    std::string_view{"O"},                       // 4F
    std::string_view{"P"},                       // 50
    std::string_view{"Q"},                       // 51
    std::string_view{"R"},                       // 52
    std::string_view{"S"},                       // 53
    std::string_view{"T"},                       // 54
    std::string_view{"U"},                       // 55
    std::string_view{"V"},                       // 56
    std::string_view{"W"},                       // 57
    std::string_view{"X"},                       // 58
    std::string_view{"Y"},                       // 59
    std::string_view{"Z"},                       // 5A
    std::string_view{"_theta_"},                 // 5B
    std::string_view{"["},                       // 5C
    std::string_view{"L"},                       // 5D
    std::string_view{""},                        // 5E
    std::string_view{"prgm"},                    // 5F
    std::string_view{"Pic"},                     // 60
    std::string_view{"GDB"},                     // 61
    std::string_view{""},                        // 62
    std::string_view{""},                        // 63
    std::string_view{"Radian"},                  // 64
    std::string_view{"Degree"},                  // 65
    std::string_view{"Normal"},                  // 66
    std::string_view{"Sci"},                     // 67
    std::string_view{"Eng"},                     // 68
    std::string_view{"Float"},                   // 69
    std::string_view{"="},                       // 6A
    std::string_view{"<"},                       // 6B
    std::string_view{">"},                       // 6C
    std::string_view{"_<=_"},                    // 6D
    std::string_view{"_>=_"},                    // 6E
    std::string_view{"_!=_"},                    // 6F
    std::string_view{"+"},                       // 70
    std::string_view{"-"},                       // 71
    std::string_view{"Ans"},                     // 72
    std::string_view{"Fix "},                    // 73
    std::string_view{"Horiz"},                   // 74
    std::string_view{"Full"},                    // 75
    std::string_view{"Func"},                    // 76
    std::string_view{"Param"},                   // 77
    std::string_view{"Polar"},                   // 78
    std::string_view{"Seq"},                     // 79
    std::string_view{"IndpntAuto"},              // 7A
    std::string_view{"IndpntAsk"},               // 7B
    std::string_view{"DependAuto"},              // 7C
    std::string_view{"DependAsk"},               // 7D
    std::string_view{""},                        // 7E
    std::string_view{"_box_"},                   // 7F
    std::string_view{"_+_"},                     // 80
    std::string_view{"_dot_"},                   // 81
    std::string_view{"*"},                       // 82
    std::string_view{"/"},                       // 83
    std::string_view{"Trace"},                   // 84
    std::string_view{"ClrDraw"},                 // 85
    std::string_view{"ZStandard"},               // 86
    std::string_view{"ZTrig"},                   // 87
    std::string_view{"ZBox"},                    // 88
    std::string_view{"Zoom In"},                 // 89
    std::string_view{"Zoom Out"},                // 8A
    std::string_view{"ZSquare"},                 // 8B
    std::string_view{"ZInteger"},                // 8C
    std::string_view{"ZPrevious"},               // 8D
    std::string_view{"ZDecimal"},                // 8E
    std::string_view{"ZoomStat"},                // 8F
    std::string_view{"ZoomRcl"},                 // 90
    std::string_view{"\"<<46:PrintScreen>>\""},  // 91
    std::string_view{"ZoomSto"},                 // 92
    std::string_view{"Text("},                   // 93
    std::string_view{" nPr "},                   // 94
    std::string_view{" nCr "},                   // 95
    std::string_view{"FnOn "},                   // 96
    std::string_view{"FnOff "},                  // 97
    std::string_view{"StorePic "},               // 98
    std::string_view{"RecallPic "},              // 99
    std::string_view{"StoreGDB "},               // 9A
    std::string_view{"RecallGDB "},              // 9B
    std::string_view{"Line("},                   // 9C
    std::string_view{"Vertical "},               // 9D
    std::string_view{"Pt-On("},                  // 9E
    std::string_view{"Pt-Off("},                 // 9F
    std::string_view{"Pt-Change("},              // A0
    std::string_view{"Pxl-On("},                 // A1
    std::string_view{"Pxl-Off("},                // A2
    std::string_view{"Pxl-Change("},             // A3
    std::string_view{"Shade("},                  // A4
    std::string_view{"Circle("},                 // A5
    std::string_view{"Horizontal "},             // A6
    std::string_view{"Tangent("},                // A7
    std::string_view{"DrawInv "},                // A8
    std::string_view{"DrawF "},                  // A9
    std::string_view{""},                        // AA
    std::string_view{"rand"},                    // AB
    std::string_view{"_pi_"},                    // AC
    std::string_view{"getKey"},                  // AD
    std::string_view{"'"},                       // AE
    std::string_view{"?"},                       // AF
    std::string_view{"_neg_"},                   // B0
    std::string_view{"int("},                    // B1
    std::string_view{"abs("},                    // B2
    std::string_view{"det("},                    // B3
    std::string_view{"identity("},               // B4
    std::string_view{"dim("},                    // B5
    std::string_view{"sum("},                    // B6
    std::string_view{"prod("},                   // B7
    std::string_view{"not("},                    // B8
    std::string_view{"iPart("},                  // B9
    std::string_view{"fPart("},                  // BA
    std::string_view{""},                        // BB
    std::string_view{"_root_("},                 // BC
    std::string_view{"_^3__root_("},             // BD
    std::string_view{"ln("},                     // BE
    std::string_view{"_e_^("},                   // BF
    std::string_view{"log("},                    // C0
    std::string_view{"_10_^("},                  // C1
    std::string_view{"sin("},                    // C2
    std::string_view{"sin_^-1_("},               // C3
    std::string_view{"cos("},                    // C4
    std::string_view{"cos_^-1_("},               // C5
    std::string_view{"tan("},                    // C6
    std::string_view{"tan_^-1_("},               // C7
    std::string_view{"sinh("},                   // C8
    std::string_view{"sinh_^-1_("},              // C9
    std::string_view{"cosh("},                   // CA
    std::string_view{"cosh_^-1_("},              // CB
    std::string_view{"tanh("},                   // CC
    std::string_view{"tanh_^-1_("},              // CD
    std::string_view{"If"},                      // CE
    std::string_view{"Then"},                    // CF
    std::string_view{"Else"},                    // D0
    std::string_view{"While "},                  // D1
    std::string_view{"Repeat "},                 // D2
    std::string_view{"For("},                    // D3
    std::string_view{"End"},                     // D4
    std::string_view{"Return"},                  // D5
    std::string_view{"Lbl "},                    // D6
    std::string_view{"Goto "},                   // D7
    std::string_view{"Pause "},                  // D8
    std::string_view{"Stop"},                    // D9
    std::string_view{"IS>("},                    // DA
    std::string_view{"DS<("},                    // DB
    std::string_view{"Input "},                  // DC
    std::string_view{"Prompt "},                 // DD
    std::string_view{"Disp "},                   // DE
    std::string_view{"DispGraph"},               // DF
    std::string_view{"Output("},                 // E0
    std::string_view{"ClrHome"},                 // E1
    std::string_view{"Fill("},                   // E2
    std::string_view{"SortA("},                  // E3
    std::string_view{"SortD("},                  // E4
    std::string_view{"DispTable"},               // E5
    std::string_view{"Menu("},                   // E6
    std::string_view{"Send("},                   // E7
    std::string_view{"Get("},                    // E8
    std::string_view{"PlotsOn "},                // E9
    std::string_view{"PlotsOff "},               // EA
    std::string_view{"_L_"},                     // EB
    std::string_view{"Plot1("},                  // EC
    std::string_view{"Plot2("},                  // ED
    std::string_view{"Plot3("},                  // EE
    std::string_view{""},                        // EF
    std::string_view{"^"},                       // F0
    std::string_view{"_^x__root_"},              // F1
    std::string_view{"1-Var Stats "},            // F2
    std::string_view{"2-Var Stats "},            // F3
    std::string_view{"LinReg(a+bx) "},           // F4
    std::string_view{"ExpReg "},                 // F5
    std::string_view{"LnReg "},                  // F6
    std::string_view{"PwrReg "},                 // F7
    std::string_view{"Med-Med "},                // F8
    std::string_view{"QuadReg "},                // F9
    std::string_view{"ClrList "},                // FA
    std::string_view{"ClrTable"},                // FB
    std::string_view{"Histogram"},               // FC
    std::string_view{"xyLine"},                  // FD
    std::string_view{"Scatter"},                 // FE
    std::string_view{"LinReg(ax+b) "},           // FF
});
static_assert(kOneByteRows.size() == 256);
static_assert(std::ranges::all_of(kOneByteRows, [](std::string_view text) {
  return text.size() <= kLongestTokenText;
}));

}  // namespace

const std::array<std::string_view, 256> OneByteTokenTable = kOneByteRows;

}  // namespace tabulex
