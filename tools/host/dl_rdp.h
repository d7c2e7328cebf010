// Command words of the RDP commands that set the combiner and draw rectangles
#pragma once
#include <array>
#include <cstdint>

#include "dl_builder.h"

namespace cmd {

// SETCOMBINE from the two packed keys (the inverse of the plug-in's key packing), so that
// scenes name a combiner setting the way the recipe table does.
constexpr Command set_combine_keys(uint32_t key0, uint32_t key1) {
    auto sel          = [](uint32_t key, int lo, int n) { return (key >> lo) & ((1u << n) - 1); };
    const uint32_t w0 = sel(key0, 0, 4) << 20 | sel(key0, 8, 5) << 15 | sel(key0, 16, 3) << 12 |
                        sel(key0, 22, 3) << 9 | sel(key1, 0, 4) << 5 | sel(key1, 8, 5);
    const uint32_t w1 = sel(key0, 4, 4) << 28 | sel(key1, 4, 4) << 24 | sel(key1, 16, 3) << 21 |
                        sel(key1, 22, 3) << 18 | sel(key0, 13, 3) << 15 | sel(key0, 19, 3) << 12 |
                        sel(key0, 25, 3) << 9 | sel(key1, 13, 3) << 6 | sel(key1, 19, 3) << 3 |
                        sel(key1, 25, 3);
    return word(0xFC, w0, w1);
}

// G_RM_XLU_SURF of one cycle: the surface mixed with memory by its alpha (IM_RD, CVG_DST_FULL,
// FORCE_BL, blender IN x A_IN + MEM x (1 - A)).
constexpr uint32_t kRenderXluSurf = 0x00404240;

// SETOTHERMODE with a cycle type (0 one-cycle, 1 two-cycle, 2 copy, 3 fill) and the low word.
constexpr Command set_cycle_type(uint32_t cycle_type, uint32_t othermode_l = 0) {
    return set_other_mode(cycle_type << 20, othermode_l);
}

// Signed 10.5 and 5.10 fixed point of texture coordinates and steps.
constexpr uint32_t fixed_10_5(float texels) {
    return static_cast<uint32_t>(static_cast<int32_t>(texels * 32.0f)) & 0xFFFF;
}
constexpr uint32_t fixed_5_10(float step) {
    return static_cast<uint32_t>(static_cast<int32_t>(step * 1024.0f)) & 0xFFFF;
}

// TEXRECT takes 24 bytes: the command and two words carrying s, t and the steps (the RDP
// half-word commands 0xB4 and 0xB3 of the first families).
inline std::array<Command, 3> tex_rect(float ulx, float uly, float lrx, float lry, uint32_t tile,
                                       float s, float t, float dsdx, float dtdy) {
    auto q = [](float pixels) { return static_cast<uint32_t>(pixels * 4.0f) & 0xFFF; };
    return {word(0xE4, q(lrx) << 12 | q(lry), (tile & 7) << 24 | q(ulx) << 12 | q(uly)),
            word(0xB4, 0, fixed_10_5(s) << 16 | fixed_10_5(t)),
            word(0xB3, 0, fixed_5_10(dsdx) << 16 | fixed_5_10(dtdy))};
}

constexpr Command tex_rect_flip() { return word(0xE5, 0, 0); }

} // namespace cmd
