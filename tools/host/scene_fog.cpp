// A corridor fading into its fog colour with depth: G_FOG puts the fog factor in each vertex's
// shade alpha, the blender's first cycle mixes the fog colour in by it
#include "scene_fog.h"

#include "dl_rdp.h"
#include "dl_texture.h"
#include "scenes.h"
#include "texture_images.h"

namespace {

using namespace fog_scene;
using teximg::rgba5551;

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kViewport = 0x200000;
constexpr uint32_t kMatrices = 0x200100; // projection, camera
constexpr uint32_t kWalls    = 0x201000; // four strips of 14 vertices, then the end wall
constexpr uint32_t kRings    = 0x202000; // 8 vertices each
constexpr uint32_t kStone    = 0x410000; // 32 x 32, 16-bit RGBA
constexpr uint32_t kWhite    = 0x411000; // 8 x 8, 8-bit intensity

constexpr int kSegments    = 6;
constexpr float kWallStart = 60, kWallEnd = 1500;
constexpr uint32_t kTexelShade = 0x3FFE4F1, kPassOn = 0x1FF1FFF;

void write_vertex(Console& c, uint32_t a, float x, float y, float z, float s, float t,
                  uint32_t rgb) {
    uc0::write_vertex(c, a, int16_t(x), int16_t(y), int16_t(z), int16_t(s * 32), int16_t(t * 32),
                      uint8_t(rgb >> 24), uint8_t(rgb >> 16), uint8_t(rgb >> 8), 255);
}

// Floor, ceiling and the two side walls as strips from the eye to the end wall, cut along the
// depth so that the fog factor changes along them; a strip is vertex pairs (a, b).
struct Strip {
    float ax, ay, bx, by;
    uint32_t rgb;
};
constexpr Strip kStrips[4] = {{-80, -60, 80, -60, 0x8C8278FF},
                              {80, 60, -80, 60, 0x6E6A64FF},
                              {-80, 60, -80, -60, 0xA0968CFF},
                              {80, -60, 80, 60, 0xA0968CFF}};

void add_corridor(Console& c, DisplayList& dl) {
    for (uint32_t w = 0; w < 4; ++w) {
        const Strip& s   = kStrips[w];
        const uint32_t a = kWalls + w * 0x100;
        for (int k = 0; k <= kSegments; ++k) {
            const float z = -(kWallStart + (kWallEnd - kWallStart) * float(k) / kSegments);
            write_vertex(c, a + 32 * k, s.ax, s.ay, z, 0, float(k) * 64, s.rgb);
            write_vertex(c, a + 32 * k + 16, s.bx, s.by, z, 64, float(k) * 64, s.rgb);
        }
        dl.add(uc0::vertex(0, 2 * kSegments + 2, a));
        for (uint32_t k = 0; k < kSegments; ++k)
            dl.add({uc0::tri1(2 * k, 2 * k + 1, 2 * k + 2),
                    uc0::tri1(2 * k + 1, 2 * k + 3, 2 * k + 2)});
    }
    const uint32_t end = kWalls + 4 * 0x100;
    const float x[4] = {-80, 80, 80, -80}, y[4] = {-60, -60, 60, 60};
    for (uint32_t i = 0; i < 4; ++i)
        write_vertex(c, end + 16 * i, x[i], y[i], -kWallEnd, x[i] > 0 ? 64 : 0, y[i] > 0 ? 48 : 0,
                     0x8C8C96FF);
    dl.add({uc0::vertex(0, 4, end), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
}

// Each ring: outer corners 0..3, inner corners 4..7, counter-clockwise from the lower left.
void add_rings(Console& c, DisplayList& dl) {
    const float sx[4] = {-1, 1, 1, -1}, sy[4] = {-1, -1, 1, 1};
    for (uint32_t r = 0; r < 5; ++r) {
        const uint32_t a = kRings + r * 0x80;
        for (uint32_t i = 0; i < 8; ++i) {
            const float* half = i < 4 ? kRingOuter : kRingInner;
            write_vertex(c, a + 16 * i, sx[i % 4] * half[0], sy[i % 4] * half[1], -kRingDepths[r],
                         0, 0, kRingColor);
        }
        dl.add(uc0::vertex(0, 8, a));
        for (uint32_t side = 0; side < 4; ++side) {
            const uint32_t n = (side + 1) % 4;
            dl.add({uc0::tri1(side, n, 4 + n), uc0::tri1(side, 4 + n, 4 + side)});
        }
    }
}

// A square texture of 16-bit RGBA or 8-bit intensity texels on tile 0, repeated.
void add_texture(DisplayList& dl, uint32_t address, uint32_t format, uint32_t size, uint32_t width,
                 uint32_t mask) {
    const tex::Wrap wrap     = {0, 0, mask, 0};
    const uint32_t row_words = width * (size == tex::b16 ? 2 : 1) / 8;
    dl.add({tex::set_texture_image(format, size, width, address),
            tex::set_tile(7, format, size, 0, 0), tex::load_block(7, 0, 0, width * width),
            tex::set_tile(0, format, size, row_words, 0, 0, wrap, wrap),
            tex::set_tile_size(0, 0, 0, width, width)});
}

uint32_t build_fog(Console& c, int frame) {
    teximg::write_image(c, kStone, 16, 32, 32, [](uint32_t x, uint32_t y) {
        if (y % 16 == 15 || (x + (y / 16) * 8) % 16 == 15) return rgba5551(120, 115, 110);
        return rgba5551(220 + (x * 5 + y * 3) % 30, 215 + (x * 3) % 30, 200 + (y * 7) % 40);
    });
    teximg::write_image(c, kWhite, 8, 8, 8, [](uint32_t, uint32_t) { return 0xFFu; });
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, projection());
    uc0::write_matrix(c, kMatrices + 64, uc0::translation(0, 0, 60.0f * float(frame)));

    DisplayList dl(c, kList);
    const uint32_t z = uc0::kZCompare | uc0::kZUpdate;
    dl.add({cmd::set_color_image(320, 0x300000), cmd::set_depth_image(0x340000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(60, 80, 110)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(1, z), uc0::render_mode(kTwoCycleFogOpaque),
            cmd::set_combine_keys(kTexelShade, kPassOn), cmd::set_fog_color(kFogColor),
            uc0::fog_position(kFogMin, kFogMax), uc0::viewport(kViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::matrix(uc0::kLoad, kMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth | uc0::kFog),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});
    add_texture(dl, kStone, tex::rgba, tex::b16, 32, 5);
    add_corridor(c, dl);
    add_texture(dl, kWhite, tex::i, tex::b8, 8, 3);
    add_rings(c, dl);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return kList;
}

SceneRegistrar fog_registrar({"fog",
                              "a corridor fading into its fog colour with depth (G_FOG, fog "
                              "position, fog colour, the blender's fog cycle)",
                              0, 0x5645584Au, 0x0000000Fu, 2, build_fog});

} // namespace
