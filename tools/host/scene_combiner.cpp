// Triangles whose colours come from the primitive, environment and shade colours and a
// texture through the combiner recipes, over fill-rectangle panels
#include <cstdint>

#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scenes.h"

namespace {

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kViewport = 0x110000;
constexpr uint32_t kMatrices = 0x110100;
constexpr uint32_t kVertices = 0x111000;
constexpr uint32_t kTexels   = 0x118000;

struct Panel {
    uint32_t key0, key1;
    uint8_t cycle_type;
};

// Top row one-cycle: primitive, environment, shade x primitive, shade. Bottom row: texture x
// shade, its two-cycle pair with x primitive, the environment-texture blend baked into the
// texture (mode 40), and a two-pass draw (environment, then texture x shade added on top).
constexpr Panel kPanels[8] = {
    {0x7FF7FFF, 0, 0}, {0xBFFBFFF, 0, 0},         {0x9FFE3F4, 0, 0}, {0x9FF9FFF, 0, 0},
    {0x3FFE4F1, 0, 0}, {0x3FFE4F1, 0x1FFE3F0, 1}, {0xDFFA351, 0, 0}, {0x3FFE4F1, 0xEF80C05, 1},
};

uint32_t build_combiner(Console& console, int frame) {
    uc0::write_viewport(console, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(console, kMatrices, uc0::identity());
    uc0::write_matrix(console, kMatrices + 64, uc0::scaling(0.01f)); // -100..100 fills the screen

    // A 16 x 16 checker, white and orange, 16-bit RGBA.
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            console.write_u16(kTexels + 2 * (y * 16 + x), ((x / 4 + y / 4) & 1) ? 0xFFFF : 0xFC01);

    DisplayList dl(console, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), uc0::viewport(kViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kShade | uc0::kShadeSmooth)});

    // Background and one panel per triangle, in fill mode.
    dl.add({cmd::set_cycle_type(3), cmd::set_fill_color(cmd::fill_color16(20, 22, 30)),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_fill_color(cmd::fill_color16(52, 56, 70))});
    for (uint32_t i = 0; i < 8; ++i) {
        const uint32_t x = 8 + 78 * (i % 4), y = 8 + 116 * (i / 4);
        dl.add(cmd::fill_rect(x, y, x + 72, y + 108));
    }

    dl.add({uc0::texture(0, 1, 0xFFFF, 0xFFFF),
            tex::set_texture_image(tex::rgba, tex::b16, 16, kTexels),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::rgba, tex::b16, 4, 0), tex::set_tile_size(0, 0, 0, 16, 16),
            cmd::set_prim_color(0xF0A030FF), cmd::set_env_color(0x3080F0FF)});

    // The primitive colour's green swings with the frame.
    if (frame % 2) dl.add(cmd::set_prim_color(0xF04060FF));

    for (uint32_t i = 0; i < 8; ++i) {
        const Panel& p   = kPanels[i];
        const int16_t cx = static_cast<int16_t>(-75 + 50 * static_cast<int>(i % 4));
        const int16_t cy = static_cast<int16_t>(i < 4 ? 50 : -50);
        const uint32_t a = kVertices + 48 * i;
        uc0::write_vertex(console, a, cx - 20, cy - 35, 0, 0, 16 * 32, 255, 40, 40, 255);
        uc0::write_vertex(console, a + 16, cx + 20, cy - 35, 0, 16 * 32, 16 * 32, 40, 255, 40, 255);
        uc0::write_vertex(console, a + 32, cx, cy + 35, 0, 8 * 32, 0, 40, 40, 255, 255);
        dl.add({cmd::set_cycle_type(p.cycle_type), cmd::set_combine_keys(p.key0, p.key1),
                uc0::vertex(0, 3, a), uc0::tri1(0, 1, 2)});
    }
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar combiner_scene({"combiner",
                               "triangles coloured by combiner recipes (primitive, environment, "
                               "shade, texture) over fill-rectangle panels",
                               0, 0x5645584Au, 0x00000006u, 1, build_combiner});

} // namespace
