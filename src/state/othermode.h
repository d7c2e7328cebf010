// Fields of the RDP other-mode words that the SETOTHERMODE_L and SETOTHERMODE_H commands replace
#pragma once
#include <cstdint>

#include "state/bits.h"
#include "state/rdp_reg.h"

// Render-mode flags of othermode_l that the plug-in acts on.
constexpr uint32_t kZCompare     = 0x10;   // depth test
constexpr uint32_t kZUpdate      = 0x20;   // depth writes
constexpr uint32_t kAlphaCompare = 0x3;    // bits 0..1: G_AC_THRESHOLD 1, G_AC_DITHER 3
constexpr uint32_t kAntiAlias    = 0x8;    // AA_EN: only covered pixels are written
constexpr uint32_t kCvgXAlpha    = 0x1000; // coverage multiplied by the colour's alpha
constexpr uint32_t kAlphaCvgSel  = 0x2000; // coverage, not the colour's alpha, as alpha
constexpr uint32_t kForceBlend   = 0x4000; // blend whatever the coverage

// The fields of the two other-mode words, by the shift that SETOTHERMODE_L/H carries.
struct OtherModeField {
    uint32_t shift;
    uint32_t mask;
    const char* name;
};
constexpr OtherModeField kOtherModeL[] = {
    {0, 0x00000003, "ALPHACOMPARE"},
    {2, 0x00000004, "ZSRCSEL"},
    {3, 0xFFFFFFF8, "RENDERMODE"},
};
constexpr OtherModeField kOtherModeH[] = {
    {4, 0x00000030, "ALPHADITHER"},    {6, 0x000000C0, "RGBDITHER"},
    {8, 0x00000100, "COMBINEKEY"},     {9, 0x00000E00, "TEXTURECONVERT"},
    {12, 0x00003000, "TEXTUREFILTER"}, {14, 0x0000C000, "TEXTURELUT"},
    {16, 0x00010000, "TEXTURELOD"},    {17, 0x00060000, "TEXTUREDETAIL"},
    {19, 0x00080000, "TEXTUREPERSP"},  {20, 0x00300000, "CYCLETYPE"},
    {22, 0x00400000, "COLORDITHER"},   {23, 0x00800000, "PIPELINEMODE"},
};
constexpr uint32_t kCycleTypeShift = 20;
constexpr uint32_t kCycleCopy      = 2;
// G_TF_BILERP (0x2000) and G_TF_AVERAGE (0x3000) filter between texels; G_TF_POINT (0) takes the
// nearest one, and so does bit 12 alone (the mid-texel bit of a point sample).
constexpr uint32_t kTextureFilterBilerp = 0x2000;

// The field at a shift; null for shifts that name no field.
template <int N>
constexpr const OtherModeField* othermode_field(const OtherModeField (&fields)[N], uint32_t shift) {
    for (const OtherModeField& f : fields)
        if (f.shift == shift) return &f;
    return nullptr;
}

// Mask of the field at a shift; 0 for shifts that name no field.
template <int N>
constexpr uint32_t othermode_mask(const OtherModeField (&fields)[N], uint32_t shift) {
    const OtherModeField* f = othermode_field(fields, shift);
    return f ? f->mask : 0;
}

// Replaces the othermode_l field at shift by the same bits of value.
inline void set_othermode_l_field(uint32_t shift, uint32_t value) {
    const uint32_t mask = othermode_mask(kOtherModeL, shift);
    rdp_reg.othermode_l = (rdp_reg.othermode_l & ~mask) | (value & mask);
}

// Replaces the othermode_h field at shift by the same bits of value; the cycle type is also
// kept as a number.
inline void set_othermode_h_field(uint32_t shift, uint32_t value) {
    const uint32_t mask = othermode_mask(kOtherModeH, shift);
    rdp_reg.othermode_h = (rdp_reg.othermode_h & ~mask) | (value & mask);
    if (shift == kCycleTypeShift) rdp_reg.cycle_type = static_cast<uint8_t>(field(value, 20, 2));
}
