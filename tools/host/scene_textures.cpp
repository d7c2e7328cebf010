// Texture rectangles in every texel format: a background loaded in strips, a gallery of
// formats and palettes, repeated, mirrored and clamped tiles, and a line of glyphs
#include <cmath>

#include "dl_rdp.h"
#include "dl_texture.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using teximg::rgba5551;

constexpr uint32_t kBackground = 0x400000; // 160 x 120, 16-bit RGBA
constexpr uint32_t kGallery    = 0x440000; // one 32 x 32 image every 0x1000 bytes
constexpr uint32_t kPalette    = 0x460000; // 256 colours
constexpr uint32_t kArrow      = 0x461000; // 16 x 16, 16-bit RGBA
constexpr uint32_t kFont       = 0x462000; // 48 x 8, IA 4+4
constexpr uint32_t kArrowCopy  = 0x463000; // the mark again: the T wrap is not in the cache key

void add_rect(DisplayList& dl, const std::array<Command, 3>& words) {
    for (const Command& c : words)
        dl.add(c);
}

// A copy-mode rectangle of w x h pixels at (x, y) showing `texels_s` x `texels_t` texels of
// tile 0 from (s, t). Copy mode steps four texels a clock, hence the factor 4.
void copy_rect(DisplayList& dl, float x, float y, float w, float h, float s, float t,
               float texels_s, float texels_t) {
    add_rect(dl,
             cmd::tex_rect(x, y, x + w - 1, y + h - 1, 0, s, t, 4 * texels_s / w, texels_t / h));
}

// Tile 0 over a w x h image loaded as one block into TMEM 0.
void load_block_tile(DisplayList& dl, uint32_t format, uint32_t size, uint32_t w, uint32_t h,
                     uint32_t address, uint32_t palette = 0, tex::Wrap t = {}, tex::Wrap s = {}) {
    const uint32_t bits = 4u << size;
    dl.add({tex::set_texture_image(format, size, w, address), tex::set_tile(7, format, size, 0, 0),
            tex::load_block(7, 0, 0, w * h),
            tex::set_tile(0, format, size, (w * bits + 63) / 64, 0, palette, t, s),
            tex::set_tile_size(0, 0, 0, w, h)});
}

void write_background(Console& c) {
    teximg::write_image(c, kBackground, 16, 160, 120, [](uint32_t x, uint32_t y) {
        const float dx = float(x) - 120.0f, dy = float(y) - 30.0f;
        if (dx * dx + dy * dy < 160.0f) return rgba5551(255, 230, 90);
        const float hill = 80.0f + 10.0f * std::sin(float(x) * 0.08f);
        if (float(y) > hill) return rgba5551(40, 120 + (y & 8) * 4, 50);
        return rgba5551(60 + y, 110 + y, 230);
    });
}

// Eight 32 x 32 gallery images, one per format, and their palette.
void write_gallery(Console& c) {
    auto ring = [](uint32_t x, uint32_t y) {
        const float dx = float(x) - 15.5f, dy = float(y) - 15.5f;
        return uint32_t(std::sqrt(dx * dx + dy * dy));
    };
    auto image = [](int n) { return kGallery + 0x1000 * uint32_t(n); };
    teximg::write_image(c, image(0), 16, 32, 32, [](uint32_t x, uint32_t y) {
        return rgba5551(x * 8, y * 8, 255 - x * 4, ((x / 8 + y / 8) & 1) == 0);
    });
    teximg::write_image(c, image(1), 32, 32, 32, [](uint32_t x, uint32_t y) {
        return (255 - x * 8) << 24 | (y * 8) << 16 | 160 << 8 | (255 - y * 4);
    });
    teximg::write_image(c, image(2), 4, 32, 32,
                        [&](uint32_t x, uint32_t y) { return ring(x, y) & 15; });
    teximg::write_image(c, image(3), 8, 32, 32,
                        [](uint32_t x, uint32_t y) { return (x * 8 + y * 3) & 0xFF; });
    teximg::write_image(c, image(4), 16, 32, 32, [&](uint32_t x, uint32_t y) {
        const uint32_t r = ring(x, y);
        return (255 - r * 12) << 8 | (r < 15 ? 255 : 0);
    });
    teximg::write_image(c, image(5), 8, 32, 32, [&](uint32_t x, uint32_t y) {
        return (ring(x, y) < 15 ? 0xF0 : 0x00) | ((x ^ y) & 8 ? 0xF : 0x6);
    });
    teximg::write_image(c, image(6), 4, 32, 32, [](uint32_t x, uint32_t y) {
        return ((x + y) / 4 & 7) << 1 | ((x / 4 + y / 4) & 1);
    });
    teximg::write_image(c, image(7), 8, 32, 32,
                        [](uint32_t x, uint32_t y) { return x * 4 + y * 4; });
    teximg::write_image(c, image(8), 4, 32, 32, [](uint32_t x, uint32_t) { return x / 2; });
    // 256 colours: palette n holds one hue at sixteen brightnesses; the 8-bit image reads them all.
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t hue = i >> 4, level = (i & 15) * 17;
        const uint32_t r = hue & 1 ? level : level / 3, g = hue & 2 ? level : level / 3,
                       b = hue & 4 ? level : level / 3;
        c.write_u16(kPalette + 2 * i, rgba5551(r, g, b));
    }
}

