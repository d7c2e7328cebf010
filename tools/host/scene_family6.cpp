// Family 6's own commands: a terrain patch and a cube whose vertices stay untransformed, each
// drawn through its own matrix slot as the projection, their triangles from triangle lists in
// RDRAM; the cube's commands run in place from a run of three
#include <cmath>

#include "dl_rdp.h"
#include "dl_ucode6.h"
#include "scenes.h"

namespace {

constexpr uint32_t kList      = 0x100000;
constexpr uint32_t kRun       = 0x108000; // the cube's commands, run in place
constexpr uint32_t kViewport  = 0x180000;
constexpr uint32_t kMatrices  = 0x180100; // slot 1: terrain, slot 0: cube
constexpr uint32_t kTerrain   = 0x190000; // 30 vertices of 10 bytes
constexpr uint32_t kCube      = 0x190200; // 8 vertices
constexpr uint32_t kTerrainTs = 0x191000; // 40 triangle records
constexpr uint32_t kCubeTs    = 0x192000; // 12 triangle records

constexpr int kColumns = 6, kRows = 5; // the terrain's grid: 30 vertices in one load

// Heights from a few waves; low ground green, high ground brown and pale at the top.
void write_terrain(Console& c) {
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const float x = -250.0f + 100.0f * float(col);
            const float z = -200.0f + 100.0f * float(row);
            const float h = 35.0f * std::sin(0.9f * float(col)) * std::cos(0.8f * float(row));
            const float k = (h + 35.0f) / 70.0f; // 0 low .. 1 high
            uc6::write_vertex(c, kTerrain + 10 * uint32_t(row * kColumns + col), int16_t(x),
                              int16_t(h), int16_t(z), uint8_t(40 + 170 * k), uint8_t(150 - 40 * k),
                              uint8_t(40 + 60 * k * k), 255);
        }
    uint32_t record = kTerrainTs;
    for (int row = 0; row + 1 < kRows; ++row)
        for (int col = 0; col + 1 < kColumns; ++col) {
            const auto a = uint8_t(row * kColumns + col), b = uint8_t(a + 1),
                       d = uint8_t(a + kColumns), e = uint8_t(d + 1);
            uc6::write_triangle(c, record, a, d, e);
            uc6::write_triangle(c, record + 16, a, e, b);
            record += 32;
        }
}

// A cube of half-size 40 with a colour per corner.
void write_cube(Console& c) {
    for (uint32_t i = 0; i < 8; ++i) {
        const int x = i & 1 ? 40 : -40, y = i & 2 ? 40 : -40, z = i & 4 ? 40 : -40;
        uc6::write_vertex(c, kCube + 10 * i, int16_t(x), int16_t(y), int16_t(z),
                          uint8_t(i & 1 ? 250 : 60), uint8_t(i & 2 ? 230 : 50),
                          uint8_t(i & 4 ? 250 : 70), 255);
    }
    const uint8_t faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                 {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (uint32_t f = 0; f < 6; ++f) {
        const uint8_t* q = faces[f];
        uc6::write_triangle(c, kCubeTs + 32 * f, q[0], q[1], q[2]);
        uc6::write_triangle(c, kCubeTs + 32 * f + 16, q[0], q[2], q[3]);
    }
}

uint32_t build_family6(Console& c, int frame) {
    write_terrain(c);
    write_cube(c);
    const uc0::Mat projection = uc0::perspective(50, 4.0f / 3.0f, 20, 2000);
    const uc0::Mat camera     = uc0::then(uc0::rotation_x(0.5f), uc0::translation(0, -40, -600));
    const uc0::Mat spin =
        uc0::then(uc0::then(uc0::rotation_y(0.5f + 0.35f * float(frame)), uc0::rotation_x(0.4f)),
                  uc0::translation(30, 90, 20));
    // The slots hold the whole transform: model, camera and projection.
    uc0::write_matrix(c, kMatrices, uc0::then(camera, projection));
    uc0::write_matrix(c, kMatrices + 64, uc0::then(uc0::then(spin, camera), projection));
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);

    DisplayList run(c, kRun);
    run.add({uc6::load_vertices(8, 0, kCube), uc6::triangles(6, kCubeTs),
             uc6::triangles(6, kCubeTs + 6 * 16)});

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(16, 8, 16)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(0)});
    dl.add({uc6::viewport(kViewport), uc6::render_mode(uc0::kZCompare | uc0::kZUpdate),
            uc6::clear_geometry_mode(0xFFFFFFFF),
            uc6::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth),
            uc0::combine_shade(), uc6::load_matrix(1, kMatrices),
            uc6::load_matrix(0, kMatrices + 64)});
    dl.add({uc6::load_vertices(kColumns * kRows, 1, kTerrain), uc6::triangles(20, kTerrainTs),
            uc6::triangles(20, kTerrainTs + 20 * 16), uc6::run_in_place(3, kRun)});
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar family6_scene({"family6",
                                     "family 6: a terrain patch and a cube through two matrix "
                                     "slots, triangles from lists in RDRAM, the cube run in place",
                                     6, 0x5645584Au, 0x00000061u, 2, build_family6});
