// Family 4's own commands: a 32-vertex ribbon drawn in QUAD and TRI2 strips, and a chain of
// twelve gems, each list calling the next (every second call through RDPHALF_1 and BRANCHZ),
// lit by three lights whose colours come from LIGHTCOL
#include <cmath>
#include <utility>

#include "dl_rdp.h"
#include "dl_ucode4.h"
#include "scenes.h"

namespace {

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kLevels   = 0x110000; // segment 1: the chain's lists, 0x100 bytes apart
constexpr uint32_t kViewport = 0x180000;
constexpr uint32_t kMatrices = 0x180100; // projection, ribbon, chain base, chain step
constexpr uint32_t kLights   = 0x180400; // three directional lights and the ambient
constexpr uint32_t kRibbon   = 0x190000; // 32 vertices
constexpr uint32_t kGem      = 0x191000; // 24 vertices
constexpr int kChainLength   = 12;

constexpr int kColumns = 8, kRows = 4; // the ribbon's grid: 32 vertices in one load

void write_ribbon(Console& c, int frame) {
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const float x = -210.0f + 60.0f * float(col);
            const float z = -100.0f * float(row);
            const float y = 12.0f * std::sin(0.9f * float(col) + 1.3f * float(row) + float(frame));
            const auto r  = uint8_t(40 + 30 * col);
            const auto g  = uint8_t(70 + 50 * row);
            const auto b  = uint8_t(230 - 25 * col);
            uc0::write_vertex(c, kRibbon + 16 * uint32_t(row * kColumns + col), int16_t(x),
                              int16_t(y), int16_t(z), 0, 0, r, g, b, 255);
        }
}

// An octahedron with flat faces: 8 faces of 3 vertices, the face normal in the colour bytes.
void write_gem(Console& c) {
    const float radius = 22, height = 30;
    const float ring[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    uint32_t address       = kGem;
    for (int apex = 0; apex < 2; ++apex)
        for (int k = 0; k < 4; ++k) {
            const float* a = ring[k];
            const float* b = ring[(k + 1) % 4];
            const float ay = apex == 0 ? height : -height;
            // Counter-clockwise seen from outside: the upper faces go a, b, apex.
            float p[3][3] = {
                {a[0] * radius, 0, a[1] * radius}, {b[0] * radius, 0, b[1] * radius}, {0, ay, 0}};
            if (apex == 1) std::swap(p[0], p[1]);
            const float u[3]   = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const float v[3]   = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            float n[3]         = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                  u[0] * v[1] - u[1] * v[0]};
            const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (float& e : n)
                e = e / length * 127.0f;
            for (const auto& q : p) {
                uc0::write_vertex(c, address, int16_t(q[0]), int16_t(q[1]), int16_t(q[2]), 0, 0,
                                  uint8_t(int8_t(std::lround(n[0]))),
                                  uint8_t(int8_t(std::lround(n[1]))),
                                  uint8_t(int8_t(std::lround(n[2]))), 255);
                address += 16;
            }
        }
}

// Cells of rows 0-1 and 2-3 as QUADs, of rows 1-2 as TRI2 pairs: 21 commands, 42 triangles.
void add_ribbon_strips(DisplayList& dl) {
    for (uint32_t row = 0; row + 1 < kRows; ++row)
        for (uint32_t col = 0; col + 1 < kColumns; ++col) {
            const uint32_t a = row * kColumns + col, b = a + 1, c = b + kColumns, d = a + kColumns;
            if (row == 1)
                dl.add(uc4::tri2(a, b, c, a, c, d));
            else
                dl.add(uc4::quad(a, b, c, d));
        }
}