// An asymmetric 16 x 16 mark (a corner and a bar) to show repeats and mirrors.
void write_arrow(Console& c) {
    for (uint32_t address : {kArrow, kArrowCopy})
        teximg::write_image(c, address, 16, 16, 16, [](uint32_t x, uint32_t y) {
            if (x < 3 || y < 3) return rgba5551(250, 80, 40);
            if (y > 7 && y < 11 && x < 13) return rgba5551(250, 230, 60);
            return rgba5551(30, 40, 90);
        });
}

constexpr uint8_t kGlyphs[6][8] = {
    {0xFE, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x00}, // T
    {0xFE, 0x80, 0x80, 0xFC, 0x80, 0x80, 0xFE, 0x00}, // E
    {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x00}, // X
    {0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x7C, 0x00}, // U
    {0xFC, 0x82, 0x82, 0xFC, 0x88, 0x84, 0x82, 0x00}, // R
    {0x7E, 0x80, 0x80, 0x7C, 0x02, 0x02, 0xFC, 0x00}, // S
};

void write_font(Console& c) {
    teximg::write_image(c, kFont, 8, 48, 8, [](uint32_t x, uint32_t y) {
        return (kGlyphs[x / 8][y] >> (7 - x % 8)) & 1 ? 0xFFu : 0x00u;
    });
}

uint32_t build_textures(Console& console, int) {
    write_background(console);
    write_gallery(console);
    write_arrow(console);
    write_font(console);

    DisplayList dl(console, 0x100000);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(2)});

    // The background: eight rows at a time with LOADTILE, each drawn twice as large.
    for (uint32_t row = 0; row < 120; row += 8) {
        dl.add({tex::set_texture_image(tex::rgba, tex::b16, 160, kBackground),
                tex::set_tile(7, tex::rgba, tex::b16, 40, 0), tex::load_tile(7, 0, row, 160, 8),
                tex::set_tile(0, tex::rgba, tex::b16, 40, 0),
                tex::set_tile_size(0, 0, row, 160, 8)});
        copy_rect(dl, 0, float(row * 2), 320, 16, 0, float(row), 160, 8);
    }

    // The gallery: RGBA 16 and 32, CI 4 (palette 2) and 8, IA 16, 8 and 4, I 8 and 4.
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kPalette), tex::load_tlut(7, 256)});
    struct Shown {
        uint32_t format, size, palette;
    } const shown[] = {{tex::rgba, tex::b16, 0}, {tex::rgba, tex::b32, 0}, {tex::ci, tex::b4, 2},
                       {tex::ci, tex::b8, 0},    {tex::ia, tex::b16, 0},   {tex::ia, tex::b8, 0},
                       {tex::ia, tex::b4, 0},    {tex::i, tex::b8, 0},     {tex::i, tex::b4, 0}};
    for (int n = 0; n < 9; ++n) {
        const float x = 8.0f + 62.0f * float(n % 5) + (n >= 5 ? 31.0f : 0.0f);
        const float y = n < 5 ? 12.0f : 66.0f;
        load_block_tile(dl, shown[n].format, shown[n].size, 32, 32, kGallery + 0x1000 * n,
                        shown[n].palette);
        copy_rect(dl, x, y, 48, 48, 0, 0, 32, 32);
    }

    // Wrap modes of a 16 x 16 tile over twice its size: repeat, mirror, clamp; then a tile
    // mirrored in both directions.
    const tex::Wrap repeat = {0, 0, 4, 0}, mirror = {0, 1, 4, 0}, clamp = {1, 0, 4, 0};
    const tex::Wrap s_wraps[] = {repeat, mirror, clamp};
    for (int n = 0; n < 3; ++n) {
        load_block_tile(dl, tex::rgba, tex::b16, 16, 16, kArrow, 0, repeat, s_wraps[n]);
        copy_rect(dl, 8.0f + 72.0f * float(n), 124, 64, 32, 0, 0, 32, 16);
    }
    load_block_tile(dl, tex::rgba, tex::b16, 16, 16, kArrowCopy, 0, mirror, mirror);
    copy_rect(dl, 232, 124, 64, 64, 0, 0, 32, 32);

    // A line of glyphs in the primitive colour, blended by their alpha: each glyph loaded with
    // LOADTILE from the font.
    dl.add({cmd::set_cycle_type(0, cmd::kRenderXluSurf),
            cmd::set_combine_keys(0x0E7BE3F1, 0x0E7BE3F1), cmd::set_prim_color(0xFFE040FF)});
    const int text[] = {0, 1, 2, 0, 3, 4, 1, 5}; // TEXTURES
    for (int i = 0; i < 8; ++i) {
        const uint32_t g = uint32_t(text[i]) * 8;
        dl.add({tex::set_texture_image(tex::ia, tex::b8, 48, kFont),
                tex::set_tile(7, tex::ia, tex::b8, 1, 0), tex::load_tile(7, g, 0, 8, 8),
                tex::set_tile(0, tex::ia, tex::b8, 1, 0), tex::set_tile_size(0, g, 0, 8, 8)});
        const float x = 24.0f + 18.0f * float(i);
        add_rect(dl, cmd::tex_rect(x, 200, x + 16, 216, 0, float(g), 0, 0.5f, 0.5f));
    }

    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar textures_scene(
    {"textures",
     "texture rectangles: a background in strips, every texel format, CI palettes, repeated, "
     "mirrored and clamped tiles, glyphs",
     0, 0x5645584Au, 0x00000006u, 1, build_textures});
