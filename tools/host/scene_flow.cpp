// Surfaces that flow as games move them: the same quad through tile windows at other corners,
// one moving every frame, mirrored, masked and clamped windows measured from their corners, and
// a two-texture surface whose tiles move apart
#include "scene_flow.h"

#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "scene_terrain.h"
#include "scenes.h"
#include "texture_images.h"

namespace flow {

constexpr uint32_t kList      = 0x100000;
constexpr uint32_t kViewport  = 0x110000;
constexpr uint32_t kMatrices  = 0x110100;
constexpr uint32_t kVertices  = 0x111000; // four a quad
constexpr uint32_t kTextureA  = 0x118000;
constexpr uint32_t kTextureB  = 0x119000;
constexpr uint32_t kTmemB     = 256; // 64-bit words
constexpr uint32_t kTexelOnly = 0x3FFE1F1;

// The tile's wrap and TMEM address, then its window at `frame`.
Command set_tile_of(uint32_t tile, uint32_t tmem, const Window& w) {
    return tex::set_tile(tile, tex::rgba, tex::b16, kSide * 2 / 8, tmem, 0, w.wrap_t, w.wrap_s);
}

Command window_at(uint32_t tile, const Window& w, int frame) {
    const uint32_t s = corner_quarters(w.s, w.flow_s, frame);
    const uint32_t t = corner_quarters(w.t, w.flow_t, frame);
    return tex::set_tile_size_q(tile, s, t, s + 4 * (w.width - 1), t + 4 * (w.height - 1));
}

// Quad i: console pixels (x, y) become (x - 160, 120 - y) through the scene's matrix.
void add_quad(Console& c, DisplayList& dl, int i, const Case& k) {
    const float x0 = quad_x(i) - 160, y0 = 120 - quad_y(i);
    const float s0 = k.s0 * 32, t0 = k.t0 * 32, st = k.span * 32;
    const struct {
        float x, y, s, t;
    } corners[4]     = {{x0, y0, s0, t0},
                        {x0 + kQuad, y0, s0 + st, t0},
                        {x0 + kQuad, y0 - kQuad, s0 + st, t0 + st},
                        {x0, y0 - kQuad, s0, t0 + st}};
    const uint32_t a = kVertices + 64 * uint32_t(i);
    for (uint32_t n = 0; n < 4; ++n)
        uc0::write_vertex(c, a + 16 * n, int16_t(corners[n].x), int16_t(corners[n].y), 0,
                          int16_t(corners[n].s), int16_t(corners[n].t), 255, 255, 255, 255);
    dl.add({uc0::vertex(0, 4, a), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
}

uint32_t build(Console& c, int frame) {
    teximg::write_image(c, kTextureA, 16, kSide, kSide, [](uint32_t x, uint32_t y) {
        const Rgb t = texel_a(x, y);
        return rgba5551(t.r, t.g, t.b);
    });
    teximg::write_image(c, kTextureB, 16, kSide, kSide, [](uint32_t x, uint32_t y) {
        const Rgb t = texel_b(x, y);
        return rgba5551(t.r, t.g, t.b);
    });
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::identity());
    uc0::write_matrix(c, kMatrices + 64,
                      {{1 / 160.0f, 0, 0, 0, 0, 1 / 120.0f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}});

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(kBackground.r, kBackground.g, kBackground.b)),
            cmd::fill_rect(0, 0, 320, 240), uc0::viewport(kViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kShade | uc0::kShadeSmooth),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});

    // Both textures loaded once a frame as the SDK's macros load them, each with its render
    // tile after it: B as a block into TMEM after A's place, then A as a tile of its 8-texel-wide
    // image (the texture cache reads rows the last image's width apart). Later a window moves
    // by SETTILESIZE alone; a SETTILE of tile 1 after A's load would alias A there.
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kTextureB),
            tex::set_tile(7, tex::rgba, tex::b16, 0, kTmemB), cmd::pipe_sync(),
            tex::load_block(7, 0, 0, kSide * kSide, 2048 / (kSide * 2 / 8)), cmd::pipe_sync(),
            set_tile_of(1, kTmemB, kMovingApart1),
            tex::set_texture_image(tex::rgba, tex::b16, kSide, kTextureA),
            tex::set_tile(7, tex::rgba, tex::b16, kSide * 2 / 8, 0), cmd::pipe_sync(),
            tex::load_tile(7, 0, 0, kSide, kSide), cmd::pipe_sync()});

    for (int i = 0; i < kCaseCount; ++i) {
        const Case& k = kCases[i];
        dl.add({set_tile_of(0, 0, k.tile0), window_at(0, k.tile0, frame)});
        if (k.two_textures) {
            dl.add({window_at(1, k.tile1, frame), cmd::set_cycle_type(1),
                    cmd::set_combine_keys(terrain::kTerrainKey0, terrain::kTerrainKey1),
                    cmd::set_env_color(0xFFFFFF00u | k.env_alpha)});
        } else {
            dl.add({cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelOnly, kTexelOnly)});
        }
        add_quad(c, dl, i, k);
    }
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar flow_scene({"flow",
                           "surfaces that flow: tile windows at other corners, one moving every "
                           "frame, mirrored, masked and clamped, two textures moving apart",
                           0, 0x5645584Au, 0x0000000Bu, 2, build});

} // namespace flow
