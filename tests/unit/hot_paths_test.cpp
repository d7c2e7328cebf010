// Work hoisted out of the per-vertex and per-texel loops gives the same results as doing it
// in place: lights prepared once per batch, texels staged only as far as the texture reaches
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dl_ucode0.h"
#include "geometry/vertex.h"
#include "render/batch.h"
#include "support/texture_support.h"

namespace {

// The lit colour as the lighting is defined: the normal and every light direction normalised
// afresh for each vertex.
void reference_light(const TransformedVertex& v, float out[3]) {
    Vec3 n = {v.nx, v.ny, v.nz};
    normalize3(n);
    const uint32_t count = rdp_reg.num_lights;
    float r = 0.0f, g = 0.0f, b = 0.0f;
    for (uint32_t i = 0; i < count; ++i) {
        const LightRecord& l = rdp_reg.lights[i];
        Vec3 d               = {l.xyzw[0], l.xyzw[1], l.xyzw[2]};
        normalize3(d);
        float k = d.x * n.x + d.y * n.y + d.z * n.z;
        if (k < 0.0f) k = 0.0f;
        r += k * l.rgba[0];
        g += k * l.rgba[1];
        b += k * l.rgba[2];
    }
    out[0] = r + rdp_reg.lights[count].rgba[0];
    out[1] = g + rdp_reg.lights[count].rgba[1];
    out[2] = b + rdp_reg.lights[count].rgba[2];
}

constexpr float kNormals[][3] = {
    {0.0f, 0.0f, 1.0f}, {0.6f, -0.48f, 0.64f}, {-1.0f, 0.0f, 0.0f},     {0.3f, 0.3f, 0.3f},
    {0.0f, 0.0f, 0.0f}, {0.1f, 0.99f, -0.1f},  {-0.5f, -0.5f, 0.7071f},
};
constexpr int kVertices = sizeof kNormals / sizeof kNormals[0];

class HotPaths : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_texture_test_state();
        for (int i = 0; i < kVertices; ++i) {
            TransformedVertex& v     = rdp_reg.vtx[i];
            v.nx                     = kNormals[i][0];
            v.ny                     = kNormals[i][1];
            v.nz                     = kNormals[i][2];
            v.x                      = i % 3 == 1 ? 1.0f : 0.0f; // triangles with an area
            v.y                      = i % 3 == 2 ? 1.0f : 0.0f;
            rdp_reg.batch.indices[i] = uint32_t(i);
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        rdp_reg.batch.count   = kVertices - kVertices % 3;
        rdp_reg.geometry_mode = kGeometryLighting;
    }

    // Light i: direction (x, y, z) as signed bytes, colour (r, g, b).
    void set_light(uint32_t i, int8_t x, int8_t y, int8_t z, uint8_t r, uint8_t g, uint8_t b) {
        uc0::write_light(c, 0x8000 + 16 * i, r, g, b, x, y, z);
        load_light(i, 0x8000 + 16 * i);
    }

    // Every batch vertex's colour against the reference, bit for bit.
    void expect_lit_colours(uint32_t recipe, const char* what) {
        draw_batch(rdp_reg.batch.indices, 0, recipe, 0);
        for (int i = 0; i < rdp_reg.batch.count; ++i) {
            float lit[3];
            reference_light(rdp_reg.vtx[i], lit);
            for (int k = 0; k < 3; ++k) {
                const float expected = recipe == MUL_SHADE ? lit[k] : 1.0f - lit[k];
                EXPECT_EQ(client_arrays.colors[i][k], expected)
                    << what << ", vertex " << i << ", component " << k;
            }
        }
        float single[4];
        light_vertex(rdp_reg.vtx[1], single);
        float lit[3];
        reference_light(rdp_reg.vtx[1], lit);
        EXPECT_EQ(std::memcmp(single, lit, sizeof lit), 0) << what << ": light_vertex alone";
    }
    Console& c = test_console();
};

TEST_F(HotPaths, LightsPreparedPerBatchLightEveryVertexAsBefore) {
    struct Case {
        const char* what;
        uint32_t lights;
    } cases[] = {
        {"no light: ambient only", 0}, {"one light", 1}, {"three lights", 3}, {"seven lights", 7}};
    for (const Case& k : cases) {
        for (uint32_t i = 0; i < 8; ++i)
            set_light(i, int8_t(40 - 30 * int(i)), int8_t(90 - 25 * int(i)), int8_t(70 + 7 * i),
                      uint8_t(250 - 20 * i), uint8_t(60 + 25 * i), uint8_t(128 + 15 * i));
        set_light(2, 0, 0, 0, 255, 255, 255); // a zero direction contributes nothing
        set_num_lights(k.lights);
        expect_lit_colours(MUL_SHADE, k.what);
        expect_lit_colours(MUL_INV_SHADE, k.what);
    }
}

TEST_F(HotPaths, ALightChangedBetweenBatchesIsSeenByTheNext) {
    set_num_lights(2);
    set_light(0, 0, 0, 127, 255, 255, 255);
    set_light(1, 127, 0, 0, 100, 0, 0);
    set_light(2, 0, 0, 0, 20, 20, 20);
    expect_lit_colours(MUL_SHADE, "first batch");
    set_light(0, 0, 127, 0, 10, 200, 30);
    expect_lit_colours(MUL_SHADE, "after a new direction and colour");
    set_num_lights(1);
    expect_lit_colours(MUL_SHADE, "after a new light count");
}

// The bound texture's texels, row after row.
std::vector<Texel> bound_texels(uint32_t w, uint32_t h) {
    std::vector<Texel> t(size_t(w) * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
    return t;
}

// A texture is staged from the converted texels `load_offset` in, with zeros where that runs
// outside the converted area, whatever a larger texture left in the staging area before it.
TEST_F(HotPaths, ASmallTextureAfterALargeOneHoldsOnlyItsOwnTexels) {
    constexpr uint32_t kImage = 0x10000;
    for (uint32_t i = 0; i < 64 * 64; ++i)
        c.write_u32(kImage + 4 * i, 0x80402000u | (i & 0xFF) | 1);
    uint32_t misses = 0;
    auto bind       = [&](uint32_t side, int32_t load_offset) {
        run_commands({tex::set_texture_image(tex::rgba, tex::b32, 64, kImage),
                      tex::set_tile(0, tex::rgba, tex::b32, 0, 0x1FF),
                      tex::set_tile_size(0, 0, 0, side, side)});
        // With no load on record the tile reads the texture image and keeps its load offset.
        reset_texture_memory();
        rdp_reg.tiles[0].load_offset = load_offset;
        rdp_reg.texture_color        = ++misses; // part of the key: a miss every time
        ASSERT_EQ(bind_texture(), 1);
    };
    struct Case {
        const char* what;
        int32_t load_offset;
    } cases[] = {
        {"no offset", 0},
        {"an offset into the area", 5},
        {"a negative offset: zeros first", -5},
        {"an offset that runs off the area's end", int32_t(kTileTexels) - 7},
        {"an offset past the area: all zeros", int32_t(kTileTexels) + 100},
    };
    for (const Case& k : cases) {
        bind(64, 0);
        bind(8, k.load_offset);
        const std::vector<Texel> got = bound_texels(8, 8);
        const Texel* converted       = tile_texels[0].texels;
        for (int32_t i = 0; i < 64; ++i) {
            const int64_t at = int64_t(k.load_offset) + i;
            const Texel want = at >= 0 && at < int64_t(kTileTexels) ? converted[at] : Texel{};
            ASSERT_EQ(got[size_t(i)], want) << k.what << ", texel " << i;
        }
    }
}

} // namespace
