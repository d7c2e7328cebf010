// Family 0 command decoding: each handler fed command words, state compared field by field
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dl_ucode0.h"
#include "dlist/command_table.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Ucode0 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    // Runs one command through family 0's row, as the interpreter would.
    void run(Command k) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[0][k.w0 >> 24]();
    }
    Console& c = test_console();
};

TEST_F(Ucode0, VertexLoadsCountEntriesFromFirst) {
    struct Case {
        uint32_t cmd0;
        uint32_t first, count;
    } cases[] = {
        {0x04F00000, 0, 16},
        {0x0400000F, 0, 1},
        {0x04FF0000, 15, 16},
        {0x04350000, 5, 4},
    };
    for (uint32_t i = 0; i < 16; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, int16_t(i + 1), 0, 0, 0, 0, 0, 0, 0, 0);
    for (const Case& k : cases) {
        for (TransformedVertex& v : rdp_reg.vtx)
            v.x = -1;
        rdp_reg.modelview.entry[0] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        rdp_reg.current_tile_index = 5;
        run({k.cmd0, kVertexAddress});
        for (uint32_t e = 0; e < 32; ++e) {
            const bool loaded = e >= k.first && e < k.first + k.count;
            EXPECT_EQ(rdp_reg.vtx[e].x, loaded ? float(e - k.first + 1) : -1.0f)
                << std::hex << "cmd0 " << k.cmd0 << std::dec << " entry " << e;
        }
        EXPECT_EQ(rdp_reg.current_tile_index, 0u);
    }
}

TEST_F(Ucode0, Tri1DividesItsIndicesByTen) {
    struct Case {
        uint32_t cmd1;
        uint32_t i0, i1, i2;
    } cases[] = {
        {0x00000A14, 0, 1, 2},
        {0x0009131D, 0, 1, 2},
        {0xFFFFF0E6, 25, 24, 23},
        {0x7F1E2832, 3, 4, 5}, // the flag byte is not an index
    };
    for (const Case& k : cases) {
        rdp_reg.batch.count = 0;
        run({0xBF000000, k.cmd1});
        ASSERT_EQ(rdp_reg.batch.count, 3);
        EXPECT_EQ(rdp_reg.batch.indices[0], k.i0) << std::hex << k.cmd1;
        EXPECT_EQ(rdp_reg.batch.indices[1], k.i1) << std::hex << k.cmd1;
        EXPECT_EQ(rdp_reg.batch.indices[2], k.i2) << std::hex << k.cmd1;
    }
}

TEST_F(Ucode0, MoveWordSetsLightsAndSegments) {
    struct NumLight {
        uint32_t cmd1, lights;
    } counts[] = {{0x80000040, 1}, {0x80000020, 0}, {0x80000100, 7},
                  {0x80000120, 7}, {0x80000000, 7}, {0x00000000, 7}};
    for (const NumLight& k : counts) {
        run(uc0::moveword(0x02, 0, k.cmd1));
        EXPECT_EQ(rdp_reg.num_lights, k.lights) << std::hex << "NUMLIGHT " << k.cmd1;
    }

    struct Segment {
        uint32_t cmd0, segment;
    } segments[] = {{0xBC000406, 1}, {0xBC003C06, 15}, {0xBC000006, 0}, {0xBC004006, 0}};
    for (const Segment& k : segments) {
        rdp_reg.segments[k.segment] = 0;
        run({k.cmd0, 0x00123400});
        EXPECT_EQ(rdp_reg.segments[k.segment], 0x00123400u) << std::hex << k.cmd0;
    }

    struct LightCol {
        uint32_t offset, light;
        bool main;
    } colours[] = {{0x04, 0, true}, {0x00, 0, false}, {0x24, 1, true}, {0xE4, 7, true}};
    for (const LightCol& k : colours) {
        reset_core_state();
        run(uc0::moveword(0x0A, k.offset, 0xFF804000));
        const LightRecord& l = rdp_reg.lights[k.light];
        const float* set     = k.main ? l.rgba : l.rgba_copy;
        const float* kept    = k.main ? l.rgba_copy : l.rgba;
        EXPECT_EQ(set[0], 1.0f) << "offset " << k.offset;
        EXPECT_EQ(set[1], 0x80 * (1.0f / 255)) << "offset " << k.offset;
        EXPECT_EQ(set[3], 1.0f) << "offset " << k.offset;
        EXPECT_EQ(kept[0], 0.0f) << "offset " << k.offset;
    }

    // Other indices change nothing.
    reset_core_state();
    for (uint32_t index : {0x00u, 0x04u, 0x08u, 0x0Cu, 0x0Eu, 0x10u, 0xFFu})
        run(uc0::moveword(index, 0x04, 0xFFFFFFFF));
    EXPECT_EQ(rdp_reg.num_lights, 0u);
    for (uint32_t s : rdp_reg.segments)
        EXPECT_EQ(s, 0u);
    for (const LightRecord& l : rdp_reg.lights)
        EXPECT_EQ(l.rgba[0] + l.rgba_copy[0], 0.0f);
}

