// Family 0 geometry: a smooth-shaded sphere under a warm directional light and a dim
// ambient, in perspective, and a blue-lit cube behind it that the sphere partly hides
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "scenes.h"

namespace {

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kViewport = 0x180000;
constexpr uint32_t kMatrices = 0x180100; // projection, sphere, cube: 64 bytes each
constexpr uint32_t kLights   = 0x180400; // warm light, ambient
constexpr uint32_t kVertices = 0x190000;
constexpr float kPi          = 3.14159265f;

struct Point {
    float x, y, z;
};

Point sub(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point cross(Point a, Point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A mesh vertex with its unit normal, and triangles of up to 16 vertices that are loaded
// together (family 0 loads at most 16 at a time and names vertices 0..25 in TRI1).
struct MeshVertex {
    Point p, n;
};
struct Chunk {
    std::vector<MeshVertex> vertices;
    std::vector<std::array<uint32_t, 3>> triangles;
};

int8_t normal_byte(float v) { return static_cast<int8_t>(std::lround(v * 127.0f)); }

// Keeps a triangle counter-clockwise seen from outside the mesh (both meshes are centred on
// the origin, so the sum of the corners points outwards) and drops the degenerate ones at
// the poles.
void add_facing(Chunk& c, uint32_t a, uint32_t b, uint32_t d) {
    const Point pa = c.vertices[a].p, pb = c.vertices[b].p, pd = c.vertices[d].p;
    const Point outward = {pa.x + pb.x + pd.x, pa.y + pb.y + pd.y, pa.z + pb.z + pd.z};
    const float facing  = dot(cross(sub(pb, pa), sub(pd, pa)), outward);
    if (std::fabs(facing) < 1e-3f) return;
    if (facing > 0)
        c.triangles.push_back({a, b, d});
    else
        c.triangles.push_back({a, d, b});
}

// Latitude bands split into chunks of 7 segments: two rows of 8 vertices.
std::vector<Chunk> sphere(float radius, int bands, int segments) {
    std::vector<Chunk> chunks;
    constexpr int kChunk = 7;
    for (int band = 0; band < bands; ++band) {
        for (int first = 0; first < segments; first += kChunk) {
            Chunk c;
            const int count = std::min(kChunk, segments - first);
            for (int j = 0; j <= count; ++j)
                for (int row = 0; row < 2; ++row) {
                    const float theta = kPi * float(band + row) / float(bands);
                    const float phi   = 2 * kPi * float(first + j) / float(segments);
                    const Point n     = {std::sin(theta) * std::cos(phi), std::cos(theta),
                                         -std::sin(theta) * std::sin(phi)};
                    c.vertices.push_back({{n.x * radius, n.y * radius, n.z * radius}, n});
                }
            for (int j = 0; j < count; ++j) {
                const uint32_t top = 2 * j, bottom = top + 1, next_top = top + 2,
                               next_bottom = top + 3;
                add_facing(c, top, bottom, next_bottom);
                add_facing(c, top, next_bottom, next_top);
            }
            chunks.push_back(c);
        }
    }
    return chunks;
}

// Six faces of four vertices with flat normals; two chunks of three faces.
std::vector<Chunk> cube(float half) {
    const Point axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<Chunk> chunks(2);
    for (int f = 0; f < 6; ++f) {
        Chunk& c      = chunks[f / 3];
        const Point n = axes[f];
        // Two axes across the face.
        const Point u             = std::fabs(n.x) > 0 ? Point{0, 1, 0} : Point{1, 0, 0};
        const Point v             = cross(n, u);
        const uint32_t base       = static_cast<uint32_t>(c.vertices.size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& k : corners)
            c.vertices.push_back(
                {{half * (n.x + k[0] * u.x + k[1] * v.x), half * (n.y + k[0] * u.y + k[1] * v.y),
                  half * (n.z + k[0] * u.z + k[1] * v.z)},
                 n});
        add_facing(c, base, base + 1, base + 2);
        add_facing(c, base, base + 2, base + 3);
    }
    return chunks;
}

// Writes each chunk's vertices (normals in the colour bytes, as lighting expects) and
// adds its VERTEX and TRI1 commands; returns the next free vertex address.
uint32_t add_mesh(Console& console, DisplayList& dl, const std::vector<Chunk>& chunks,
                  uint32_t address) {
    for (const Chunk& c : chunks) {
        for (uint32_t i = 0; i < c.vertices.size(); ++i) {
            const MeshVertex& v = c.vertices[i];
            uc0::write_vertex(console, address + 16 * i, int16_t(std::lround(v.p.x)),
                              int16_t(std::lround(v.p.y)), int16_t(std::lround(v.p.z)), 0, 0,
                              uint8_t(normal_byte(v.n.x)), uint8_t(normal_byte(v.n.y)),
                              uint8_t(normal_byte(v.n.z)), 255);
        }
        dl.add(uc0::vertex(0, static_cast<uint32_t>(c.vertices.size()), address));
        for (const auto& t : c.triangles)
            dl.add(uc0::tri1(t[0], t[1], t[2]));
        address += 16 * static_cast<uint32_t>(c.vertices.size());
    }
    return address;
}

uint32_t build_lit_mesh(Console& console, int frame) {
    const float turn = 0.35f + 0.3f * float(frame);
    uc0::write_viewport(console, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(console, kMatrices, uc0::perspective(45, 320.0f / 240.0f, 100, 2000));
    uc0::write_matrix(console, kMatrices + 64,
                      uc0::then(uc0::then(uc0::rotation_y(turn), uc0::rotation_x(0.3f)),
                                uc0::translation(-30, -5, -520)));
    uc0::write_matrix(console, kMatrices + 128,
                      uc0::then(uc0::then(uc0::rotation_y(0.6f - turn), uc0::rotation_x(0.5f)),
                                uc0::translation(95, 45, -800)));
    // Light directions are in eye space: from the upper left, in front.
    uc0::write_light(console, kLights, 235, 180, 120, -60, 70, 80);
    uc0::write_light(console, kLights + 16, 40, 32, 36, 0, 0, 0);

    DisplayList dl(console, kList);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_depth_image(0x300000),
            cmd::set_scissor(0, 0, 320, 240)});
    // A dark background in fill mode, then one-cycle shade-only drawing with depth.
    dl.add({cmd::set_cycle_type(3), cmd::set_fill_color(cmd::fill_color16(16, 24, 48)),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_cycle_type(0)});
    dl.add({uc0::combine_shade(), uc0::render_mode(uc0::kZCompare | uc0::kZUpdate),
            uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth |
                                   uc0::kCullBack | uc0::kLighting),
            uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::num_lights(1), uc0::light(0, kLights), uc0::light(1, kLights + 16)});

    dl.add(uc0::matrix(uc0::kLoad, kMatrices + 64));
    uint32_t vertices = add_mesh(console, dl, sphere(100, 12, 28), kVertices);

    // The cube behind, drawn after the sphere: the depth test hides what the sphere covers.
    dl.add({uc0::light_color(0, true, 0x80B4FF00), uc0::light_color(1, true, 0x141E3000),
            uc0::matrix(uc0::kLoad, kMatrices + 128)});
    add_mesh(console, dl, cube(70), vertices);

    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

SceneRegistrar lit_mesh_scene({"lit-mesh",
                               "family 0: a lit, smooth-shaded sphere in perspective and a cube "
                               "behind it",
                               0, 0x4C49544Du, 0x00000000u, 1, build_lit_mesh});

} // namespace
