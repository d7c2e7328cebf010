// Textured quads of random texels in every format and load shape a replacement pack keys:
// block loads with and without dxt, colour-indexed images with palettes 0, 1 and 5, a tile
// load at an odd texel origin, a drawing tile smaller than its load, rows narrower than a word
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

constexpr uint32_t kList       = 0x100000;
constexpr uint32_t kViewport   = 0x110000;
constexpr uint32_t kMatrices   = 0x110100;
constexpr uint32_t kVertices   = 0x111000; // four a quad
constexpr uint32_t kPalette    = 0x3FF000; // 256 colours
constexpr uint32_t kImages     = 0x400000; // one image every 0x2000 bytes
constexpr uint32_t kTexelOnly  = 0x3FFE1F1;
constexpr uint32_t kTlutRgba16 = 2u << 14; // othermode high: texels index a 16-bit palette

uint32_t image(int n) { return kImages + 0x2000 * uint32_t(n); }

// Random bytes, so that every texture has a key of its own.
void write_noise(Console& c, uint32_t address, uint32_t bytes, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 1;
    for (uint32_t i = 0; i < bytes; ++i) {
        x = x * 1103515245u + 12345u;
        c.write_u8(address + i, uint8_t(x >> 16));
    }
}

// The SDK's block load of a w x h image onto tile 0 (4-bit images go as 16-bit words, 32-bit
// rows are split in TMEM: the line counts half of them), with
// the dxt it computes or none (`sdk_dxt` false: the row length from the tile's line alone).
void load_block(DisplayList& dl, uint32_t address, uint32_t format, uint32_t size, uint32_t w,
                uint32_t h, uint32_t palette = 0, bool sdk_dxt = true, tex::Wrap t = {},
                tex::Wrap s = {}) {
    const uint32_t load_size = size == tex::b4 ? tex::b16 : size;
    const uint32_t texels    = size == tex::b4 ? (w * h + 3) / 4 : w * h;
    const uint32_t bytes     = (w << size) / 2;                                      // a row
    const uint32_t words     = size == tex::b32 ? (w * 2 + 7) / 8 : (bytes + 7) / 8; // its line
    const uint32_t dxt_words = (bytes + 7) / 8;
    const uint32_t dxt       = sdk_dxt ? (2048 + dxt_words - 1) / dxt_words : 0;
    dl.add({tex::set_texture_image(format, load_size, 1, address),
            tex::set_tile(7, format, load_size, 0, 0), cmd::pipe_sync(),
            tex::load_block(7, 0, 0, texels, dxt), cmd::pipe_sync(),
            tex::set_tile(0, format, size, words, 0, palette, t, s),
            tex::set_tile_size(0, 0, 0, w, h)});
}

// A tile load of w x h texels at (s, t) of an image `image_w` texels wide; the drawing tile
// covers `draw_w` x `draw_h` texels of it from the load's corner.
void load_tile(DisplayList& dl, uint32_t address, uint32_t format, uint32_t size, uint32_t image_w,
               uint32_t s, uint32_t t, uint32_t w, uint32_t h, uint32_t draw_w, uint32_t draw_h,
               tex::Wrap clamp = {}) {
    const uint32_t words = ((w << size) / 2 + 7) / 8;
    dl.add({tex::set_texture_image(format, size, image_w, address),
            tex::set_tile(7, format, size, words, 0), cmd::pipe_sync(),
            tex::load_tile(7, s, t, w, h), cmd::pipe_sync(),
            tex::set_tile(0, format, size, words, 0, 0, clamp, clamp),
            tex::set_tile_size(0, s, t, draw_w, draw_h)});
}