TEST_F(Ucode0, OtherModesUpdateOneFieldAndTheDepthState) {
    run(uc0::render_mode(uc0::kZCompare | 0x7));
    EXPECT_EQ(rdp_reg.othermode_l, uint32_t(uc0::kZCompare)) << "RENDERMODE keeps bits 0..2";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE);

    run(uc0::set_othermode_l(0, 2, 0xFFFFFFFF)); // ALPHACOMPARE
    EXPECT_EQ(rdp_reg.othermode_l, uint32_t(uc0::kZCompare | 3));
    run(uc0::set_othermode_l(2, 1, 0xFFFFFFFF)); // ZSRCSEL
    EXPECT_EQ(rdp_reg.othermode_l, uint32_t(uc0::kZCompare | 7));
    run(uc0::set_othermode_l(0x16, 2, 0xFFFFFFFF)); // BLENDER: nothing
    EXPECT_EQ(rdp_reg.othermode_l, uint32_t(uc0::kZCompare | 7));

    run(uc0::render_mode(uc0::kZUpdate | uc0::kZDecal));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_TRUE);
    GLfloat range[2];
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_FLOAT_EQ(range[1], 0.9995f);

    rdp_reg.othermode_h = 0x00000030;
    run(uc0::cycle_type(3));
    EXPECT_EQ(rdp_reg.cycle_type, 3);
    EXPECT_EQ(rdp_reg.othermode_h, 0x00300030u) << "other fields keep their values";
    run(uc0::set_othermode_h(20, 2, 0x00100000));
    EXPECT_EQ(rdp_reg.cycle_type, 1);

    // Each field takes only its own bits; unknown shifts change nothing.
    struct Field {
        uint32_t shift, mask;
    } fields[] = {{4, 0x30},      {6, 0xC0},     {8, 0x100},    {9, 0xE00},    {12, 0x3000},
                  {14, 0xC000},   {16, 0x10000}, {17, 0x60000}, {19, 0x80000}, {22, 0x400000},
                  {23, 0x800000}, {0, 0},        {5, 0},        {24, 0}};
    for (const Field& k : fields) {
        rdp_reg.othermode_h = 0;
        run(uc0::set_othermode_h(k.shift, 1, 0xFFFFFFFF));
        EXPECT_EQ(rdp_reg.othermode_h, k.mask) << "shift " << k.shift;
        EXPECT_EQ(rdp_reg.cycle_type, 1) << "shift " << k.shift;
    }

    // SETOTHERMODE_H sets the depth writes and range but not the depth test.
    rdp_reg.othermode_l = 0;
    glEnable(GL_DEPTH_TEST);
    run(uc0::set_othermode_h(4, 2, 0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE);
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_EQ(range[1], 1.0f);
}

TEST_F(Ucode0, MatrixParams) {
    const uc0::Mat A = uc0::translation(1, 2, 3);
    const uc0::Mat B = uc0::scaling(2);
    uc0::write_matrix(c, kMatrixAddress, A);
    uc0::write_matrix(c, kMatrixAddress + 64, B);
    // A translation, then a scale 2 that applies before it (new matrices apply first), on an
    // identity model-view and projection.
    struct Case {
        uint32_t param;
        uint16_t top;
        float mv0, mv12;     // model-view top elements 0 and 12 afterwards
        float proj0, proj12; // projection elements 0 and 12
    } cases[] = {
        {0, 0, 2, 1, 1, 0},    // model-view mul
        {1, 0, 1, 0, 2, 1},    // projection mul
        {2, 0, 2, 0, 1, 0},    // model-view load: the scale alone
        {3, 0, 1, 0, 2, 0},    // projection load
        {4, 2, 2, 1, 1, 0},    // push mul twice
        {5, 0, 1, 0, 2, 1},    // projection mul, nothing pushed
        {6, 2, 2, 0, 1, 0},    // push load twice
        {7, 0, 1, 0, 2, 0},    // projection load, nothing pushed
        {8, 0, 1, 0, 1, 0},    // nothing
        {0xFF, 0, 1, 0, 1, 0}, // nothing
    };
    for (const Case& k : cases) {
        reset_core_state();
        uc0::write_matrix(c, kMatrixAddress, A);
        uc0::write_matrix(c, kMatrixAddress + 64, B);
        rdp_reg.modelview.entry[0] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        run(uc0::matrix(k.param, kMatrixAddress));
        run(uc0::matrix(k.param, kMatrixAddress + 64));
        const ModelViewStack& s = rdp_reg.modelview;
        EXPECT_EQ(s.modelview_top, k.top) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[0], k.mv0) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[12], k.mv12) << "param " << k.param;
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        EXPECT_EQ(p[0], k.proj0) << "param " << k.param;
        EXPECT_EQ(p[12], k.proj12) << "param " << k.param;
        EXPECT_EQ(gl_int(GL_PROJECTION_STACK_DEPTH), 1) << "param " << k.param;
    }
}

