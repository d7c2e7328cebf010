// A lit, textured cube (16-bit RGBA bricks) over a floor of mirrored 4-bit colour-indexed tiles
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using teximg::rgba5551;

constexpr uint32_t kViewport   = 0x200000;
constexpr uint32_t kMatrices   = 0x200100; // projection, cube, floor
constexpr uint32_t kLights     = 0x200400;
constexpr uint32_t kCube       = 0x201000;  // 24 vertices
constexpr uint32_t kFloor      = 0x202000;  // 4 vertices
constexpr uint32_t kBricks     = 0x410000;  // 32 x 32, 16-bit RGBA
constexpr uint32_t kTiles      = 0x411000;  // 16 x 16, 4-bit CI
constexpr uint32_t kPalette    = 0x412000;  // 256 colours
constexpr uint32_t kTexelShade = 0x3FFE4F1; // texel times shade colour, one cycle

void write_textures(Console& c) {
    teximg::write_image(c, kBricks, 16, 32, 32, [](uint32_t x, uint32_t y) {
        const uint32_t row = y / 8, shift = row & 1 ? 8 : 0;
        if (y % 8 == 7 || (x + shift) % 16 == 15) return rgba5551(200, 200, 190);
        return rgba5551(170 + (x * 7 + y * 3) % 40, 60 + (y * 5) % 20, 40);
    });
    teximg::write_image(c, kTiles, 4, 16, 16, [](uint32_t x, uint32_t y) {
        if (x < 2 || y < 2) return 1u;
        return x + y < 14 ? 2u : 3u;
    });
    // Palette 5 of the 256 colours: grout, and two tile colours.
    for (uint32_t i = 0; i < 256; ++i)
        c.write_u16(kPalette + 2 * i, rgba5551(255, 0, 255));
    c.write_u16(kPalette + 2 * (80 + 1), rgba5551(40, 40, 50));
    c.write_u16(kPalette + 2 * (80 + 2), rgba5551(90, 160, 200));
    c.write_u16(kPalette + 2 * (80 + 3), rgba5551(60, 110, 170));
}

// Six faces of a cube of half-size 50: normal, and two edge directions whose cross product
// is the normal, so that each face winds counter-clockwise seen from outside.
void write_cube(Console& c) {
    const int faces[6][3][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    uint32_t address        = kCube;
    for (const auto& f : faces)
        for (const auto& k : corners) {
            int p[3];
            for (int a = 0; a < 3; ++a)
                p[a] = 50 * (f[0][a] + k[0] * f[1][a] + k[1] * f[2][a]);
            // s and t in 10.5 texels: the 32 x 32 bricks once over each face.
            const int16_t s = int16_t((k[0] + 1) * 16 * 32), t = int16_t((1 - k[1]) * 16 * 32);
            uc0::write_vertex(c, address, int16_t(p[0]), int16_t(p[1]), int16_t(p[2]), s, t,
                              uint8_t(f[0][0] * 127), uint8_t(f[0][1] * 127),
                              uint8_t(f[0][2] * 127), 255);
            address += 16;
        }
}

// A floor at y = -80 with the tile mirrored four times each way.
void write_floor(Console& c) {
    const int16_t xz[4][2] = {{-220, 220}, {220, 220}, {220, -220}, {-220, -220}};
    const int16_t st[4][2] = {{0, 0}, {128 * 32, 0}, {128 * 32, 128 * 32}, {0, 128 * 32}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, kFloor + 16 * i, xz[i][0], -80, xz[i][1], st[i][0], st[i][1], 255, 255,
                          255, 255);
}

uint32_t build_mesh(Console& c, int frame) {
    write_textures(c);
    write_cube(c);
    write_floor(c);
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    const uc0::Mat projection = uc0::perspective(50.0f, 4.0f / 3.0f, 20.0f, 2000.0f);
    const float angle         = 0.5f + 0.35f * float(frame);
    const uc0::Mat cube       = uc0::then(uc0::then(uc0::rotation_y(angle), uc0::rotation_x(0.45f)),
                                          uc0::translation(0, 10, -330));
    const uc0::Mat floor      = uc0::then(uc0::rotation_x(0.35f), uc0::translation(0, -20, -420));
    uc0::write_matrix(c, kMatrices, projection);
    uc0::write_matrix(c, kMatrices + 64, cube);
    uc0::write_matrix(c, kMatrices + 128, floor);
    uc0::write_light(c, kLights, 255, 240, 220, 70, 80, 60);
    uc0::write_light(c, kLights + 16, 70, 70, 90, 0, 0, 0);

    DisplayList dl(c, 0x100000);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(0), uc0::viewport(kViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::render_mode(uc0::kZCompare | uc0::kZUpdate),
            cmd::set_combine_keys(kTexelShade, kTexelShade)});

    // The floor: unlit, 4-bit indices through palette 5, mirrored in S and T.
    const tex::Wrap mirrored = {0, 1, 4, 0};
    dl.add({uc0::matrix(uc0::kLoad, kMatrices + 128), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF),
            tex::set_texture_image(tex::rgba, tex::b16, 1, kPalette), tex::load_tlut(7, 256),
            tex::set_texture_image(tex::ci, tex::b4, 16, kTiles),
            tex::set_tile(7, tex::ci, tex::b4, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::ci, tex::b4, 1, 0, 5, mirrored, mirrored),
            tex::set_tile_size(0, 0, 0, 16, 16), uc0::vertex(0, 4, kFloor), uc0::tri1(0, 1, 2),
            uc0::tri1(0, 2, 3)});

    // The cube: lit, 16-bit bricks, back faces culled.
    dl.add({uc0::matrix(uc0::kLoad, kMatrices + 64),
            uc0::set_geometry_mode(uc0::kLighting | uc0::kCullBack), uc0::num_lights(1),
            uc0::light(0, kLights), uc0::light(1, kLights + 16),
            tex::set_texture_image(tex::rgba, tex::b16, 32, kBricks),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 1024),
            tex::set_tile(0, tex::rgba, tex::b16, 8, 0), tex::set_tile_size(0, 0, 0, 32, 32)});
    for (uint32_t half = 0; half < 2; ++half) {
        dl.add(uc0::vertex(0, 12, kCube + half * 12 * 16));
        for (uint32_t f = 0; f < 3; ++f)
            dl.add(
                {uc0::tri1(4 * f, 4 * f + 1, 4 * f + 2), uc0::tri1(4 * f, 4 * f + 2, 4 * f + 3)});
    }
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar mesh_scene({"mesh",
                                  "a lit cube with 16-bit RGBA bricks over a floor of mirrored "
                                  "4-bit colour-indexed tiles",
                                  0, 0x5645584Au, 0x00000007u, 3, build_mesh});
