// Two textures in one surface: terrain quads that lerp from the first texture to the second
// by the environment alpha (0, 128, 255), and a translucent two-cycle ice surface that reads
// one intensity texture through two tiles of different shifts
#include <cstdint>

#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scene_terrain.h"
#include "scenes.h"
#include "texture_images.h"

namespace terrain {

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kViewport = 0x110000;
constexpr uint32_t kMatrices = 0x110100;
constexpr uint32_t kVertices = 0x111000;
constexpr uint32_t kGrass    = 0x118000;
constexpr uint32_t kRock     = 0x119000;
constexpr uint32_t kIce      = 0x11A000;

uint32_t build(Console& console, int) {
    uc0::write_viewport(console, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(console, kMatrices, uc0::identity());
    uc0::write_matrix(console, kMatrices + 64, uc0::scaling(0.01f)); // -100..100 fills the screen
    teximg::write_image(console, kGrass, 16, 16, 16, [](uint32_t s, uint32_t t) {
        const Rgb c = grass(s, t);
        return rgba5551(c.r, c.g, c.b);
    });
    teximg::write_image(console, kRock, 16, 16, 16, [](uint32_t s, uint32_t t) {
        const Rgb c = rock(s, t);
        return rgba5551(c.r, c.g, c.b);
    });
    teximg::write_image(console, kIce, 8, 16, 16, ice);

    DisplayList dl(console, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), uc0::viewport(kViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kShade | uc0::kShadeSmooth), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(kBackground.r, kBackground.g, kBackground.b)),
            cmd::fill_rect(0, 0, 320, 240)});

    // The SDK's order of a two-texture load: each texture through tile 7 into its own TMEM
    // address, then its render tile; tile 1 reads its texture at half the frequency (shift 1).
    const tex::Wrap repeat = {0, 0, 4, 0}, half = {0, 0, 4, 1};
    auto load = [&](uint32_t format, uint32_t size, uint32_t address, uint32_t tmem,
                    uint32_t texels) {
        dl.add({tex::set_texture_image(format, size, 1, address),
                tex::set_tile(7, format, size, 0, tmem), tex::load_block(7, 0, 0, texels)});
    };
    auto render_tile = [&](uint32_t tile, uint32_t format, uint32_t size, uint32_t line,
                           uint32_t tmem, tex::Wrap w) {
        dl.add({tex::set_tile(tile, format, size, line, tmem, 0, w, w),
                tex::set_tile_size(tile, 0, 0, 16, 16)});
    };
    dl.add(uc0::texture(0, 1, 0xFFFF, 0xFFFF));
    load(tex::rgba, tex::b16, kGrass, 0, 256);
    render_tile(0, tex::rgba, tex::b16, 4, 0, repeat);
    load(tex::rgba, tex::b16, kRock, 256, 256);
    render_tile(1, tex::rgba, tex::b16, 4, 256, half);

    // Two-cycle: (TEXEL1 - TEXEL0) x ENV_ALPHA + TEXEL0 for colour and alpha, then x SHADE.
    dl.add({cmd::set_cycle_type(1), cmd::set_combine_keys(kTerrainKey0, kTerrainKey1)});
    uint32_t v = kVertices;
    auto quad  = [&](int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t shade,
                    uint8_t shade_alpha) {
        const int16_t s = 16 * 32;
        uc0::write_vertex(console, v, x0, y0, 0, 0, 0, shade, shade, shade, shade_alpha);
        uc0::write_vertex(console, v + 16, x1, y0, 0, s, 0, shade, shade, shade, shade_alpha);
        uc0::write_vertex(console, v + 32, x1, y1, 0, s, s, shade, shade, shade, shade_alpha);
        uc0::write_vertex(console, v + 48, x0, y1, 0, 0, s, shade, shade, shade, shade_alpha);
        dl.add({uc0::vertex(0, 4, v), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
        v += 64;
    };
    for (int i = 0; i < 3; ++i) {
        dl.add(cmd::set_env_color(0xFFFFFF00u | kEnvAlpha[i]));
        const int16_t x = static_cast<int16_t>(-95 + 48 * i);
        quad(x, 90, static_cast<int16_t>(x + 40), 10, kShade, 255);
    }

    // The ice: one I8 texture on tiles 0 and 1 (shift 1), translucent by the second cycle's
    // alpha, the blender's first cycle fogging by shade alpha (0 here: no fog).
    load(tex::i, tex::b8, kIce, 0, 256);
    render_tile(0, tex::i, tex::b8, 2, 0, repeat);
    render_tile(1, tex::i, tex::b8, 2, 0, half);
    dl.add({cmd::set_env_color(0xFFFFFF00u | kIceEnvAlpha),
            cmd::word(0xFA, kIcePrimLodFrac, 0xFFFFFFFF), cmd::set_cycle_type(1),
            uc0::render_mode(kIceRenderMode), Command{kIceCombine0, kIceCombine1}});
    quad(-95, -10, -15, -90, kShade, 0);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar terrain_scene({"terrain",
                              "two textures in one surface: terrain lerped by the environment "
                              "alpha, a translucent two-cycle ice surface over fill panels",
                              0, 0x5645584Au, 0x00000009u, 1, build});

} // namespace terrain
