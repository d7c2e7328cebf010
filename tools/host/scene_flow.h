// The flowing scene's quads and the texel the console shows at each of their points, shared
// with the tests that check its pixels and count its texture builds
#pragma once
#include <cmath>
#include <cstdint>

#include "dl_texture.h"

namespace flow {

struct Rgb {
    uint32_t r, g, b;
};

// Two 8 x 8 textures whose every texel differs from its neighbours by 32 in red or green and
// 64 in blue; the values are exact in RGBA 5-5-5-1.
inline Rgb texel_a(uint32_t x, uint32_t y) {
    return {32 * x + 16, 32 * y + 16, (x ^ y) & 1 ? 160u : 96u};
}
inline Rgb texel_b(uint32_t x, uint32_t y) {
    return {240 - 32 * y, 32 * x + 16, (x ^ y) & 1 ? 96u : 160u};
}
constexpr uint32_t kSide  = 8;
constexpr Rgb kBackground = {24, 24, 40};

// A tile's window: its upper-left corner at frame 0 and how far it moves a frame, in texels,
// its size and wrap settings.
struct Window {
    float s, t;           // corner at frame 0
    float flow_s, flow_t; // texels a frame
    uint32_t width, height;
    tex::Wrap wrap_s, wrap_t;
};

// The corner at `frame` in quarter texels, as SETTILESIZE takes it.
inline uint32_t corner_quarters(float corner, float flow, int frame) {
    return static_cast<uint32_t>(std::lround((corner + flow * float(frame)) * 4)) & 0xFFF;
}

// One quad of 64 x 64 pixels showing `span` texels from (s0, t0) through tile 0's window, or,
// for a two-texture surface, tile 0's and tile 1's through the lerp by the environment alpha
// (0: tile 0's texel, 255: tile 1's).
struct Case {
    const char* what;
    Window tile0;
    float s0, t0, span;
    bool two_textures;
    Window tile1;
    uint32_t env_alpha;
};

constexpr tex::Wrap kRepeat = {0, 0, 3, 0}, kMirror = {0, 1, 3, 0}, kMask4 = {0, 0, 2, 0},
                    kClamp     = {1, 0, 3, 0};
constexpr Window kMovingApart0 = {2, 1, 0.25f, 0, 8, 8, kRepeat, kRepeat};
constexpr Window kMovingApart1 = {20, 3, -0.25f, 0.25f, 8, 8, kRepeat, kRepeat};

constexpr Case kCases[] = {
    {"corner (0, 0)", {0, 0, 0, 0, 8, 8, kRepeat, kRepeat}, 0, 0, 8, false, {}, 0},
    {"corner (3.25, 0)", {3.25f, 0, 0, 0, 8, 8, kRepeat, kRepeat}, 0, 0, 8, false, {}, 0},
    {"corner (8, 5)", {8, 5, 0, 0, 8, 8, kRepeat, kRepeat}, 0, 0, 8, false, {}, 0},
    {"flowing by (0.75, 0.5) a frame",
     {1, 0, 0.75f, 0.5f, 8, 8, kRepeat, kRepeat},
     0,
     0,
     8,
     false,
     {},
     0},
    {"mirrored, corner (2, 1)", {2, 1, 0, 0, 8, 8, kMirror, kMirror}, 6, 4, 8, false, {}, 0},
    {"mask of 4 texels on an 8-texel tile, corner (1, 0)",
     {1, 0, 0, 0, 8, 8, kMask4, kRepeat},
     0,
     0,
     8,
     false,
     {},
     0},
    {"clamped at both edges, corner (3, 2)",
     {3, 2, 0, 0, 8, 8, kClamp, kClamp},
     -2,
     -2,
     16,
     false,
     {},
     0},
    {"two textures, tile 0's", kMovingApart0, 0, 0, 8, true, kMovingApart1, 0},
    {"two textures, tile 1's", kMovingApart0, 0, 0, 8, true, kMovingApart1, 255},
};
constexpr int kCaseCount = sizeof kCases / sizeof kCases[0];

// Where quad i lies on the 320 x 240 screen (its upper-left pixel corner), 64 pixels a side.
constexpr float kQuad = 64;
inline float quad_x(int i) { return 10 + 78 * float(i % 4); }
inline float quad_y(int i) { return 8 + 78 * float(i / 4); }

// One axis of the console's texture unit: the texel coordinate from the corner, clamped to the
// tile, then wrapped (or mirrored) by the mask.
inline int wrap_axis(float coordinate, float corner, uint32_t size, const tex::Wrap& w) {
    int c = static_cast<int>(std::floor(coordinate - corner));
    if (w.clamp) c = c < 0 ? 0 : (c > int(size) - 1 ? int(size) - 1 : c);
    if (w.mask) {
        const int m = (1 << w.mask) - 1;
        c           = (w.mirror && (c >> w.mask) & 1) ? ~c & m : c & m;
    }
    return c;
}

// The colour the console shows at texel coordinate (s, t) of case k's quad in `frame`.
inline Rgb shown(const Case& k, int frame, float s, float t) {
    const bool second    = k.two_textures && k.env_alpha == 255;
    const Window& w      = second ? k.tile1 : k.tile0;
    const float corner_s = float(corner_quarters(w.s, w.flow_s, frame)) / 4;
    const float corner_t = float(corner_quarters(w.t, w.flow_t, frame)) / 4;
    const int x          = wrap_axis(s, corner_s, w.width, w.wrap_s);
    const int y          = wrap_axis(t, corner_t, w.height, w.wrap_t);
    return second ? texel_b(uint32_t(x), uint32_t(y)) : texel_a(uint32_t(x), uint32_t(y));
}

} // namespace flow
