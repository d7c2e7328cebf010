// Family 5's own commands: two lit cubes of 16-bit bricks whose texture coordinates come from
// the coordinate table, drawn with four-triangle TRI2 commands; each cube's matrix is pushed
// onto the camera's and popped again
#include "cube_faces.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode5.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using teximg::rgba5551;

constexpr uint32_t kList       = 0x100000;
constexpr uint32_t kViewport   = 0x180000;
constexpr uint32_t kMatrices   = 0x180100;  // projection, camera, cube A, cube B
constexpr uint32_t kLights     = 0x180400;  // sun, ambient
constexpr uint32_t kTable      = 0x180800;  // texture coordinates of the four face corners
constexpr uint32_t kCube       = 0x190000;  // 24 vertices of 12 bytes
constexpr uint32_t kBricks     = 0x1A0000;  // 32 x 32, 16-bit RGBA
constexpr uint32_t kTexelShade = 0x3FFE4F1; // texel times shade colour, one cycle

void write_bricks(Console& c) {
    teximg::write_image(c, kBricks, 16, 32, 32, [](uint32_t x, uint32_t y) {
        const uint32_t shift = (y / 8) & 1 ? 8 : 0;
        if (y % 8 == 7 || (x + shift) % 16 == 15) return rgba5551(220, 215, 200);
        return rgba5551(60 + (x * 5 + y * 3) % 30, 110 + (y * 7) % 40, 170);
    });
}

// Corner k of a face takes table entries 2k and 2k + 1: the bricks once over each face, in
// 10.5 texels.
void write_table(Console& c) {
    const int16_t st[4][2] = {{0, 1024}, {1024, 1024}, {1024, 0}, {0, 0}};
    for (uint32_t k = 0; k < 4; ++k)
        uc5::write_texcoords(c, kTable, 2 * k, st[k][0], st[k][1]);
}

// Six faces of a cube of half-size 45, four vertices each; the normal in the colour bytes.
void write_cube(Console& c) {
    uint32_t address = kCube;
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            const CubeCorner q = cube_corner(45, f, k);
            uc5::write_vertex(c, address, int16_t(q.position[0]), int16_t(q.position[1]),
                              int16_t(q.position[2]), uc5::texcoord_ref(2 * uint32_t(k)),
                              uint8_t(q.normal[0] * 127), uint8_t(q.normal[1] * 127),
                              uint8_t(q.normal[2] * 127), 255);
            address += 12;
        }
}

// Faces f and f + 1 of the vertices loaded from entry `first`: four triangles in one TRI2.
Command two_faces(uint32_t first) {
    const uint32_t a = first, b = first + 4;
    return uc5::tri2({{a, a + 1, a + 2}, {a, a + 2, a + 3}, {b, b + 1, b + 2}, {b, b + 2, b + 3}});
}

// Sixteen vertices (four faces) and then eight (two faces), each face two triangles.
void add_cube(DisplayList& dl, uint32_t matrix) {
    dl.add({uc5::load_matrix(uc5::kPush, matrix), uc5::load_vertices(0, 16, kCube), two_faces(0),
            two_faces(8), uc5::load_vertices(0, 8, kCube + 16 * 12), two_faces(0),
            uc5::pop_matrix()});
}

uint32_t build_family5(Console& c, int frame) {
    write_bricks(c);
    write_table(c);
    write_cube(c);
    const float turn = 0.4f + 0.3f * float(frame);
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::perspective(45, 4.0f / 3.0f, 20, 2000));
    uc0::write_matrix(c, kMatrices + 64,
                      uc0::then(uc0::rotation_x(0.35f), uc0::translation(0, -10, -330)));
    uc0::write_matrix(c, kMatrices + 128,
                      uc0::then(uc0::rotation_y(turn), uc0::translation(-75, 0, 0)));
    uc0::write_matrix(c, kMatrices + 192,
                      uc0::then(uc0::then(uc0::rotation_y(-turn), uc0::rotation_x(0.6f)),
                                uc0::translation(80, 10, -40)));
    uc0::write_light(c, kLights, 255, 235, 210, 70, 90, 80);
    uc0::write_light(c, kLights + 16, 60, 60, 80, 0, 0, 0);

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(16, 0, 16)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(0)});
    dl.add({uc5::viewport(kViewport), uc5::load_matrix(uc5::kProjection | uc5::kLoad, kMatrices),
            uc5::load_matrix(uc5::kLoad, kMatrices + 64),
            uc5::render_mode(uc0::kZCompare | uc0::kZUpdate), uc5::clear_geometry_mode(0xFFFFFFFF),
            uc5::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth |
                                   uc0::kCullBack | uc0::kLighting),
            uc5::num_lights(1), uc5::light(0, kLights), uc5::light(1, kLights + 16),
            cmd::set_combine_keys(kTexelShade, kTexelShade), uc5::texture(0, 1, 0xFFFF, 0xFFFF),
            tex::set_texture_image(tex::rgba, tex::b16, 32, kBricks),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 1024),
            tex::set_tile(0, tex::rgba, tex::b16, 8, 0), tex::set_tile_size(0, 0, 0, 32, 32),
            uc5::texcoord_table(kTable)});
    add_cube(dl, kMatrices + 128);
    add_cube(dl, kMatrices + 192);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar family5_scene({"family5",
                                     "family 5: two lit cubes of bricks, texture coordinates "
                                     "from the coordinate table, four triangles per TRI2",
                                     5, 0x5645584Au, 0x00000051u, 2, build_family5});
