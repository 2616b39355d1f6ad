// Name tables of the calculator expression renderer, one row per line in tag and sub-code order.
// Bytes above 0x7F in names are characters of the calculator character set.
#include "converter/kv68/RendererTables.h"

#include <array>
#include <string_view>

namespace tabulex {

// clang-format off
namespace {

using enum TagKind;

constexpr auto kTagRows = std::to_array<TagRow>({
    {kName, {}},  // 0x00
    {kLetter, {}},  // 0x01
    {kLetter, {}},  // 0x02
    {kLetter, {}},  // 0x03
    {kLetter, {}},  // 0x04
    {kLetter, {}},  // 0x05
    {kLetter, {}},  // 0x06
    {kLetter, {}},  // 0x07
    {kLetter, {}},  // 0x08
    {kLetter, {}},  // 0x09
    {kLetter, {}},  // 0x0A
    {kLetter, {}},  // 0x0B
    {kLetter, {}},  // 0x0C
    {kLetter, {}},  // 0x0D
    {kLetter, {}},  // 0x0E
    {kLetter, {}},  // 0x0F
    {kLetter, {}},  // 0x10
    {kLetter, {}},  // 0x11
    {kLetter, {}},  // 0x12
    {kLetter, {}},  // 0x13
    {kLetter, {}},  // 0x14
    {kLetter, {}},  // 0x15
    {kLetter, {}},  // 0x16
    {kLetter, {}},  // 0x17
    {kLetter, {}},  // 0x18
    {kLetter, {}},  // 0x19
    {kLetter, {}},  // 0x1A
    {kLetter, {}},  // 0x1B
    {kSystemVariable, {}},  // 0x1C
    {kArbitrary, {}},  // 0x1D
    {kArbitrary, {}},  // 0x1E
    {kInteger, {}},  // 0x1F
    {kInteger, {}},  // 0x20
    {kFraction, {}},  // 0x21
    {kFraction, {}},  // 0x22
    {kReal, {}},  // 0x23
    {kConstant, "\x8C"},  // 0x24
    {kConstant, "\x96"},  // 0x25
    {kImaginary, "\x97"},  // 0x26
    {kSpecialValue, "\xAD" "\xBE"},  // 0x27
    {kSpecialValue, "\xBE"},  // 0x28
    {kSpecialValue, "+-inf"},  // 0x29
    {kSpecialValue, "undef"},  // 0x2A
    {kBoolean, "false"},  // 0x2B
    {kBoolean, "true"},  // 0x2C
    {kString, "\x22"},  // 0x2D
    {kUnused, {}},  // 0x2E
    {kInverseHyperbolic, "cosh" "\xB4"},  // 0x2F
    {kInverseHyperbolic, "sinh" "\xB4"},  // 0x30
    {kInverseHyperbolic, "tanh" "\xB4"},  // 0x31
    {kUnused, {}},  // 0x32
    {kUnused, {}},  // 0x33
    {kUnused, {}},  // 0x34
    {kHyperbolic, "cosh"},  // 0x35
    {kHyperbolic, "sinh"},  // 0x36
    {kHyperbolic, "tanh"},  // 0x37
    {kUnused, {}},  // 0x38
    {kUnused, {}},  // 0x39
    {kUnused, {}},  // 0x3A
    {kInverseTrig, "cos" "\xB4"},  // 0x3B
    {kInverseTrig, "sin" "\xB4"},  // 0x3C
    {kInverseTrig, "tan" "\xB4"},  // 0x3D
    {kUnused, {}},  // 0x3E
    {kUnused, {}},  // 0x3F
    {kUnused, {}},  // 0x40
    {kUnused, {}},  // 0x41
    {kUnused, {}},  // 0x42
    {kUnused, {}},  // 0x43
    {kTrig, "cos"},  // 0x44
    {kTrig, "sin"},  // 0x45
    {kTrig, "tan"},  // 0x46
    {kUnused, {}},  // 0x47
    {kUnused, {}},  // 0x48
    {kUnused, {}},  // 0x49
    {kUnnamedFunction, {}},  // 0x4A
    {kFunction, "abs"},  // 0x4B
    {kFunction, "angle"},  // 0x4C
    {kFunction, "ceiling"},  // 0x4D
    {kFunction, "floor"},  // 0x4E
    {kFunction, "int"},  // 0x4F
    {kFunction, "sign"},  // 0x50
    {kFunction, "\xA8"},  // 0x51
    {kExponential, {}},  // 0x52
    {kExponential, "ln"},  // 0x53
    {kExponential, "log"},  // 0x54
    {kFunction, "fPart"},  // 0x55
    {kFunction, "iPart"},  // 0x56
    {kFunction, "conj"},  // 0x57
    {kFunction, "imag"},  // 0x58
    {kFunction, "real"},  // 0x59
    {kTransform, "approx"},  // 0x5A
    {kTransform, "tExpand"},  // 0x5B
    {kTransform, "tCollect"},  // 0x5C
    {kFunction, "getDenom"},  // 0x5D
    {kFunction, "getNum"},  // 0x5E
    {kUnused, {}},  // 0x5F
    {kFunction, "cumSum"},  // 0x60
    {kFunction, "det"},  // 0x61
    {kFunction, "colNorm"},  // 0x62
    {kFunction, "rowNorm"},  // 0x63
    {kFunction, "norm"},  // 0x64
    {kFunction, "mean"},  // 0x65
    {kFunction, "median"},  // 0x66
    {kFunction, "product"},  // 0x67
    {kFunction, "stdDev"},  // 0x68
    {kFunction, "sum"},  // 0x69
    {kFunction, "variance"},  // 0x6A
    {kFunction, "unitV"},  // 0x6B
    {kFunction, "dim"},  // 0x6C
    {kFunction, "mat" "\x12" "list"},  // 0x6D
    {kFunction, "newList"},  // 0x6E
    {kFunction, "rref"},  // 0x6F
    {kFunction, "ref"},  // 0x70
    {kFunction, "identity"},  // 0x71
    {kFunction, "diag"},  // 0x72
    {kFunction, "colDim"},  // 0x73
    {kFunction, "rowDim"},  // 0x74
    {kUnaryOperator, "\x99"},  // 0x75
    {kUnaryOperator, "!"},  // 0x76
    {kUnaryOperator, "%"},  // 0x77
    {kUnaryOperator, "\x98"},  // 0x78
    {kUnaryOperator, "not"},  // 0x79
    {kUnaryOperator, "\xAD"},  // 0x7A
    {kUnaryOperator, {}},  // 0x7B
    {kUnaryOperator, {}},  // 0x7C
    {kUnaryOperator, {}},  // 0x7D
    {kUnaryOperator, "("},  // 0x7E
    {kUnused, {}},  // 0x7F
    {kStoreWith, "\x16"},  // 0x80
    {kStoreWith, "|"},  // 0x81
    {kLogic, "xor"},  // 0x82
    {kLogic, "or"},  // 0x83
    {kLogic, "and"},  // 0x84
    {kComparison, "<"},  // 0x85
    {kComparison, "\x9C"},  // 0x86
    {kComparison, "="},  // 0x87
    {kComparison, "\x9E"},  // 0x88
    {kComparison, ">"},  // 0x89
    {kComparison, "\x9D"},  // 0x8A
    {kAdditive, "+"},  // 0x8B
    {kAdditive, ".+"},  // 0x8C
    {kAdditive, "-"},  // 0x8D
    {kAdditive, ".-"},  // 0x8E
    {kMultiplicative, "*"},  // 0x8F
    {kMultiplicative, ".*"},  // 0x90
    {kMultiplicative, "/"},  // 0x91
    {kMultiplicative, "./"},  // 0x92
    {kPower, "^"},  // 0x93
    {kPower, ".^"},  // 0x94
    {kTwoArguments, {}},  // 0x95
    {kSolver, "solve"},  // 0x96
    {kSolver, "cSolve"},  // 0x97
    {kSolver, "nSolve"},  // 0x98
    {kSolver, "zeros"},  // 0x99
    {kSolver, "cZeros"},  // 0x9A
    {kSolver, "fMin"},  // 0x9B
    {kSolver, "fMax"},  // 0x9C
    {kUnused, {}},  // 0x9D
    {kTwoArguments, "polyEval"},  // 0x9E
    {kExpressionAndVariable, "randPoly"},  // 0x9F
    {kTwoArguments, "crossP"},  // 0xA0
    {kTwoArguments, "dotP"},  // 0xA1
    {kTwoArguments, "gcd"},  // 0xA2
    {kTwoArguments, "lcm"},  // 0xA3
    {kTwoArguments, "mod"},  // 0xA4
    {kTwoArguments, "intDiv"},  // 0xA5
    {kTwoArguments, "remain"},  // 0xA6
    {kTwoArguments, "nCr"},  // 0xA7
    {kTwoArguments, "nPr"},  // 0xA8
    {kTwoArguments, "P" "\x12" "Rx"},  // 0xA9
    {kTwoArguments, "P" "\x12" "Ry"},  // 0xAA
    {kTwoArguments, "R" "\x12" "P" "\x88"},  // 0xAB
    {kTwoArguments, "R" "\x12" "Pr"},  // 0xAC
    {kTwoArguments, "augment"},  // 0xAD
    {kTwoArguments, "newMat"},  // 0xAE
    {kTwoArguments, "randMat"},  // 0xAF
    {kTwoArguments, "simult"},  // 0xB0
    {kOptionalArguments, "part"},  // 0xB1
    {kExpressionAndVariable, "exp" "\x12" "list"},  // 0xB2
    {kTwoArguments, "randNorm"},  // 0xB3
    {kThreeArguments, "mRow"},  // 0xB4
    {kThreeArguments, "rowAdd"},  // 0xB5
    {kThreeArguments, "rowSwap"},  // 0xB6
    {kArcLength, "arcLen"},  // 0xB7
    {kIntegral, "nInt"},  // 0xB8
    {kIntegral, "\x8B"},  // 0xB9
    {kIntegral, "\x8E"},  // 0xBA
    {kFourArguments, "mRowAdd"},  // 0xBB
    {kOptionalArguments, "ans"},  // 0xBC
    {kOptionalArguments, "entry"},  // 0xBD
    {kOptionalArguments, "exact"},  // 0xBE
    {kOptionalArguments, {}},  // 0xBF
    {kOptionalArguments, "comDenom"},  // 0xC0
    {kOptionalArguments, "expand"},  // 0xC1
    {kOptionalArguments, "factor"},  // 0xC2
    {kOptionalArguments, "cFactor"},  // 0xC3
    {kOptionalArguments, "\xBD"},  // 0xC4
    {kOptionalArguments, "\xBC"},  // 0xC5
    {kOptionalArguments, "avgRC"},  // 0xC6
    {kOptionalArguments, "nDeriv"},  // 0xC7
    {kOptionalArguments, "taylor"},  // 0xC8
    {kOptionalArguments, "limit"},  // 0xC9
    {kOptionalArguments, "propFrac"},  // 0xCA
    {kOptionalArguments, "when"},  // 0xCB
    {kOptionalArguments, "round"},  // 0xCC
    {kOptionalArguments, "\xB0"},  // 0xCD
    {kOptionalArguments, "left"},  // 0xCE
    {kOptionalArguments, "right"},  // 0xCF
    {kOptionalArguments, "mid"},  // 0xD0
    {kOptionalArguments, "shift"},  // 0xD1
    {kOptionalArguments, "seq"},  // 0xD2
    {kOptionalArguments, "list" "\x12" "mat"},  // 0xD3
    {kOptionalArguments, "subMat"},  // 0xD4
    {kOptionalArguments, {}},  // 0xD5
    {kOptionalArguments, "rand"},  // 0xD6
    {kOptionalArguments, "min"},  // 0xD7
    {kOptionalArguments, "max"},  // 0xD8
    {kBracketList, "\x7B"},  // 0xD9
    {kBracketList, {}},  // 0xDA
    {kBracketList, "["},  // 0xDB
    {kVariable, {}},  // 0xDC
    {kVariable, {}},  // 0xDD
    {kVariable, {}},  // 0xDE
    {kVariable, {}},  // 0xDF
    {kVariable, {}},  // 0xE0
    {kVariable, {}},  // 0xE1
    {kVariable, {}},  // 0xE2
    {kUnused, {}},  // 0xE3
    {kUnused, {}},  // 0xE4
    {kSeparator, {}},  // 0xE5
    {kSeparator, "\xA9"},  // 0xE6
    {kSeparator, ":"},  // 0xE7
    {kSeparator, "\x0D"},  // 0xE8
    {kSeparator, {}},  // 0xE9
    {kUnaryOperator, "+-"},  // 0xEA
    {kAdditive, "+-"},  // 0xEB
    {kVariable, {}},  // 0xEC
    {kFunction, "eigVc"},  // 0xED
    {kFunction, "eigVl"},  // 0xEE
    {kUnaryOperator, "'"},  // 0xEF
    {kLetterPrefix, {}},  // 0xF0
    {kThreeArguments, "DeSolve"},  // 0xF1
    {kUnaryOperator, "'"},  // 0xF2
    {kVariable, {}},  // 0xF3
    {kFunction, "IsPrime"},  // 0xF4
    {kExpressionAndVariable, {}},  // 0xF5
    {kTransform, {}},  // 0xF6
    {kTransform, {}},  // 0xF7
    {kVariable, {}},  // 0xF8
    {kOptionalArguments, "rotate"},  // 0xF9
    {kUnused, {}},  // 0xFA
    {kUnused, {}},  // 0xFB
    {kUnused, {}},  // 0xFC
    {kUnused, {}},  // 0xFD
    {kUnused, {}},  // 0xFE
    {kUnused, {}},  // 0xFF
});
static_assert(kTagRows.size() == 256);

constexpr auto kSystemVariableRows = std::to_array<std::string_view>({
    {},  // 0x00
    "\x9A",  // 0x01
    "\x9B",  // 0x02
    "\x8E" "x",  // 0x03
    "\x8E" "x" "\xB2",  // 0x04
    "\x8E" "y",  // 0x05
    "\x8E" "y" "\xB2",  // 0x06
    "\x8E" "xy",  // 0x07
    "Sx",  // 0x08
    "Sy",  // 0x09
    "\x8F" "x",  // 0x0A
    "\x8F" "y",  // 0x0B
    "nStat",  // 0x0C
    "minX",  // 0x0D
    "minY",  // 0x0E
    "q1",  // 0x0F
    "medStat",  // 0x10
    "q3",  // 0x11
    "maxX",  // 0x12
    "maxY",  // 0x13
    "corr",  // 0x14
    "R" "\xB2",  // 0x15
    "medx1",  // 0x16
    "medx2",  // 0x17
    "medx3",  // 0x18
    "medy1",  // 0x19
    "medy2",  // 0x1A
    "medy3",  // 0x1B
    "xc",  // 0x1C
    "yc",  // 0x1D
    "zc",  // 0x1E
    "tc",  // 0x1F
    "rc",  // 0x20
    "\x88" "c",  // 0x21
    "nc",  // 0x22
    "xfact",  // 0x23
    "yfact",  // 0x24
    "zfact",  // 0x25
    "xmin",  // 0x26
    "xmax",  // 0x27
    "xscl",  // 0x28
    "ymin",  // 0x29
    "ymax",  // 0x2A
    "yscl",  // 0x2B
    "\x84" "x",  // 0x2C
    "\x84" "y",  // 0x2D
    "xres",  // 0x2E
    "xgrid",  // 0x2F
    "ygrid",  // 0x30
    "zmin",  // 0x31
    "zmax",  // 0x32
    "zscl",  // 0x33
    "eye" "\x88",  // 0x34
    "eye" "\x91",  // 0x35
    "\x88" "min",  // 0x36
    "\x88" "max",  // 0x37
    "\x88" "step",  // 0x38
    "tmin",  // 0x39
    "tmax",  // 0x3A
    "tstep",  // 0x3B
    "nmin",  // 0x3C
    "nmax",  // 0x3D
    "plotStrt",  // 0x3E
    "plotStep",  // 0x3F
    "zxmin",  // 0x40
    "zxmax",  // 0x41
    "zxscl",  // 0x42
    "zymin",  // 0x43
    "zymax",  // 0x44
    "zyscl",  // 0x45
    "zxres",  // 0x46
    "z" "\x88" "min",  // 0x47
    "z" "\x88" "max",  // 0x48
    "z" "\x88" "step",  // 0x49
    "ztmin",  // 0x4A
    "ztmax",  // 0x4B
    "ztstep",  // 0x4C
    "zxgrid",  // 0x4D
    "zygrid",  // 0x4E
    "zzmin",  // 0x4F
    "zzmax",  // 0x50
    "zzscl",  // 0x51
    "zeye" "\x88",  // 0x52
    "zeye" "\x91",  // 0x53
    "znmin",  // 0x54
    "znmax",  // 0x55
    "zpltstep",  // 0x56
    "zpltstrt",  // 0x57
    "seed1",  // 0x58
    "seed2",  // 0x59
    "ok",  // 0x5A
    "errornum",  // 0x5B
    "sysMath",  // 0x5C
    "sysData",  // 0x5D
    {},  // 0x5E
    "regCoef",  // 0x5F
    "tblInput",  // 0x60
    "tblStart",  // 0x61
    "\x84" "tbl",  // 0x62
    {},  // 0x63
    "eye" "\x92",  // 0x64
    "tplot",  // 0x65
    "diftol",  // 0x66
    "zeye" "\x92",  // 0x67
    "t0",  // 0x68
    "dtime",  // 0x69
    "ncurves",  // 0x6A
    "fldres",  // 0x6B
    "EStep",  // 0x6C
    "zt0de",  // 0x6D
    "ztmax",  // 0x6E
    "ztstep",  // 0x6F
    "ztplotde",  // 0x70
    "ncontour",  // 0x71
});
static_assert(kSystemVariableRows.size() == 114);

constexpr auto kExtendedTagRows = std::to_array<std::string_view>({
    {},  // 0x00
    "#",  // 0x01
    "getKey",  // 0x02
    "getFold",  // 0x03
    "switch",  // 0x04
    "\x12",  // 0x05
    "ord",  // 0x06
    "expr",  // 0x07
    "char",  // 0x08
    "string",  // 0x09
    "getType",  // 0x0A
    "getMode",  // 0x0B
    "setFold",  // 0x0C
    "ptTest",  // 0x0D
    "pxlTest",  // 0x0E
    "setGraph",  // 0x0F
    "setTable",  // 0x10
    "setMode",  // 0x11
    "format",  // 0x12
    "inString",  // 0x13
    "&",  // 0x14
    "\x12" "DD",  // 0x15
    "\x12" "DMS",  // 0x16
    "\x12" "Rect",  // 0x17
    "\x12" "Polar",  // 0x18
    "\x12" "Cylind",  // 0x19
    "\x12" "Sphere",  // 0x1A
    {},  // 0x1B
    {},  // 0x1C
    {},  // 0x1D
    {},  // 0x1E
    {},  // 0x1F
    {},  // 0x20
    {},  // 0x21
    {},  // 0x22
    {},  // 0x23
    {},  // 0x24
    {},  // 0x25
    "\x9F",  // 0x26
    "tmpCnv",  // 0x27
    "\x84" "tmpCnv",  // 0x28
    "getUnits",  // 0x29
    "setUnits",  // 0x2A
    {},  // 0x2B
    {},  // 0x2C
    "\x12" "Bin",  // 0x2D
    "\x12" "Dec",  // 0x2E
    "\x12" "Hex",  // 0x2F
    "det",  // 0x30
    "ref",  // 0x31
    "rref",  // 0x32
    "simult",  // 0x33
    "getConfg",  // 0x34
    "augment",  // 0x35
});
static_assert(kExtendedTagRows.size() == 54);

constexpr auto kInstructionRows = std::to_array<InstructionRow>({
    {{}, kNoOperands},  // 0x00
    {"ClrDraw", kNoOperands},  // 0x01
    {"ClrGraph", kNoOperands},  // 0x02
    {"ClrHome", kNoOperands},  // 0x03
    {"ClrIO", kNoOperands},  // 0x04
    {"ClrTable", kNoOperands},  // 0x05
    {"Custom", kNoOperands},  // 0x06
    {"Cycle", kNoOperands},  // 0x07
    {"Dialog", kNoOperands},  // 0x08
    {"DispG", kNoOperands},  // 0x09
    {"DispTbl", kNoOperands},  // 0x0A
    {"Else", kNoOperands},  // 0x0B
    {"EndCustm", kNoOperands},  // 0x0C
    {"EndDlog", kNoOperands},  // 0x0D
    {"EndFor", kNoOperands},  // 0x0E
    {"EndFunc", kNoOperands},  // 0x0F
    {"EndIf", kNoOperands},  // 0x10
    {"EndLoop", kNoOperands},  // 0x11
    {"EndPrgm", kNoOperands},  // 0x12
    {"EndTBar", kNoOperands},  // 0x13
    {"EndTry", kNoOperands},  // 0x14
    {"EndWhile", kNoOperands},  // 0x15
    {"Exit", kNoOperands},  // 0x16
    {"Func", kNoOperands},  // 0x17
    {"Loop", kNoOperands},  // 0x18
    {"Prgm", kNoOperands},  // 0x19
    {"ShowStat", kNoOperands},  // 0x1A
    {"Stop", kNoOperands},  // 0x1B
    {"Then", kNoOperands},  // 0x1C
    {"Toolbar", kNoOperands},  // 0x1D
    {"Trace", kNoOperands},  // 0x1E
    {"Try", kNoOperands},  // 0x1F
    {"ZoomBox", kNoOperands},  // 0x20
    {"ZoomData", kNoOperands},  // 0x21
    {"ZoomDec", kNoOperands},  // 0x22
    {"ZoomFit", kNoOperands},  // 0x23
    {"ZoomIn", kNoOperands},  // 0x24
    {"ZoomInt", kNoOperands},  // 0x25
    {"ZoomOut", kNoOperands},  // 0x26
    {"ZoomPrev", kNoOperands},  // 0x27
    {"ZoomRcl", kNoOperands},  // 0x28
    {"ZoomSqr", kNoOperands},  // 0x29
    {"ZoomStd", kNoOperands},  // 0x2A
    {"ZoomSto", kNoOperands},  // 0x2B
    {"ZoomTrig", kNoOperands},  // 0x2C
    {"DrawFunc ", kOneOperand},  // 0x2D
    {"DrawInv ", kOneOperand},  // 0x2E
    {"Goto ", kOneOperand},  // 0x2F
    {"Lbl ", kOneOperand},  // 0x30
    {"Get ", kOneOperand},  // 0x31
    {"Send ", kOneOperand},  // 0x32
    {"GetCalc ", kOneOperand},  // 0x33
    {"SendCalc ", kOneOperand},  // 0x34
    {"NewFold ", kOneOperand},  // 0x35
    {{}, kOneOperand},  // 0x36
    {"RclGDB ", kOneOperand},  // 0x37
    {"StoGDB ", kOneOperand},  // 0x38
    {"ElseIf ", kOneOperand},  // 0x39
    {"If ", kOneOperand},  // 0x3A
    {"If ", kOneOperand},  // 0x3B
    {"RandSeed ", kOneOperand},  // 0x3C
    {"While ", kOneOperand},  // 0x3D
    {"LineTan ", kTwoOperands},  // 0x3E
    {"CopyVar ", kTwoOperands},  // 0x3F
    {"Rename ", kTwoOperands},  // 0x40
    {"Style ", kTwoOperands},  // 0x41
    {"Fill ", kTwoOperands},  // 0x42
    {"Request ", kTwoOperands},  // 0x43
    {"PopUp ", kTwoOperands},  // 0x44
    {"PtChg ", kTwoOperands},  // 0x45
    {"PtOff ", kTwoOperands},  // 0x46
    {"PtOn ", kTwoOperands},  // 0x47
    {"PxlChg ", kTwoOperands},  // 0x48
    {"PxlOff ", kTwoOperands},  // 0x49
    {"PxlOn ", kTwoOperands},  // 0x4A
    {"MoveVar ", kThreeOperands},  // 0x4B
    {"DropDown ", kThreeOperands},  // 0x4C
    {"Output ", kThreeOperands},  // 0x4D
    {"PtText ", kThreeOperands},  // 0x4E
    {"PxlText ", kThreeOperands},  // 0x4F
    {"DrawSlp ", kThreeOperands},  // 0x50
    {"Pause ", kListOperands},  // 0x51
    {"Return ", kListOperands},  // 0x52
    {"Input ", kListOperands},  // 0x53
    {"PlotsOff ", kListOperands},  // 0x54
    {"PlotsOn ", kListOperands},  // 0x55
    {"Title ", kListOperands},  // 0x56
    {"Item ", kListOperands},  // 0x57
    {"InputStr ", kListOperands},  // 0x58
    {"LineHorz ", kListOperands},  // 0x59
    {"LineVert ", kListOperands},  // 0x5A
    {"PxlHorz ", kListOperands},  // 0x5B
    {"PxlVert ", kListOperands},  // 0x5C
    {"AndPic ", kListOperands},  // 0x5D
    {"RclPic ", kListOperands},  // 0x5E
    {"RplcPic ", kListOperands},  // 0x5F
    {"XorPic ", kListOperands},  // 0x60
    {"DrawPol ", kListOperands},  // 0x61
    {"Text ", kListOperands},  // 0x62
    {"OneVar ", kListOperands},  // 0x63
    {"StoPic ", kListOperands},  // 0x64
    {"Graph ", kListOperands},  // 0x65
    {"Table ", kListOperands},  // 0x66
    {"NewPic ", kListOperands},  // 0x67
    {"DrawParm ", kListOperands},  // 0x68
    {"CyclePic ", kListOperands},  // 0x69
    {"CubicReg ", kListOperands},  // 0x6A
    {"ExpReg ", kListOperands},  // 0x6B
    {"LinReg ", kListOperands},  // 0x6C
    {"LnReg ", kListOperands},  // 0x6D
    {"MedMed ", kListOperands},  // 0x6E
    {"PowerReg ", kListOperands},  // 0x6F
    {"QuadReg ", kListOperands},  // 0x70
    {"QuartReg ", kListOperands},  // 0x71
    {"TwoVar ", kListOperands},  // 0x72
    {"Shade ", kListOperands},  // 0x73
    {"For ", kListOperands},  // 0x74
    {"Circle ", kListOperands},  // 0x75
    {"PxlCrcl ", kListOperands},  // 0x76
    {"NewPlot ", kListOperands},  // 0x77
    {"Line ", kListOperands},  // 0x78
    {"PxlLine ", kListOperands},  // 0x79
    {"Disp ", kListOperands},  // 0x7A
    {"FnOff ", kListOperands},  // 0x7B
    {"FnOn ", kListOperands},  // 0x7C
    {"Local ", kListOperands},  // 0x7D
    {"DelFold ", kListOperands},  // 0x7E
    {"DelVar ", kListOperands},  // 0x7F
    {"Lock ", kListOperands},  // 0x80
    {"Prompt ", kListOperands},  // 0x81
    {"SortA ", kListOperands},  // 0x82
    {"SortD ", kListOperands},  // 0x83
    {"Unlock ", kListOperands},  // 0x84
    {"NewData ", kListOperands},  // 0x85
    {"Define ", kListOperands},  // 0x86
    {"Else", kNoOperands},  // 0x87
    {"ClrErr", kNoOperands},  // 0x88
    {"PassErr", kNoOperands},  // 0x89
    {"DispHome", kNoOperands},  // 0x8A
    {"Exec ", kListOperands},  // 0x8B
    {"Archive ", kListOperands},  // 0x8C
    {"Unarchiv ", kListOperands},  // 0x8D
    {"LU ", kListOperands},  // 0x8E
    {"QR ", kListOperands},  // 0x8F
    {"BldData ", kListOperands},  // 0x90
    {"DrwCtour ", kOneOperand},  // 0x91
    {"NewProb", kNoOperands},  // 0x92
    {"SinReg ", kListOperands},  // 0x93
    {"Logistic ", kListOperands},  // 0x94
    {"CustmOn", kNoOperands},  // 0x95
    {"CustmOff", kNoOperands},  // 0x96
    {"SendChat ", kOneOperand},  // 0x97
});
static_assert(kInstructionRows.size() == 152);

// clang-format on

}  // namespace

const std::array<TagRow, 256> TagTable = kTagRows;
const std::array<std::string_view, 114> SystemVariableTable = kSystemVariableRows;
const std::array<std::string_view, 54> ExtendedTagTable = kExtendedTagRows;
const std::array<InstructionRow, 152> InstructionTable = kInstructionRows;

}  // namespace tabulex
