// The SDK's render modes (G_RM_* of the console's graphics headers), for tests of the blender
#pragma once
#include <cstdint>

namespace rm {

// Flags of othermode_l.
constexpr uint32_t AA_EN = 0x8, Z_CMP = 0x10, Z_UPD = 0x20, IM_RD = 0x40, CLR_ON_CVG = 0x80;
constexpr uint32_t CVG_DST_CLAMP = 0, CVG_DST_WRAP = 0x100, CVG_DST_FULL = 0x200;
constexpr uint32_t CVG_DST_SAVE = 0x300;
constexpr uint32_t ZMODE_OPA = 0, ZMODE_INTER = 0x400, ZMODE_XLU = 0x800, ZMODE_DEC = 0xC00;
constexpr uint32_t CVG_X_ALPHA = 0x1000, ALPHA_CVG_SEL = 0x2000, FORCE_BL = 0x4000;
constexpr uint32_t G_AC_NONE = 0, G_AC_THRESHOLD = 1, G_AC_DITHER = 3;

// Blender inputs: P and M colours, A and B weights.
constexpr uint32_t CLR_IN = 0, CLR_MEM = 1, CLR_BL = 2, CLR_FOG = 3;
constexpr uint32_t A_IN = 0, A_FOG = 1, A_SHADE = 2, A_0 = 3;
constexpr uint32_t B_1MA = 0, B_A_MEM = 1, B_1 = 2, B_0 = 3;

// P x A + M x B of cycle 1 (bits 30, 26, 22, 18) and of cycle 2 (two bits lower).
constexpr uint32_t c1(uint32_t p, uint32_t a, uint32_t m, uint32_t b) {
    return p << 30 | a << 26 | m << 22 | b << 18;
}
constexpr uint32_t c2(uint32_t p, uint32_t a, uint32_t m, uint32_t b) {
    return p << 28 | a << 24 | m << 20 | b << 16;
}

// A render mode: its flags and its blender formula, written for either cycle.
struct Mode {
    const char* name;
    uint32_t flags;
    uint32_t p, a, m, b;
    constexpr uint32_t cycle1() const { return flags | c1(p, a, m, b); }
    constexpr uint32_t cycle2() const { return flags | c2(p, a, m, b); }
};

constexpr uint32_t kOpaFlags = CVG_DST_CLAMP | ZMODE_OPA | ALPHA_CVG_SEL;
constexpr Mode kModes[]      = {
         {"AA_ZB_OPA_SURF", AA_EN | Z_CMP | Z_UPD | IM_RD | kOpaFlags, CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"RA_ZB_OPA_SURF", AA_EN | Z_CMP | Z_UPD | kOpaFlags, CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"AA_ZB_XLU_SURF", AA_EN | Z_CMP | IM_RD | CVG_DST_WRAP | CLR_ON_CVG | FORCE_BL | ZMODE_XLU,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_OPA_DECAL", AA_EN | Z_CMP | IM_RD | CVG_DST_WRAP | ALPHA_CVG_SEL | ZMODE_DEC, CLR_IN,
          A_IN, CLR_MEM, B_A_MEM},
         {"AA_ZB_XLU_DECAL", AA_EN | Z_CMP | IM_RD | CVG_DST_WRAP | CLR_ON_CVG | FORCE_BL | ZMODE_DEC,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_OPA_INTER", AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_CLAMP | ALPHA_CVG_SEL | ZMODE_INTER,
          CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"AA_ZB_XLU_INTER", AA_EN | Z_CMP | IM_RD | CVG_DST_WRAP | CLR_ON_CVG | FORCE_BL | ZMODE_INTER,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_XLU_LINE",
          AA_EN | Z_CMP | IM_RD | CVG_DST_CLAMP | CVG_X_ALPHA | ALPHA_CVG_SEL | FORCE_BL | ZMODE_XLU,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_TEX_EDGE",
          AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_CLAMP | CVG_X_ALPHA | ALPHA_CVG_SEL | ZMODE_OPA,
          CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"AA_ZB_SUB_SURF", AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_FULL | ZMODE_OPA | ALPHA_CVG_SEL,
          CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"AA_ZB_PCL_SURF", AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_CLAMP | ZMODE_OPA | G_AC_DITHER,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_OPA_TERR", AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_CLAMP | ZMODE_OPA | ALPHA_CVG_SEL,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_ZB_TEX_TERR",
          AA_EN | Z_CMP | Z_UPD | IM_RD | CVG_DST_CLAMP | CVG_X_ALPHA | ALPHA_CVG_SEL | ZMODE_OPA,
          CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"AA_OPA_SURF", AA_EN | IM_RD | kOpaFlags, CLR_IN, A_IN, CLR_MEM, B_A_MEM},
         {"AA_XLU_SURF", AA_EN | IM_RD | CVG_DST_WRAP | CLR_ON_CVG | FORCE_BL | ZMODE_OPA, CLR_IN, A_IN,
          CLR_MEM, B_1MA},
         {"AA_TEX_EDGE", AA_EN | IM_RD | CVG_DST_CLAMP | CVG_X_ALPHA | ALPHA_CVG_SEL | ZMODE_OPA, CLR_IN,
          A_IN, CLR_MEM, B_A_MEM},
         {"ZB_OPA_SURF", Z_CMP | Z_UPD | CVG_DST_FULL | ALPHA_CVG_SEL | ZMODE_OPA, CLR_IN, A_IN, CLR_MEM,
          B_A_MEM},
         {"ZB_XLU_SURF", Z_CMP | IM_RD | CVG_DST_FULL | FORCE_BL | ZMODE_XLU, CLR_IN, A_IN, CLR_MEM,
          B_1MA},
         {"ZB_OPA_DECAL", Z_CMP | CVG_DST_FULL | ALPHA_CVG_SEL | ZMODE_DEC, CLR_IN, A_IN, CLR_MEM,
          B_A_MEM},
         {"ZB_XLU_DECAL", Z_CMP | IM_RD | CVG_DST_FULL | FORCE_BL | ZMODE_DEC, CLR_IN, A_IN, CLR_MEM,
          B_1MA},
         {"ZB_CLD_SURF", Z_CMP | IM_RD | CVG_DST_SAVE | FORCE_BL | ZMODE_XLU, CLR_IN, A_IN, CLR_MEM,
          B_1MA},
         {"ZB_OVL_SURF", Z_CMP | IM_RD | CVG_DST_SAVE | FORCE_BL | ZMODE_DEC, CLR_IN, A_IN, CLR_MEM,
          B_1MA},
         {"ZB_PCL_SURF", Z_CMP | Z_UPD | CVG_DST_FULL | ZMODE_OPA | G_AC_DITHER, CLR_IN, A_0, CLR_IN,
          B_1},
         {"OPA_SURF", CVG_DST_CLAMP | FORCE_BL | ZMODE_OPA, CLR_IN, A_0, CLR_IN, B_1},
         {"XLU_SURF", IM_RD | CVG_DST_FULL | FORCE_BL | ZMODE_OPA, CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"TEX_EDGE", CVG_DST_CLAMP | CVG_X_ALPHA | ALPHA_CVG_SEL | FORCE_BL | ZMODE_OPA | AA_EN, CLR_IN,
          A_0, CLR_IN, B_1},
         {"CLD_SURF", IM_RD | CVG_DST_SAVE | FORCE_BL | ZMODE_OPA, CLR_IN, A_IN, CLR_MEM, B_1MA},
         {"PCL_SURF", CVG_DST_FULL | FORCE_BL | ZMODE_OPA | G_AC_DITHER, CLR_IN, A_0, CLR_IN, B_1},
         {"ADD", IM_RD | CVG_DST_SAVE | FORCE_BL | ZMODE_OPA, CLR_IN, A_FOG, CLR_MEM, B_1},
         {"OPA_CI", CVG_DST_CLAMP | ZMODE_OPA, CLR_IN, A_0, CLR_IN, B_1},
};

constexpr bool same_name(const char* x, const char* y) {
    while (*x && *x == *y)
        ++x, ++y;
    return *x == *y;
}
// The mode of a name in kModes (G_RM_<name> is its cycle1(), G_RM_<name>2 its cycle2()).
constexpr const Mode& mode(const char* name) {
    for (const Mode& m : kModes)
        if (same_name(m.name, name)) return m;
    return kModes[0];
}

// The first cycles of two-cycle modes.
constexpr uint32_t G_RM_PASS        = c1(CLR_IN, A_0, CLR_IN, B_1);
constexpr uint32_t G_RM_FOG_SHADE_A = c1(CLR_FOG, A_SHADE, CLR_IN, B_1MA);

} // namespace rm