// Level k draws a gem one step up the chain from its parent, then calls level k + 1 (by
// DISPLAYLIST on odd levels, by BRANCHZ on even ones) and pops its matrix on the way back.
void write_chain(Console& c) {
    for (int k = 1; k <= kChainLength; ++k) {
        DisplayList dl(c, kLevels + 0x100 * uint32_t(k));
        dl.add({uc4::matrix(0, kMatrices + 192), uc4::loadvtx(32, 24, kGem)});
        for (uint32_t f = 0; f < 8; f += 2)
            dl.add(
                uc4::tri2(32 + 3 * f, 33 + 3 * f, 34 + 3 * f, 35 + 3 * f, 36 + 3 * f, 37 + 3 * f));
        const uint32_t next = 0x01000000 + 0x100 * uint32_t(k + 1);
        if (k < kChainLength) {
            if (k & 1)
                dl.add(uc4::call_dl(next));
            else
                dl.add({uc4::rdphalf_1(next), uc4::branchz(32, 0)});
        }
        dl.add({uc4::pop_matrix(), uc4::end_dl()});
    }
}

uint32_t build_family4(Console& c, int frame) {
    write_ribbon(c, frame);
    write_gem(c);
    write_chain(c);
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::perspective(50.0f, 4.0f / 3.0f, 20.0f, 2000.0f));
    uc0::write_matrix(c, kMatrices + 64,
                      uc0::then(uc0::rotation_x(0.25f), uc0::translation(0, -95, -330)));
    const float turn = 0.4f * float(frame);
    uc0::write_matrix(c, kMatrices + 128,
                      uc0::then(uc0::rotation_y(turn), uc0::translation(-70, -85, -450)));
    // Each gem: smaller, turned and tilted, 38 units up its parent's axis.
    uc0::write_matrix(c, kMatrices + 192,
                      uc0::then(uc0::then(uc0::then(uc0::scaling(0.9f), uc0::rotation_y(0.55f)),
                                          uc0::rotation_z(0.3f)),
                                uc0::translation(0, 38, 0)));
    // The records hold grey; LIGHTCOL gives the three directional lights their colours.
    uc0::write_light(c, kLights, 128, 128, 128, -90, 40, 70);
    uc0::write_light(c, kLights + 16, 128, 128, 128, 0, 120, 30);
    uc0::write_light(c, kLights + 32, 128, 128, 128, 100, -10, 70);
    uc0::write_light(c, kLights + 48, 30, 30, 40, 0, 0, 0);

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240)});
    dl.add({cmd::set_cycle_type(3), cmd::set_fill_color(cmd::fill_color16(16, 24, 48)),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_cycle_type(0)});
    dl.add({uc0::combine_shade(), uc4::render_mode(uc0::kZCompare | uc0::kZUpdate),
            uc4::viewport(kViewport),
            uc4::matrix(uc4::kProjection | uc4::kLoad | uc4::kNoPush, kMatrices),
            uc4::segment(1, kLevels)});

    // The ribbon: unlit vertex colours, both sides drawn.
    dl.add({uc4::geometry_mode(0, uc4::kZBuffer | uc4::kShade | uc4::kShadeSmooth),
            uc4::matrix(uc4::kLoad | uc4::kNoPush, kMatrices + 64),
            uc4::loadvtx_end(32, 32, kRibbon)});
    add_ribbon_strips(dl);

    // The chain: lit, back faces culled, entered through BRANCHZ.
    dl.add({uc4::set_geometry_mode(uc4::kLighting | uc4::kCullBack), uc4::num_lights(3)});
    for (uint32_t n = 0; n < 4; ++n)
        dl.add(uc4::light(n, kLights + 16 * n));
    dl.add({uc4::light_color(0, true, 0xFF402800), uc4::light_color(1, true, 0x40E05000),
            uc4::light_color(2, true, 0x3070FF00),
            uc4::matrix(uc4::kLoad | uc4::kNoPush, kMatrices + 128), uc4::rdphalf_1(0x01000100),
            uc4::branchz(0, 0), cmd::full_sync(), uc4::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar family4_scene({"family4",
                                     "family 4 only: a 32-vertex ribbon in QUAD and TRI2 strips, "
                                     "12 nested calls through DISPLAYLIST and BRANCHZ, three "
                                     "lights coloured by LIGHTCOL",
                                     4, 0x5645584Au, 0x00000041u, 2, build_family4});
