// Command words of the tile, load and palette commands
#pragma once
#include <cstdint>

#include "dl_builder.h"

namespace tex {

enum Format : uint32_t { rgba = 0, yuv = 1, ci = 2, ia = 3, i = 4 };
enum Size : uint32_t { b4 = 0, b8 = 1, b16 = 2, b32 = 3 };

// Wrap settings of one axis: clamp, mirror, mask and shift as SETTILE packs them.
struct Wrap {
    uint32_t clamp = 0, mirror = 0, mask = 0, shift = 0;
};
constexpr uint32_t wrap_bits(Wrap w) {
    return ((w.clamp & 1) << 9) | ((w.mirror & 1) << 8) | ((w.mask & 0xF) << 4) | (w.shift & 0xF);
}

// Quarter-texel (10.2) operand of a whole texel coordinate.
constexpr uint32_t q(uint32_t texels) { return (texels << 2) & 0xFFF; }

constexpr Command set_texture_image(uint32_t format, uint32_t size, uint32_t width,
                                    uint32_t address) {
    return cmd::word(0xFD, (format << 21) | (size << 19) | ((width - 1) & 0xFFF), address);
}

// `line` in 64-bit words, `tmem` in 64-bit words.
constexpr Command set_tile(uint32_t tile, uint32_t format, uint32_t size, uint32_t line,
                           uint32_t tmem, uint32_t palette = 0, Wrap t = {}, Wrap s = {}) {
    return cmd::word(0xF5, (format << 21) | (size << 19) | ((line & 0x1FF) << 9) | (tmem & 0x1FF),
                     ((tile & 7) << 24) | ((palette & 0xF) << 20) | (wrap_bits(t) << 10) |
                         wrap_bits(s));
}

// Corners in 10.2 fixed point, as the command carries them.
constexpr Command set_tile_size_q(uint32_t tile, uint32_t uls, uint32_t ult, uint32_t lrs,
                                  uint32_t lrt) {
    return cmd::word(0xF2, ((uls & 0xFFF) << 12) | (ult & 0xFFF),
                     ((tile & 7) << 24) | ((lrs & 0xFFF) << 12) | (lrt & 0xFFF));
}
// A tile of width x height texels from the upper-left corner (s, t).
constexpr Command set_tile_size(uint32_t tile, uint32_t s, uint32_t t, uint32_t width,
                                uint32_t height) {
    return set_tile_size_q(tile, q(s), q(t), q(s + width - 1), q(t + height - 1));
}

constexpr Command load_block(uint32_t tile, uint32_t uls, uint32_t ult, uint32_t texels,
                             uint32_t dxt = 0) {
    return cmd::word(0xF3, (q(uls) << 12) | q(ult),
                     ((tile & 7) << 24) | (((texels - 1) & 0xFFF) << 12) | (dxt & 0xFFF));
}

constexpr Command load_tile_q(uint32_t tile, uint32_t uls, uint32_t ult, uint32_t lrs,
                              uint32_t lrt) {
    return cmd::word(0xF4, ((uls & 0xFFF) << 12) | (ult & 0xFFF),
                     ((tile & 7) << 24) | ((lrs & 0xFFF) << 12) | (lrt & 0xFFF));
}
constexpr Command load_tile(uint32_t tile, uint32_t s, uint32_t t, uint32_t width,
                            uint32_t height) {
    return load_tile_q(tile, q(s), q(t), q(s + width - 1), q(t + height - 1));
}

constexpr Command load_tlut(uint32_t tile, uint32_t count) {
    return cmd::word(0xF0, 0, ((tile & 7) << 24) | (((count - 1) & 0x3FF) << 14));
}

} // namespace tex
