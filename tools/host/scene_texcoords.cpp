// Texture coordinates of triangles: textures loaded as the SDK's load-block macro does with the
// TEXTURE command after them, a clamped tile drawn far past its edge, and sphere mapping at
// two TEXTURE scales
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using teximg::rgba5551;

constexpr uint32_t kList      = 0x100000;
constexpr uint32_t kViewport  = 0x110000;
constexpr uint32_t kMatrices  = 0x110100;
constexpr uint32_t kVertices  = 0x111000; // four a quad
constexpr uint32_t kQuarters  = 0x400000; // 32 x 32, 16-bit RGBA
constexpr uint32_t kQuarters2 = 0x401000; // 32 x 32, other colours
constexpr uint32_t kClamped   = 0x402000; // kQuarters again, for the clamped tile
constexpr uint32_t kStripes   = 0x403000; // 64 x 32, four upright stripes
constexpr uint32_t kTexelOnly = 0x3FFE1F1;

void write_quarters(Console& c, uint32_t address, const uint16_t colors[4]) {
    teximg::write_image(c, address, 16, 32, 32,
                        [&](uint32_t x, uint32_t y) { return colors[x / 16 + 2 * (y / 16)]; });
}

void write_textures(Console& c) {
    const uint16_t quarters[4]  = {rgba5551(255, 0, 0), rgba5551(0, 255, 0), rgba5551(0, 0, 255),
                                   rgba5551(255, 255, 255)};
    const uint16_t quarters2[4] = {rgba5551(255, 255, 0), rgba5551(0, 255, 255),
                                   rgba5551(255, 0, 255), rgba5551(128, 128, 128)};
    write_quarters(c, kQuarters, quarters);
    write_quarters(c, kQuarters2, quarters2);
    write_quarters(c, kClamped, quarters);
    teximg::write_image(c, kStripes, 16, 64, 32,
                        [&](uint32_t x, uint32_t) { return quarters[x / 16]; });
}

// The SDK's load-block macro for a 16-bit image of w x h texels (w a power of two, 2^mask_s)
// onto tile 0, word for word: the image named one texel wide, the load through tile 7.
void load_texture_block(DisplayList& dl, uint32_t address, uint32_t w, uint32_t h, tex::Wrap t,
                        tex::Wrap s) {
    const uint32_t words = w * 2 / 8, dxt = (2048 + words - 1) / words;
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, address),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0, 0, t, s), cmd::word(0xE6, 0, 0),
            tex::load_block(7, 0, 0, w * h, dxt), cmd::pipe_sync(),
            tex::set_tile(0, tex::rgba, tex::b16, words, 0, 0, t, s),
            tex::set_tile_size(0, 0, 0, w, h)});
}

// A quad from (x0, y0) to (x1, y1) showing texels s0..s1, t0..t1 (t grows downwards); its left
// and right edges carry the normals nl and nr in their colour bytes.
void add_quad(Console& c, DisplayList& dl, int n, int16_t x0, int16_t y0, int16_t x1, int16_t y1,
              int16_t s1, int16_t t1, int8_t nl = 0, int8_t nr = 0) {
    const uint32_t a = kVertices + 64 * uint32_t(n);
    const struct {
        int16_t x, y, s, t;
        int8_t n;
    } corners[4] = {
        {x0, y1, 0, 0, nl}, {x1, y1, s1, 0, nr}, {x1, y0, s1, t1, nr}, {x0, y0, 0, t1, nl}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, a + 16 * i, corners[i].x, corners[i].y, 0, int16_t(corners[i].s * 32),
                          int16_t(corners[i].t * 32), uint8_t(corners[i].n), 0, 0, 255);
    dl.add({uc0::vertex(0, 4, a), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
}

uint32_t build_texcoords(Console& c, int) {
    write_textures(c);
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::identity());
    uc0::write_matrix(c, kMatrices + 64, uc0::scaling(0.01f)); // -100..100 fills the screen

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(20, 22, 30)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelOnly, kTexelOnly),
            uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kShade | uc0::kShadeSmooth)});

    // Two textures, each TEXTURE after its load: the quarters once over each quad, the second
    // through half the scale over twice the texels.
    const tex::Wrap wrap32 = {0, 0, 5, 0}, wrap64 = {0, 0, 6, 0}, clamp = {1, 0, 5, 0};
    load_texture_block(dl, kQuarters, 32, 32, wrap32, wrap32);
    dl.add(uc0::texture(0, 1, 0xFFFF, 0xFFFF));
    add_quad(c, dl, 0, -95, 20, -40, 90, 32, 32);
    load_texture_block(dl, kQuarters2, 32, 32, wrap32, wrap32);
    dl.add(uc0::texture(0, 1, 0x8000, 0x8000));
    add_quad(c, dl, 1, -27, 20, 28, 90, 64, 64);

    // A clamped tile four times over: its last column, last row and corner texel beyond.
    dl.add(uc0::texture(0, 1, 0xFFFF, 0xFFFF));
    load_texture_block(dl, kClamped, 32, 32, clamp, clamp);
    add_quad(c, dl, 2, 40, 20, 95, 90, 128, 128);

    // Sphere mapping across a band whose normals turn from left to right: 96 texels of the
    // 64-texel stripes, then 63 of them.
    dl.add(uc0::set_geometry_mode(uc0::kTextureGen));
    load_texture_block(dl, kStripes, 64, 32, wrap32, wrap64);
    dl.add(uc0::texture(0, 1, 0x1800, 0x0800));
    add_quad(c, dl, 3, -95, -90, -5, -20, 0, 0, -127, 127);
    dl.add(uc0::texture(0, 1, 0x0FC0, 0x0800));
    add_quad(c, dl, 4, 5, -90, 95, -20, 0, 0, -127, 127);

    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar texcoords_scene({"texcoords",
                                "texture coordinates of triangles: the SDK's texture loads before "
                                "TEXTURE, a clamped tile, sphere mapping at two scales",
                                0, 0x5645584Au, 0x00000008u, 1, build_texcoords});

} // namespace
