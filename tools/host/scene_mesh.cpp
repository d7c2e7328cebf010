// A lit, textured cube (16-bit RGBA bricks) over a floor of mirrored 4-bit colour-indexed tiles,
// written in each of the microcode families 0 to 4: the same triangles in each family's own
// commands give the same picture
#include "cube_faces.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "dl_ucode1_3.h"
#include "dl_ucode4.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using teximg::rgba5551;

constexpr uint32_t kMainList   = 0x100000;
constexpr uint32_t kCubeList   = 0x104000;
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

// Six faces of a cube of half-size 50, four corners each.
void write_cube(Console& c) {
    uint32_t address = kCube;
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            const CubeCorner q = cube_corner(50, f, k);
            // s and t in 10.5 texels: the 32 x 32 bricks once over each face.
            const int16_t s = int16_t((q.u + 1) * 16 * 32), t = int16_t((1 - q.v) * 16 * 32);
            uc0::write_vertex(c, address, int16_t(q.position[0]), int16_t(q.position[1]),
                              int16_t(q.position[2]), s, t, uint8_t(q.normal[0] * 127),
                              uint8_t(q.normal[1] * 127), uint8_t(q.normal[2] * 127), 255);
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

// A family's vertex and triangle commands. Where a family has TRI2 or QUAD, the faces use
// them; each face of four vertices b..b+3 becomes the triangles (b, b+1, b+2), (b+3, b, b+2),
// the order QUAD gives, in every family.
struct Encoding {
    int family;
    Command (*vertex)(uint32_t first, uint32_t count, uint32_t address);
    Command (*tri1)(uint32_t a, uint32_t b, uint32_t c);
    Command (*tri2)(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f);
    Command (*quad)(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
    uint32_t cube_loads;  // VERTEX commands for the 24 cube vertices
    uint32_t cube_first;  // vtx entries of the cube and the floor: the wider families use
    uint32_t floor_first; // entries family 0 cannot name
};

const Encoding kFamily0 = {0, uc0::vertex, uc0::tri1, nullptr, nullptr, 2, 0, 0};
const Encoding kFamily1 = {1, uc1::vertex, uc1::tri1, uc1::tri2, uc1::quad, 1, 64, 100};
const Encoding kFamily2 = {2, uc2::vertex, uc2::tri1, uc2::tri2, uc2::quad, 1, 20, 48};
const Encoding kFamily3 = {3, uc3::vertex, uc3::tri1, uc3::tri2, nullptr, 1, 30, 60};

enum class Face { tri1, tri2, quad };

void add_face(DisplayList& dl, const Encoding& e, Face style, uint32_t b) {
    if (style == Face::quad && e.quad)
        dl.add(e.quad(b, b + 1, b + 2, b + 3));
    else if (style != Face::tri1 && e.tri2)
        dl.add(e.tri2(b, b + 1, b + 2, b + 3, b, b + 2));
    else
        dl.add({e.tri1(b, b + 1, b + 2), e.tri1(b + 3, b, b + 2)});
}

// Family 3's 0xB5 draws lines: a wireframe roof over the cube, apex and the top corners.
constexpr uint32_t kRoof = 0x203000;

void add_roof(Console& c, DisplayList& dl) {
    const int16_t points[5][3] = {
        {0, 115, 0}, {-50, 50, -50}, {50, 50, -50}, {50, 50, 50}, {-50, 50, 50}};
    for (uint32_t i = 0; i < 5; ++i)
        uc0::write_vertex(c, kRoof + 16 * i, points[i][0], points[i][1], points[i][2], 0, 0, 0, 127,
                          0, 255);
    dl.add(uc3::vertex(0, 5, kRoof));
    for (uint32_t corner = 1; corner <= 4; ++corner)
        dl.add(uc0::line3d(0, corner));
}

// Textures, vertices, matrices and lights of one frame.
void write_records(Console& c, int frame) {
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
}

// The floor's 4-bit tiles through palette 5, mirrored in S and T, on tile 0.
void add_floor_texture(DisplayList& dl) {
    const tex::Wrap mirrored = {0, 1, 4, 0};
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kPalette), tex::load_tlut(7, 256),
            tex::set_texture_image(tex::ci, tex::b4, 16, kTiles),
            tex::set_tile(7, tex::ci, tex::b4, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::ci, tex::b4, 1, 0, 5, mirrored, mirrored),
            tex::set_tile_size(0, 0, 0, 16, 16)});
}

// The cube's 16-bit bricks on tile 0.
void add_brick_texture(DisplayList& dl) {
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 32, kBricks),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 1024),
            tex::set_tile(0, tex::rgba, tex::b16, 8, 0), tex::set_tile_size(0, 0, 0, 32, 32)});
}

