// The rows of the character table, in search order: first the 112 names that have a code in the
// KV-68 family's character set, then the 88 that do not. Several names share a code, and
// "_degrees_" and "_neg_" appear twice; the first match settles both directions.
#include "converter/kv68/CharacterTable.h"

namespace tabulex {

namespace {

constexpr auto kRows = std::to_array<CharacterRow>({
    // Names with a code in the KV-68 family's character set.
    CharacterRow{"_!_", 0xA2},          // 1
    CharacterRow{"_!=_", 0x9D},         // 2
    CharacterRow{"_(C)_", 0xA8},        // 3
    CharacterRow{"_?_", 0xB9},          // 4
    CharacterRow{"_^-_", 0xAB},         // 5
    CharacterRow{"_neg_", 0xAD},        // 6
    CharacterRow{"_^-1_", 0xB4},        // 7
    CharacterRow{"_degrees_", 0xB0},    // 8
    CharacterRow{"_^2_", 0xAE},         // 9
    CharacterRow{"_^3_", 0xAF},         // 10
    CharacterRow{"_^x_", 0xB3},         // 11
    CharacterRow{"_<<_", 0xFD},         // 12
    CharacterRow{"_<=_", 0x9C},         // 13
    CharacterRow{"_>_", 0xFC},          // 14
    CharacterRow{"_->_", 0xBB},         // 15
    CharacterRow{"_>=_", 0x9E},         // 16
    CharacterRow{"_>>_", 0xFE},         // 17
    CharacterRow{"_A:_", 0xC4},         // 18
    CharacterRow{"_a:_", 0xC4},         // 19
    CharacterRow{"_A^_", 0xC2},         // 20
    CharacterRow{"_a^_", 0xC2},         // 21
    CharacterRow{"_A'_", 0xC1},         // 22
    CharacterRow{"_a'_", 0xDD},         // 23
    CharacterRow{"_A`_", 0xC0},         // 24
    CharacterRow{"_a`_", 0xDC},         // 25
    CharacterRow{"_A~_", 0xC3},         // 26
    CharacterRow{"_a~_", 0xC3},         // 27
    CharacterRow{"_ae_", 0xE2},         // 28
    CharacterRow{"_AE_", 0xC2},         // 29
    CharacterRow{"_alpha_", 0x80},      // 30
    CharacterRow{"_angle_", 0x9F},      // 31
    CharacterRow{"_Ao_", 0xC5},         // 32
    CharacterRow{"_ao_", 0xE1},         // 33
    CharacterRow{"_beta_", 0x81},       // 34
    CharacterRow{"_C'_", 0xC6},         // 35
    CharacterRow{"_c'_", 0xE3},         // 36
    CharacterRow{"_cents_", 0xA3},      // 37
    CharacterRow{"_dbar_", 0xEC},       // 38
    CharacterRow{"_degrees_", 0xAC},    // 39
    CharacterRow{"_DELTA_", 0x84},      // 40
    CharacterRow{"_delta_", 0x85},      // 41
    CharacterRow{"_diff_", 0xB6},       // 42
    CharacterRow{"_E:_", 0xCA},         // 43
    CharacterRow{"_e:_", 0xE7},         // 44
    CharacterRow{"_E^_", 0xC9},         // 45
    CharacterRow{"_e^_", 0xE6},         // 46
    CharacterRow{"_E'_", 0xC8},         // 47
    CharacterRow{"_e'_", 0xE5},         // 48
    CharacterRow{"_E`_", 0xC7},         // 49
    CharacterRow{"_e`_", 0xE4},         // 50
    CharacterRow{"_e_", 0x96},          // 51
    CharacterRow{"_element_", 0xBF},    // 52
    CharacterRow{"_ellipsis_", 0xA1},   // 53
    CharacterRow{"_epsilon_", 0x86},    // 54
    CharacterRow{"_gamma_", 0x83},      // 55
    CharacterRow{"_GAMMA_", 0x82},      // 56
    CharacterRow{"_i_", 0x97},          // 57
    CharacterRow{"_lambda_", 0x89},     // 58
    CharacterRow{"_lnot_", 0xA9},       // 59
    CharacterRow{"_mu_", 0xB1},         // 60
    CharacterRow{"_N~_", 0xCF},         // 61
    CharacterRow{"_n~_", 0xED},         // 62
    CharacterRow{"_neg_", 0xAA},        // 63
    CharacterRow{"_O/_", 0xD5},         // 64
    CharacterRow{"_o/_", 0xF3},         // 65
    CharacterRow{"_O:_", 0xD4},         // 66
    CharacterRow{"_o:_", 0xF2},         // 67
    CharacterRow{"_O^_", 0xD2},         // 68
    CharacterRow{"_o^_", 0xF0},         // 69
    CharacterRow{"_O'_", 0xD1},         // 70
    CharacterRow{"_o'_", 0xEF},         // 71
    CharacterRow{"_O`_", 0xD0},         // 72
    CharacterRow{"_o`_", 0xEE},         // 73
    CharacterRow{"_O~_", 0xD3},         // 74
    CharacterRow{"_o~_", 0xF1},         // 75
    CharacterRow{"_OMEGA_", 0x93},      // 76
    CharacterRow{"_omega_", 0x94},      // 77
    CharacterRow{"_ord_", 0xB5},        // 78
    CharacterRow{"_p_", 0xF9},          // 79
    CharacterRow{"_phi_", 0x91},        // 80
    CharacterRow{"_pi_", 0x8C},         // 81
    CharacterRow{"_PI_", 0x8B},         // 82
    CharacterRow{"_pounds_", 0xA4},     // 83
    CharacterRow{"_psi_", 0x92},        // 84
    CharacterRow{"_radians_", 0x98},    // 85
    CharacterRow{"_rho_", 0x8D},        // 86
    CharacterRow{"_root_", 0xA7},       // 87
    CharacterRow{"_SIGMA_", 0x8E},      // 88
    CharacterRow{"_sigma_", 0x8F},      // 89
    CharacterRow{"_ss_", 0xDB},         // 90
    CharacterRow{"_starburst_", 0xA5},  // 91
    CharacterRow{"_subset_", 0xBE},     // 92
    CharacterRow{"_tau_", 0x90},        // 93
    CharacterRow{"_theta_", 0x88},      // 94
    CharacterRow{"_trans_", 0x99},      // 95
    CharacterRow{"_U:_", 0xD9},         // 96
    CharacterRow{"_u:_", 0xF7},         // 97
    CharacterRow{"_U^_", 0xD8},         // 98
    CharacterRow{"_u^_", 0xF6},         // 99
    CharacterRow{"_U'_", 0xD7},         // 100
    CharacterRow{"_u'_", 0xF5},         // 101
    CharacterRow{"_U`_", 0xD6},         // 102
    CharacterRow{"_u`_", 0xF4},         // 103
    CharacterRow{"_union_", 0xBC},      // 104
    CharacterRow{"_xi_", 0x8A},         // 105
    CharacterRow{"_xmean_", 0x9A},      // 106
    CharacterRow{"_y:_", 0xFA},         // 107
    CharacterRow{"_Y'_", 0xDA},         // 108
    CharacterRow{"_y'_", 0xF8},         // 109
    CharacterRow{"_yen_", 0xA6},        // 110
    CharacterRow{"_ymean_", 0x9B},      // 111
    CharacterRow{"_zeta_", 0x87},       // 112
    // Names without a code in the KV-68 family's character set.
    CharacterRow{"_))_", 0x00},           // 113
    CharacterRow{"_/_", 0x00},            // 114
    CharacterRow{"_[_", 0x00},            // 115
    CharacterRow{"_^a_", 0x00},           // 116
    CharacterRow{"_-_", 0x00},            // 117
    CharacterRow{"_|_", 0x00},            // 118
    CharacterRow{"_+_", 0x00},            // 119
    CharacterRow{"_+-_", 0x00},           // 120
    CharacterRow{"_<-_", 0x00},           // 121
    CharacterRow{"_0_", 0x00},            // 122
    CharacterRow{"_1_", 0x00},            // 123
    CharacterRow{"_10_", 0x00},           // 124
    CharacterRow{"_2_", 0x00},            // 125
    CharacterRow{"_3_", 0x00},            // 126
    CharacterRow{"_4_", 0x00},            // 127
    CharacterRow{"_5_", 0x00},            // 128
    CharacterRow{"_6_", 0x00},            // 129
    CharacterRow{"_7_", 0x00},            // 130
    CharacterRow{"_8_", 0x00},            // 131
    CharacterRow{"_9_", 0x00},            // 132
    CharacterRow{"_A_", 0x00},            // 133
    CharacterRow{"_accent_", 0x00},       // 134
    CharacterRow{"_B_", 0x00},            // 135
    CharacterRow{"_bin_", 0x00},          // 136
    CharacterRow{"_block_", 0x00},        // 137
    CharacterRow{"_box_", 0x00},          // 138
    CharacterRow{"_boxplot1_", 0x00},     // 139
    CharacterRow{"_boxplot2_", 0x00},     // 140
    CharacterRow{"_C_", 0x00},            // 141
    CharacterRow{"_chi_", 0x00},          // 142
    CharacterRow{"_cubed_", 0x00},        // 143
    CharacterRow{"_D_", 0x00},            // 144
    CharacterRow{"_Dbar_", 0x00},         // 145
    CharacterRow{"_dec_", 0x00},          // 146
    CharacterRow{"_dier_", 0x00},         // 147
    CharacterRow{"_dn-arrow_", 0x00},     // 148
    CharacterRow{"_dn-triangle_", 0x00},  // 149
    CharacterRow{"_dot_", 0x00},          // 150
    CharacterRow{"_E_", 0x00},            // 151
    CharacterRow{"_enter_", 0x00},        // 152
    CharacterRow{"_F_", 0x00},            // 153
    CharacterRow{"_F-stat_", 0x00},       // 154
    CharacterRow{"_grave_", 0x00},        // 155
    CharacterRow{"_hex_", 0x00},          // 156
    CharacterRow{"_hist1_", 0x00},        // 157
    CharacterRow{"_hist2_", 0x00},        // 158
    CharacterRow{"_I:_", 0x00},           // 159
    CharacterRow{"_i:_", 0x00},           // 160
    CharacterRow{"_I^_", 0x00},           // 161
    CharacterRow{"_i^_", 0x00},           // 162
    CharacterRow{"_I'_", 0x00},           // 163
    CharacterRow{"_i'_", 0x00},           // 164
    CharacterRow{"_I`_", 0x00},           // 165
    CharacterRow{"_i`_", 0x00},           // 166
    CharacterRow{"_infinity_", 0x00},     // 167
    CharacterRow{"_integral_", 0x00},     // 168
    CharacterRow{"_intersect_", 0x00},    // 169
    CharacterRow{"_invEq_", 0x00},        // 170
    CharacterRow{"_L_", 0x00},            // 171
    CharacterRow{"_listlock_", 0x00},     // 172
    CharacterRow{"_modbox1_", 0x00},      // 173
    CharacterRow{"_modbox2_", 0x00},      // 174
    CharacterRow{"_n_", 0x00},            // 175
    CharacterRow{"_N_", 0x00},            // 176
    CharacterRow{"_narrow-E_", 0x00},     // 177
    CharacterRow{"_normplot1_", 0x00},    // 178
    CharacterRow{"_normplot2_", 0x00},    // 179
    CharacterRow{"_not_", 0x00},          // 180
    CharacterRow{"_oct_", 0x00},          // 181
    CharacterRow{"_P_", 0x00},            // 182
    CharacterRow{"_para_", 0x00},         // 183
    CharacterRow{"_per_", 0x00},          // 184
    CharacterRow{"_registered_", 0x00},   // 185
    CharacterRow{"_rho^_", 0x00},         // 186
    CharacterRow{"_scatter1_", 0x00},     // 187
    CharacterRow{"_scatter2_", 0x00},     // 188
    CharacterRow{"_section_", 0x00},      // 189
    CharacterRow{"_sideways+_", 0x00},    // 190
    CharacterRow{"_sp4_", 0x00},          // 191
    CharacterRow{"_squared_", 0x00},      // 192
    CharacterRow{"_T_", 0x00},            // 193
    CharacterRow{"_temp_", 0x00},         // 194
    CharacterRow{"_u_", 0x00},            // 195
    CharacterRow{"_up-arrow_", 0x00},     // 196
    CharacterRow{"_v_", 0x00},            // 197
    CharacterRow{"_w_", 0x00},            // 198
    CharacterRow{"_xyplot1_", 0x00},      // 199
    CharacterRow{"_xyplot2_", 0x00},      // 200
});

static_assert(kRows.size() == kCharacterTableRows);

// The names with a code in the character set.
constexpr std::size_t kCodedRows = 112;

constexpr std::size_t CountCoded() {
  std::size_t count = 0;
  for (const CharacterRow& row : kRows) {
    if (row.code != 0) ++count;
  }
  return count;
}
static_assert(CountCoded() == kCodedRows);

// The coded rows come first, and every name is an escape name: "_", at least one character, "_".
constexpr bool RowsAreInOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    const std::string_view name = kRows[i].name;
    if (name.size() < 3 || name.front() != '_' || name.back() != '_') return false;
    if (kRows[i].code != 0 && i >= kCodedRows) return false;
  }
  return true;
}
static_assert(RowsAreInOrder());

}  // namespace

const std::array<CharacterRow, kCharacterTableRows> CharacterTable = kRows;

}  // namespace tabulex
