// Fill rectangles for the background and boxes, and untextured texture rectangles whose
// colour comes from the primitive colour through the combiner keys
#include "dl_rdp.h"
#include "dl_texture.h"
#include "scenes.h"

static uint32_t build_rects(Console& console, int frame) {
    DisplayList dl(console, 0x100000);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240)});

    // Fill mode: a navy background and a row of solid boxes.
    dl.add({cmd::set_cycle_type(3), cmd::set_fill_color(cmd::fill_color16(16, 24, 64)),
            cmd::fill_rect(0, 0, 320, 240)});
    const uint32_t boxes[] = {cmd::fill_color16(230, 60, 50), cmd::fill_color16(250, 200, 40),
                              cmd::fill_color16(60, 180, 80), cmd::fill_color16(60, 120, 230)};
    for (int i = 0; i < 4; ++i) {
        const uint32_t x = 20 + 75 * i + 4 * (frame % 2);
        dl.add({cmd::set_fill_color(boxes[i]), cmd::fill_rect(x, 20, x + 55, 75)});
    }

    // One-cycle: the blend colour, half transparent, over the boxes.
    dl.add({cmd::set_cycle_type(0, cmd::kRenderXluSurf), cmd::set_blend_color(0xFFFFFF80),
            cmd::fill_rect(10, 60, 310, 90)});

    // A depth clear (depth image = colour image) draws nothing.
    dl.add({cmd::set_depth_image(0x200000), cmd::set_fill_color(cmd::fill_color16(255, 0, 255)),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_depth_image(0x300000)});

    // Texture rectangles in the primitive colour (untextured), one-cycle.
    dl.add({cmd::set_combine_keys(0x7FF7FFF, 0x7FF7FFF)});
    const uint32_t prims[] = {0xF08020FF, 0x20D0D0FF, 0xD040D0FF};
    for (int i = 0; i < 3; ++i) {
        dl.add(cmd::set_prim_color(prims[i]));
        for (const Command& c :
             cmd::tex_rect(30 + 95.0f * i, 110, 100 + 95.0f * i, 200, 0, 0, 0, 1, 1))
            dl.add(c);
    }
    // A 16 x 16 checker (16-bit RGBA) in tile 0, drawn twice as large by a texture rectangle:
    // the plain texture (key 0 has no row), then the same texels under the primitive colour.
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            console.write_u16(0x180000 + 2 * (y * 16 + x), ((x / 4 + y / 4) & 1) ? 0xFFFF : 0xF83F);
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 16, 0x180000),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::rgba, tex::b16, 4, 0), tex::set_tile_size(0, 0, 0, 16, 16),
            cmd::set_combine_keys(0, 0)});
    for (const Command& c : cmd::tex_rect(30, 205, 62, 237, 0, 0, 0, 0.5f, 0.5f))
        dl.add(c);
    dl.add({cmd::set_combine_keys(0x3FFE3F1, 0), cmd::set_prim_color(0x40FF40FF)});
    for (const Command& c : cmd::tex_rect(80, 205, 112, 237, 0, 0, 0, 0.5f, 0.5f))
        dl.add(c);

    // The key that draws nothing.
    dl.add(cmd::set_combine_keys(0xFFFFFFF, 0xFFFFFFF));
    for (const Command& c : cmd::tex_rect(0, 0, 320, 240, 0, 0, 0, 1, 1))
        dl.add(c);

    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

static SceneRegistrar rects_scene({"rects",
                                   "fill rectangles (fill and blend colour), primitive-colour "
                                   "and textured texture rectangles",
                                   0, 0x5645584Au, 0x00000005u, 1, build_rects});