uint32_t build_mesh(Console& c, int frame, const Encoding& e) {
    write_records(c, frame);

    // The depth test is set by the RDP other mode as well: family 2's render mode leaves it.
    DisplayList dl(c, kMainList);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240),
            cmd::set_cycle_type(0, uc0::kZCompare | uc0::kZUpdate), uc0::cycle_type(0),
            uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::render_mode(uc0::kZCompare | uc0::kZUpdate),
            cmd::set_combine_keys(kTexelShade, kTexelShade)});

    // The floor: unlit, 4-bit indices through palette 5, mirrored in S and T.
    dl.add({uc0::matrix(uc0::kLoad, kMatrices + 128), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});
    add_floor_texture(dl);
    dl.add(e.vertex(e.floor_first, 4, kFloor));
    add_face(dl, e, Face::quad, e.floor_first);

    // The cube, in a list of its own: lit, 16-bit bricks, back faces culled. Family 2 names
    // the list and the cube's matrix 4 MB higher, where its 22-bit addresses wrap back.
    const uint32_t wrap = e.family == 2 ? 0x400000 : 0;
    dl.add({cmd::call_dl(kCubeList | wrap), cmd::full_sync(), cmd::end_dl()});
    DisplayList sub(c, kCubeList);
    sub.add({uc0::matrix(uc0::kLoad | uc0::kPush, (kMatrices + 64) | wrap),
             uc0::set_geometry_mode(uc0::kLighting | uc0::kCullBack), uc0::num_lights(1),
             uc0::light(0, kLights), uc0::light(1, kLights + 16)});
    add_brick_texture(sub);
    const uint32_t per_load = 24 / e.cube_loads;
    for (uint32_t load = 0; load < e.cube_loads; ++load) {
        sub.add(e.vertex(e.cube_first, per_load, kCube + load * per_load * 16));
        for (uint32_t f = 0; f < per_load / 4; ++f) {
            const uint32_t face = load * per_load / 4 + f;
            const Face style    = face == 2 ? Face::tri1 : face < 2 ? Face::tri2 : Face::quad;
            add_face(sub, e, style, e.cube_first + 4 * f);
        }
    }
    if (e.family == 3) add_roof(c, sub);
    sub.add({uc0::pop_matrix(), cmd::end_dl()});
    return kMainList;
}

// Family 4 writes the same lists in its own numbering: one GEOMETRYMODE clears and sets, the
// cube's 24 vertices come in one load at entries that only the wider families can name, its
// faces are TRI2 and QUAD commands spelling family 0's triangles.
constexpr uint32_t kCubeFirst4 = 40, kFloorFirst4 = 100;

void add_face4(DisplayList& dl, uint32_t face, uint32_t b) {
    if (face < 3)
        dl.add(uc4::tri2(b, b + 1, b + 2, b + 3, b, b + 2));
    else
        dl.add(uc4::quad(b, b + 1, b + 2, b + 3));
}

uint32_t build_mesh4(Console& c, int frame) {
    write_records(c, frame);

    DisplayList dl(c, kMainList);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240),
            cmd::set_cycle_type(0, uc0::kZCompare | uc0::kZUpdate), uc4::cycle_type(0),
            uc4::viewport(kViewport),
            uc4::matrix(uc4::kProjection | uc4::kLoad | uc4::kNoPush, kMatrices),
            uc4::render_mode(uc0::kZCompare | uc0::kZUpdate),
            cmd::set_combine_keys(kTexelShade, kTexelShade)});

    dl.add({uc4::matrix(uc4::kLoad | uc4::kNoPush, kMatrices + 128),
            uc4::geometry_mode(0, uc4::kZBuffer | uc4::kShade | uc4::kShadeSmooth),
            uc4::texture(0, 1, 0xFFFF, 0xFFFF)});
    add_floor_texture(dl);
    dl.add(uc4::loadvtx(kFloorFirst4, 4, kFloor));
    add_face4(dl, 3, kFloorFirst4);
    dl.add({uc4::call_dl(kCubeList), cmd::full_sync(), uc4::end_dl()});

    DisplayList sub(c, kCubeList);
    sub.add({uc4::matrix(uc4::kLoad, kMatrices + 64),
             uc4::set_geometry_mode(uc4::kLighting | uc4::kCullBack), uc4::num_lights(1),
             uc4::light(0, kLights), uc4::light(1, kLights + 16)});
    add_brick_texture(sub);
    sub.add(uc4::loadvtx(kCubeFirst4, 24, kCube));
    for (uint32_t face = 0; face < 6; ++face)
        add_face4(sub, face, kCubeFirst4 + 4 * face);
    sub.add({uc4::pop_matrix(), uc4::end_dl()});
    return kMainList;
}

uint32_t build_mesh0(Console& c, int frame) { return build_mesh(c, frame, kFamily0); }
uint32_t build_mesh1(Console& c, int frame) { return build_mesh(c, frame, kFamily1); }
uint32_t build_mesh2(Console& c, int frame) { return build_mesh(c, frame, kFamily2); }
uint32_t build_mesh3(Console& c, int frame) { return build_mesh(c, frame, kFamily3); }

} // namespace

static SceneRegistrar mesh_scene({"mesh",
                                  "a lit cube with 16-bit RGBA bricks over a floor of mirrored "
                                  "4-bit colour-indexed tiles",
                                  0, 0x5645584Au, 0x00000007u, 3, build_mesh0});
static SceneRegistrar mesh1_scene({"mesh-uc1",
                                   "family 1: the mesh scene with VERTEX, TRI1, TRI2 and QUAD "
                                   "of its own encoding",
                                   1, 0x5645584Au, 0x00000011u, 3, build_mesh1});
static SceneRegistrar mesh2_scene({"mesh-uc2",
                                   "family 2: the mesh scene with VERTEX, TRI1, TRI2 and QUAD "
                                   "of its own encoding",
                                   2, 0x5645584Au, 0x00000012u, 3, build_mesh2});
static SceneRegistrar mesh3_scene({"mesh-uc3",
                                   "family 3: the mesh scene with VERTEX, TRI1 and TRI2 of its "
                                   "own encoding, and a LINE3D roof over the cube",
                                   3, 0x5645584Au, 0x00000013u, 3, build_mesh3});
static SceneRegistrar mesh4_scene({"mesh-uc4",
                                   "family 4: the mesh scene in the newer command numbering, "
                                   "with a 24-vertex load, TRI2 and QUAD",
                                   4, 0x5645584Au, 0x00000014u, 3, build_mesh4});