TEST_F(Ucode0, PopMatrixPopsOnlyTheModelView) {
    rdp_reg.modelview.modelview_top = 3;
    run({0xBD000000, 1});
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 3) << "a projection pop does nothing";
    run(uc0::pop_matrix());
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 2);
}

TEST_F(Ucode0, TextureSetsTheTileScale) {
    run(uc0::texture(2, 0x01, 0xFFFF, 0x8000));
    const TileDescriptor& t = rdp_reg.tiles[2];
    EXPECT_EQ(t.texture_on, 1);
    uint32_t k_bits;
    const float k = 1.0f / (32.0f * 65535.0f);
    std::memcpy(&k_bits, &k, 4);
    EXPECT_EQ(k_bits, 0x35000080u);
    EXPECT_EQ(t.scale_s, 0xFFFF * k);
    EXPECT_EQ(t.scale_t, 0x8000 * k);
    run({0xBB003FFF, 0x00010002}); // level bits ignored; tile 7; whole low byte
    EXPECT_EQ(rdp_reg.tiles[7].texture_on, 0xFF);
    EXPECT_EQ(rdp_reg.tiles[7].scale_s, 1 * k);
}

TEST_F(Ucode0, MoveMemLoadsViewportAndLights) {
    uc0::write_viewport(c, kViewportAddress, 80, 60, 80, 60);
    run(uc0::viewport(kViewportAddress));
    EXPECT_EQ(rdp_reg.viewport_scale[0], 80.0f);
    EXPECT_EQ(rdp_reg.viewport_scale[2], 511 * 0.25f);
    EXPECT_EQ(rdp_reg.viewport_trans[1], 60.0f);
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[1], 240);
    EXPECT_EQ(v[2], 320);

    uc0::write_light(c, kLightAddress, 255, 255, 255, 0, 0, 127);
    struct Case {
        uint32_t index;
        int light; // -1: none
    } cases[] = {{0x86, 0}, {0x88, 1}, {0x94, 7}, {0x87, -1}, {0x96, -1}, {0x84, -1}, {0x98, -1}};
    for (const Case& k : cases) {
        reset_core_state();
        uc0::write_light(c, kLightAddress, 255, 255, 255, 0, 0, 127);
        run(uc0::movemem(k.index, kLightAddress));
        for (int n = 0; n < 8; ++n)
            EXPECT_EQ(rdp_reg.lights[n].rgba[0], n == k.light ? 1.0f : 0.0f)
                << std::hex << "index " << k.index << " light " << n;
    }
}

TEST_F(Ucode0, SpriteDrawsAPlaceholderOnlyWhereItCan) {
    // Sprite record: 40 x 20 at (100, 50).
    const uint32_t sprite = 0x300000;
    c.write_u16(sprite + 10, 40);
    c.write_u16(sprite + 12, 20);
    c.write_u16(sprite + 26, 100);
    c.write_u16(sprite + 28, 50);
    struct Case {
        uint32_t vi_status;
        uint16_t width;
        bool drawn;
    } cases[] = {{2, 320, true}, {3, 320, true}, {0, 320, false}, {1, 320, false}, {2, 100, false}};
    for (const Case& k : cases) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glDisable(GL_TEXTURE_2D); // the placeholder keeps whatever texture an earlier draw left
        test_console().vi_status  = k.vi_status;
        rdp_reg.color_image_width = k.width;
        run(uc0::sprite2d(sprite));
        // Console (120, 60) is window (240, 480 - 120) = (240, 360).
        const Rgba p = pixel_at(240, 359);
        EXPECT_EQ(near(p, 63, 63, 207), k.drawn)
            << "vi " << k.vi_status << " width " << k.width << ": " << describe(p);
        EXPECT_TRUE(near(pixel_at(300, 359), 0, 0, 0)) << "right of the sprite";
        EXPECT_EQ(gl_int(GL_MATRIX_MODE), GL_PROJECTION);
        EXPECT_EQ(gl_int(GL_PROJECTION_STACK_DEPTH), 1);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    test_console().vi_status = 2;
}

} // namespace