// Quad n of a 5 x 3 grid showing w x h texels of tile 0 from (s, t).
void add_quad(Console& c, DisplayList& dl, int n, int16_t s, int16_t t, int16_t w, int16_t h) {
    const int16_t x0 = int16_t(-95 + 39 * (n % 5)), y1 = int16_t(90 - 62 * (n / 5));
    const int16_t x1 = int16_t(x0 + 34), y0 = int16_t(y1 - 54);
    const uint32_t a = kVertices + 64 * uint32_t(n);
    const struct {
        int16_t x, y, s, t;
    } corners[4] = {{x0, y1, s, t},
                    {x1, y1, int16_t(s + w), t},
                    {x1, y0, int16_t(s + w), int16_t(t + h)},
                    {x0, y0, s, int16_t(t + h)}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, a + 16 * i, corners[i].x, corners[i].y, 0, int16_t(corners[i].s * 32),
                          int16_t(corners[i].t * 32), 0, 0, 0, 255);
    dl.add({uc0::vertex(0, 4, a), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
}

uint32_t build_packs(Console& c, int) {
    for (int n = 0; n < 16; ++n)
        write_noise(c, image(n), 0x2000, uint32_t(n));
    write_noise(c, kPalette, 512, 99);
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::identity());
    uc0::write_matrix(c, kMatrices + 64, uc0::scaling(0.01f));

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(20, 22, 30)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelOnly, kTexelOnly),
            uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kShade | uc0::kShadeSmooth),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});

    // Direct colours: RGBA 16 (with and without dxt) and 32, IA 16, 8 and 4, I 8 and 4 (the
    // last four texels wide: two bytes a row).
    load_block(dl, image(0), tex::rgba, tex::b16, 32, 32);
    add_quad(c, dl, 0, 0, 0, 32, 32);
    load_block(dl, image(1), tex::rgba, tex::b16, 16, 32, 0, false);
    add_quad(c, dl, 1, 0, 0, 16, 32);
    load_block(dl, image(2), tex::rgba, tex::b32, 16, 16);
    add_quad(c, dl, 2, 0, 0, 16, 16);
    load_block(dl, image(3), tex::ia, tex::b16, 16, 16);
    add_quad(c, dl, 3, 0, 0, 16, 16);
    load_block(dl, image(4), tex::ia, tex::b8, 32, 16);
    add_quad(c, dl, 4, 0, 0, 32, 16);
    load_block(dl, image(5), tex::ia, tex::b4, 32, 32);
    add_quad(c, dl, 5, 0, 0, 32, 32);
    load_block(dl, image(6), tex::i, tex::b8, 16, 16);
    add_quad(c, dl, 6, 0, 0, 16, 16);
    load_block(dl, image(7), tex::i, tex::b4, 4, 16);
    add_quad(c, dl, 7, 0, 0, 4, 16);

    // Tile loads: at an odd texel origin, and a clamped drawing tile of 8 x 8 texels of a
    // 16 x 16 load.
    load_tile(dl, image(8), tex::rgba, tex::b16, 64, 3, 5, 16, 16, 16, 16);
    add_quad(c, dl, 8, 3, 5, 16, 16);
    load_tile(dl, image(9), tex::rgba, tex::b16, 64, 8, 2, 16, 16, 8, 8, {1, 0, 0, 0});
    add_quad(c, dl, 9, 8, 2, 8, 8);

    // Colour-indexed: 8-bit, 4-bit with palettes 0, 1 and 5, and an 8-bit tile load.
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kPalette),
            tex::set_tile(7, 0, 0, 0, 256), tex::load_tlut(7, 256), cmd::pipe_sync(),
            uc0::set_othermode_h(14, 2, kTlutRgba16)});
    load_block(dl, image(10), tex::ci, tex::b8, 32, 32);
    add_quad(c, dl, 10, 0, 0, 32, 32);
    const uint32_t palettes[] = {0, 1, 5};
    for (int i = 0; i < 3; ++i) {
        load_block(dl, image(11 + i), tex::ci, tex::b4, 32, 32, palettes[i]);
        add_quad(c, dl, 11 + i, 0, 0, 32, 32);
    }
    load_tile(dl, image(14), tex::ci, tex::b8, 48, 7, 3, 16, 16, 16, 16);
    add_quad(c, dl, 14, 7, 3, 16, 16);
    dl.add(uc0::set_othermode_h(14, 2, 0));

    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar packs_scene({"packs",
                            "textured quads of random texels in every format and load shape that "
                            "replacement packs key",
                            0, 0x5645584Au, 0x0000000Au, 1, build_packs});

} // namespace
