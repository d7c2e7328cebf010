// Vertex transform, texture generation, light records and draw-time lighting
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dl_ucode0.h"
#include "geometry/matrix.h"
#include "geometry/vertex.h"
#include "state/rdp_reg.h"
#include "support/test_host.h"

namespace {

class Vertices : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    void use_modelview(const uc0::Mat& m) {
        Matrix4 M;
        std::memcpy(M.m, m.m, sizeof M.m);
        modelview_load(M);
    }
    Console& c = test_console();
};

uint32_t bits_of(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

TEST(VertexConstants, AreTheNearestFloats) {
    EXPECT_EQ(bits_of(kInv255), 0x3B808081u);
    EXPECT_EQ(bits_of(kInv127), 0x3C010204u);
}

TEST_F(Vertices, TransformsPositionsAndNormals) {
    struct Case {
        const char* name;
        uc0::Mat modelview;
        int8_t n[3];
        float x, y, z, nx, ny, nz;
    } cases[] = {
        {"identity", uc0::identity(), {0x7F, 0, 0}, 10, -20, 30, 1, 0, 0},
        {"translation moves only the position",
         uc0::translation(5, 0, 0),
         {0, 0x7F, 0},
         15,
         -20,
         30,
         0,
         1,
         0},
        {"uniform scale", uc0::scaling(2), {0, 0, -0x40}, 20, -40, 60, 0, 0, -1},
        {"quarter turn about y",
         uc0::rotation_y(3.14159265f / 2),
         {0x7F, 0, 0},
         30,
         -20,
         -10,
         0,
         0,
         -1},
        {"zero normal", uc0::identity(), {0, 0, 0}, 10, -20, 30, 0, 0, 0},
    };
    for (const Case& k : cases) {
        use_modelview(k.modelview);
        uc0::write_vertex(c, 0x4000, 10, -20, 30, -64, 96, uint8_t(k.n[0]), uint8_t(k.n[1]),
                          uint8_t(k.n[2]), 0xAB);
        c.write_u16(0x4006, 0x1234);
        load_vertex(0x4000, 7);
        const TransformedVertex& v = rdp_reg.vtx[7];
        EXPECT_NEAR(v.x, k.x, 1e-3) << k.name;
        EXPECT_NEAR(v.y, k.y, 1e-3) << k.name;
        EXPECT_NEAR(v.z, k.z, 1e-3) << k.name;
        EXPECT_NEAR(v.nx, k.nx, 1e-5) << k.name;
        EXPECT_NEAR(v.ny, k.ny, 1e-5) << k.name;
        EXPECT_NEAR(v.nz, k.nz, 1e-5) << k.name;
        EXPECT_EQ(v.s, -64.0f) << k.name << ": s unscaled";
        EXPECT_EQ(v.t, 96.0f) << k.name;
        EXPECT_EQ(v.flags, 0x1234) << k.name;
        EXPECT_EQ(v.rgba[0], uint8_t(k.n[0])) << k.name << ": colour bytes kept";
        EXPECT_EQ(v.rgba[3], 0xAB) << k.name;
    }
}

TEST_F(Vertices, GeneratesTextureCoordinatesFromTheNormal) {
    struct Case {
        int8_t n[3];
        float s, t;
    } cases[] = {
        {{0x7F, 0, 0}, 1.0f, 0.5f}, {{0, 0x7F, 0}, 0.5f, 0.0f}, {{0, -0x7F, 0}, 0.5f, 1.0f},
        {{0, 0, 0x7F}, 0.5f, 0.5f}, {{0, 0, 0}, 0.5f, 0.5f}, // zero normal: the middle, not a
                                                             // division by zero
    };
    use_modelview(uc0::identity());
    rdp_reg.geometry_mode = kGeometryTextureGen;
    for (const Case& k : cases) {
        uc0::write_vertex(c, 0x4000, 1, 2, 3, 500, 500, uint8_t(k.n[0]), uint8_t(k.n[1]),
                          uint8_t(k.n[2]), 0xFF);
        load_vertex(0x4000, 0);
        EXPECT_NEAR(rdp_reg.vtx[0].s, k.s, 1e-6) << "normal " << int(k.n[0]) << "," << int(k.n[1]);
        EXPECT_NEAR(rdp_reg.vtx[0].t, k.t, 1e-6) << "normal " << int(k.n[0]) << "," << int(k.n[1]);
    }
    rdp_reg.geometry_mode = 0x00080000; // linear alone generates nothing
    load_vertex(0x4000, 0);
    EXPECT_EQ(rdp_reg.vtx[0].s, 500.0f);
}

TEST_F(Vertices, LaterMatricesLeaveLoadedVerticesAlone) {
    use_modelview(uc0::identity());
    uc0::write_vertex(c, 0x4000, 1, 1, 1, 0, 0, 0, 0, 0x7F, 0xFF);
    load_vertex(0x4000, 0);
    use_modelview(uc0::scaling(3));
    load_vertex(0x4000, 1);
    EXPECT_EQ(rdp_reg.vtx[0].x, 1.0f);
    EXPECT_EQ(rdp_reg.vtx[1].x, 3.0f);
    load_vertex(0x4000, 256 + 2); // indices stay inside the 256 entries
    EXPECT_EQ(rdp_reg.vtx[2].x, 3.0f);
}

TEST_F(Vertices, LightsSumWithoutClamping) {
    // Light 0 white along +z, light 1 half red at 45 degrees, then the ambient 0.2 grey.
    const float half_red_at_45 = 128 * kInv255 * std::sqrt(0.5f);
    struct Case {
        const char* name;
        uint32_t lights;
        float normal[3];
        float r, g, b;
    } cases[] = {
        {"one light along +z plus ambient", 1, {0, 0, 1}, 1.2f, 1.2f, 1.2f},
        {"facing away: ambient only", 1, {0, 0, -1}, 0.2f, 0.2f, 0.2f},
        {"no lights: record 0 is the ambient", 0, {0, 0, 1}, 0.2f, 0.2f, 0.2f},
        {"two lights", 2, {0, 0, 1}, 1.2f + half_red_at_45, 1.2f, 1.2f},
        {"unnormalised normal", 1, {0, 0, 5}, 1.2f, 1.2f, 1.2f},
        {"zero normal: ambient only", 1, {0, 0, 0}, 0.2f, 0.2f, 0.2f},
    };
    for (const Case& k : cases) {
        reset_core_state();
        uc0::write_light(c, 0x5000, 255, 255, 255, 0, 0, 127);
        uc0::write_light(c, 0x5010, 128, 0, 0, 0, 127, 127);
        uc0::write_light(c, 0x5020, 51, 51, 51, 0, 0, 0);
        load_light(0, 0x5000);
        load_light(1, 0x5010);
        load_light(k.lights, 0x5020);
        set_num_lights(k.lights);
        TransformedVertex v{};
        v.nx = k.normal[0];
        v.ny = k.normal[1];
        v.nz = k.normal[2];
        float out[4];
        light_vertex(v, out);
        EXPECT_NEAR(out[0], k.r, 1e-5) << k.name;
        EXPECT_NEAR(out[1], k.g, 1e-5) << k.name;
        EXPECT_NEAR(out[2], k.b, 1e-5) << k.name;
        EXPECT_EQ(out[3], 1.0f) << k.name;
    }
}

TEST_F(Vertices, LightRecordsAndColours) {
    uc0::write_light(c, 0x5000, 255, 0, 51, -127, 0, 127);
    c.write_u8(0x5004, 17); // the copy colour differs from the main one
    load_light(3, 0x5000);
    const LightRecord& l = rdp_reg.lights[3];
    EXPECT_EQ(l.rgba[0], 255 * kInv255);
    EXPECT_EQ(l.rgba[2], 51 * kInv255);
    EXPECT_EQ(l.rgba[3], 1.0f);
    EXPECT_EQ(l.rgba_copy[0], 17 * kInv255);
    EXPECT_EQ(l.xyzw[0], -127 * kInv127);
    EXPECT_EQ(l.xyzw[2], 127 * kInv127);
    EXPECT_EQ(l.xyzw[3], 1.0f);

    set_light_color(3, true, 0x10203040);
    EXPECT_EQ(l.rgba_copy[0], 0x10 * kInv255);
    EXPECT_EQ(l.rgba_copy[2], 0x30 * kInv255);
    EXPECT_EQ(l.rgba_copy[3], 1.0f) << "the low byte is not an alpha";
    EXPECT_EQ(l.rgba[0], 1.0f) << "the main colour is untouched";
}

TEST_F(Vertices, LightCountsAboveSevenAreClamped) {
    for (uint32_t n : {0u, 7u, 8u, 100u, 0xFFFFFFFFu}) {
        set_num_lights(n);
        EXPECT_EQ(rdp_reg.num_lights, n < 8 ? n : 7u) << "NUMLIGHT " << n;
    }
    // Even a count written directly keeps the ambient record inside the eight.
    rdp_reg.num_lights        = 1000;
    rdp_reg.lights[7].rgba[0] = 0.25f;
    TransformedVertex v{};
    float out[4];
    light_vertex(v, out);
    EXPECT_EQ(out[0], 0.25f);
}

} // namespace
