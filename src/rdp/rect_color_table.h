// The colour of a texture rectangle for the combiner keys in force
#pragma once
#include <cstdint>

// Where a pass takes its RGB or its alpha from: white, the primitive or the environment colour.
enum class RectSource : uint8_t { one, prim, env };

struct RectPass {
    bool drawn;    // the pass takes place
    bool textured; // texture of tile 0 under the colour, or the colour alone
    RectSource rgb;
    RectSource alpha;
    bool inverted; // texel RGB inverted (texture_mode 0x200) before the pass binds its texture
};

// Cycle types a row applies to.
enum RectCycles : uint8_t { one_cycle = 1, two_cycle = 2, one_or_two_cycle = 3 };

// The row applies with any mux_key1 (keys have 28 bits, so no key equals it).
constexpr uint32_t kAnyKey1 = 0xFFFFFFFF;

struct RectColorRow {
    uint32_t mux_key0;
    uint8_t cycles;    // RectCycles
    uint32_t mux_key1; // the one mux_key1 the row needs, or kAnyKey1
    RectPass first;
    RectPass second; // added onto the first with (GL_SRC_ALPHA, GL_ONE)
    uint32_t texture_mode;
};

extern const int rect_color_row_count;

// The row for the cycle type and keys; the plain texture under white when none applies.
const RectColorRow& rect_colors(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1);
