// A scene for the picture's shape: a sky filled across the whole colour image, a cube in the
// middle, two small cubes just outside the 4:3 view at the left and the right, a long floor,
// and two textured HUD squares in the top corners of the 4:3 screen
#include "cube_faces.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "scenes.h"

namespace {

constexpr uint32_t kMainList = 0x100000;
constexpr uint32_t kViewport = 0x200000;
constexpr uint32_t kMatrices = 0x200100; // projection, floor, then one per cube
constexpr uint32_t kFloor    = 0x201000; // 4 vertices
constexpr uint32_t kCubes    = 0x202000; // 24 vertices each, 0x200 bytes apart
constexpr uint32_t kChecker  = 0x180000; // 16 x 16, 16-bit RGBA

struct Cube {
    int half;
    float x, z, turn, tilt;
    uint8_t rgb[3];
};
// The side cubes lie, face on, between the 4:3 view's edge and a 16:9 view's edge at their
// depth.
constexpr Cube kCubesOfScene[] = {
    {40, 0, -330, 0.6f, 0.3f, {240, 140, 30}},
    {15, -290, -400, 0, 0, {40, 220, 220}},
    {15, 290, -400, 0, 0, {230, 220, 40}},
};

// Unlit: the shade colour is the vertex colour, a little darker on the faces turned away.
void write_cube(Console& c, uint32_t address, const Cube& cube) {
    static const float kFaceLight[6] = {0.8f, 0.8f, 1.0f, 0.6f, 0.95f, 0.7f};
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            const CubeCorner q = cube_corner(cube.half, f, k);
            uint8_t rgb[3];
            for (int i = 0; i < 3; ++i)
                rgb[i] = static_cast<uint8_t>(cube.rgb[i] * kFaceLight[f]);
            uc0::write_vertex(c, address, int16_t(q.position[0]), int16_t(q.position[1]),
                              int16_t(q.position[2]), 0, 0, rgb[0], rgb[1], rgb[2], 255);
            address += 16;
        }
}

void write_records(Console& c) {
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::perspective(50.0f, 4.0f / 3.0f, 20.0f, 2000.0f));
    uc0::write_matrix(c, kMatrices + 64, uc0::identity());
    const int16_t xz[4][2] = {{-1600, -150}, {1600, -150}, {1600, -1200}, {-1600, -1200}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, kFloor + 16 * i, xz[i][0], -80, xz[i][1], 0, 0, 70, 110, 70, 255);
    for (uint32_t n = 0; n < 3; ++n) {
        const Cube& cube      = kCubesOfScene[n];
        const uc0::Mat turned = uc0::then(uc0::rotation_y(cube.turn), uc0::rotation_x(cube.tilt));
        uc0::write_matrix(c, kMatrices + 128 + 64 * n,
                          uc0::then(turned, uc0::translation(cube.x, 0, cube.z)));
        write_cube(c, kCubes + 0x200 * n, cube);
    }
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            c.write_u16(kChecker + 2 * (y * 16 + x),
                        ((x / 4 + y / 4) & 1) ? rgba5551(255, 255, 255) : rgba5551(230, 40, 30));
}

uint32_t build_wide(Console& c, int) {
    write_records(c);
    DisplayList dl(c, kMainList);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(40, 60, 110)), cmd::fill_rect(0, 0, 319, 239)});

    dl.add(
        {cmd::set_cycle_type(0, uc0::kZCompare | uc0::kZUpdate), uc0::cycle_type(0),
         uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
         uc0::render_mode(uc0::kZCompare | uc0::kZUpdate), uc0::combine_shade(),
         uc0::clear_geometry_mode(0xFFFFFFFF),
         uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth | uc0::kCullBack),
         uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::vertex(0, 4, kFloor), uc0::tri1(0, 1, 2),
         uc0::tri1(3, 0, 2)});
    for (uint32_t n = 0; n < 3; ++n) {
        const uint32_t cube = kCubes + 0x200 * n;
        dl.add({uc0::matrix(uc0::kLoad, kMatrices + 128 + 64 * n), uc0::vertex(0, 16, cube)});
        for (uint32_t f = 0; f < 4; ++f)
            dl.add(
                {uc0::tri1(4 * f, 4 * f + 1, 4 * f + 2), uc0::tri1(4 * f + 3, 4 * f, 4 * f + 2)});
        dl.add(uc0::vertex(0, 8, cube + 16 * 16));
        for (uint32_t f = 0; f < 2; ++f)
            dl.add(
                {uc0::tri1(4 * f, 4 * f + 1, 4 * f + 2), uc0::tri1(4 * f + 3, 4 * f, 4 * f + 2)});
    }

    // The HUD: the checker, texels as they are, twice as large.
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 16, kChecker),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::rgba, tex::b16, 4, 0), tex::set_tile_size(0, 0, 0, 16, 16),
            cmd::set_combine_keys(0, 0)});
    for (float x : {16.0f, 272.0f})
        for (const Command& command : cmd::tex_rect(x, 16, x + 32, 48, 0, 0, 0, 0.5f, 0.5f))
            dl.add(command);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar wide_scene({"wide",
                                  "the picture's shape: a sky filled across the colour image, "
                                  "cubes just outside the 4:3 view at both sides, HUD squares",
                                  0, 0x5645584Au, 0x00000020u, 1, build_wide});
