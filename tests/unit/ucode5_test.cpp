// Families 5 and 6 share handlers with family 0; these suites check what their rows decode
// differently: family 5's 12-byte vertices, texture table, TRI2, LOADMTX and POPMATRIX
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "dl_ucode5.h"
#include "dlist/command_table.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Ucode5 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        UcodeType                  = 5;
        rdp_reg.modelview.entry[0] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    }
    void run(Command k, int family = 5) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[family][k.w0 >> 24]();
    }
    Console& c = test_console();
};

TEST_F(Ucode5, Tri2AppendsItsFourTrianglesSkippingAllZeroOnes) {
    struct Case {
        uint32_t cmd0, cmd1;
        std::vector<uint32_t> indices;
    } cases[] = {
        {0xB1000000, 0, {}},
        {0xB1000003, 0x00000021, {2, 1, 3}},
        // Triangle k: cmd1 byte k high and low nibble, then cmd0 nibble k.
        {0xB100F0D0, 0x9A00BC12, {1, 2, 0, 11, 12, 13, 9, 10, 15}},
        {0xB1FF0000, 0x0000FEDC, {13, 12, 0, 15, 14, 0}}, // cmd0 bits 16..23 unread
    };
    for (const Case& k : cases) {
        rdp_reg.batch.count = 0;
        run({k.cmd0, k.cmd1});
        EXPECT_EQ(std::vector<uint32_t>(rdp_reg.batch.indices,
                                        rdp_reg.batch.indices + rdp_reg.batch.count),
                  k.indices)
            << std::hex << k.cmd0 << " " << k.cmd1;
    }
}

TEST_F(Ucode5, LoadVertexReadsTwelveByteRecordsAndTheTextureTable) {
    const uint32_t table      = 0x204000;
    rdp_reg.reserved2_address = table;
    for (uint32_t i = 0; i < 16; ++i) {
        uc5::write_vertex(c, kVertexAddress + 12 * i, int16_t(i + 1), int16_t(-2 * i), 7,
                          uc5::texcoord_ref(2 * i), 0x7F, 0, 0x80, uint8_t(i));
        uc5::write_texcoords(c, table, 2 * i, int16_t(32 * i), int16_t(-64 * i));
    }
    struct Case {
        uint32_t cmd0, first, count;
    } cases[] = {{0x04F00000, 0, 16}, {0x04000000, 0, 1}, {0x04FF0000, 15, 16}, {0x04350000, 5, 4}};
    for (const Case& k : cases) {
        for (TransformedVertex& v : rdp_reg.vtx)
            v = TransformedVertex{-1, -1, -1, 9, -1, -1, {}, 0, 0, 0};
        run({k.cmd0, kVertexAddress});
        for (uint32_t e = 0; e < 32; ++e) {
            const TransformedVertex& v = rdp_reg.vtx[e];
            if (e < k.first || e >= k.first + k.count) {
                EXPECT_EQ(v.x, -1.0f) << std::hex << k.cmd0 << std::dec << " entry " << e;
                continue;
            }
            const uint32_t i = e - k.first;
            EXPECT_EQ(v.x, float(i + 1)) << "entry " << e;
            EXPECT_EQ(v.y, -2.0f * i) << "entry " << e;
            EXPECT_EQ(v.z, 7.0f) << "entry " << e;
            EXPECT_EQ(v.s, 32.0f * i) << "entry " << e;
            EXPECT_EQ(v.t, -64.0f * i) << "entry " << e;
            EXPECT_EQ(v.flags, 0) << "entry " << e;
            EXPECT_EQ(v.rgba[0], 0x7F);
            EXPECT_EQ(v.rgba[2], 0x80);
            EXPECT_EQ(v.rgba[3], i) << "entry " << e;
            EXPECT_NEAR(v.nx, 0.70433f, 1e-4) << "normal (127, 0, -128) normalised";
            EXPECT_NEAR(v.nz, -0.70988f, 1e-4);
        }
    }

    // Texture generation does not exist in this family; a table at the top of RDRAM wraps to
    // its start.
    rdp_reg.geometry_mode     = 0x40000;
    rdp_reg.reserved2_address = 0x7FFFFC;
    uc5::write_vertex(c, kVertexAddress, 0, 0, 0, uc5::texcoord_ref(1), 0, 0, 0, 0);
    c.write_u16(0x7FFFFC, 0x1234); // host half-word 1 of the table: s
    c.write_u16(0x000002, 0x0040); // host half-word 2, wrapped: t
    run(uc5::load_vertices(0, 1, kVertexAddress));
    EXPECT_EQ(rdp_reg.vtx[0].s, float(0x1234));
    EXPECT_EQ(rdp_reg.vtx[0].t, 64.0f);
}

TEST_F(Ucode5, LoadMatrixParamsAndPopMatrix) {
    uc0::write_matrix(c, kMatrixAddress, uc0::translation(1, 2, 3));
    uc0::write_matrix(c, kMatrixAddress + 64, uc0::scaling(2));
    struct Case {
        uint32_t param;
        uint16_t top;
        float mv0, mv12, proj0, proj12;
    } cases[] = {
        {0, 0, 2, 1, 1, 0}, {1, 0, 1, 0, 2, 1},  {2, 0, 2, 0, 1, 0},    {3, 0, 1, 0, 2, 0},
        {4, 2, 2, 1, 1, 0}, {5, 0, 1, 0, 2, 1},  {6, 2, 2, 0, 1, 0},    {7, 0, 1, 0, 2, 0},
        {8, 0, 1, 0, 1, 0}, {15, 0, 1, 0, 1, 0}, {0x13, 0, 1, 0, 2, 0}, // only four param bits: 3
    };
    for (const Case& k : cases) {
        rdp_reg.modelview.modelview_top = 0;
        rdp_reg.modelview.entry[0]      = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        run(uc5::load_matrix(k.param, kMatrixAddress));
        run(uc5::load_matrix(k.param, kMatrixAddress + 64));
        const ModelViewStack& s = rdp_reg.modelview;
        EXPECT_EQ(s.modelview_top, k.top) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[0], k.mv0) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[12], k.mv12) << "param " << k.param;
        GLfloat p[16], mv[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        EXPECT_EQ(p[0], k.proj0) << "param " << k.param;
        EXPECT_EQ(p[12], k.proj12) << "param " << k.param;
        EXPECT_EQ(mv[0] + mv[12], 1.0f) << "param " << k.param << ": OpenGL's model-view stays";
    }

    // A projection load after a multiply, which leaves the model-view matrix current, still
    // reaches the projection.
    run(uc5::load_matrix(uc5::kProjection, kMatrixAddress));
    run(uc5::load_matrix(uc5::kProjection | uc5::kLoad, kMatrixAddress + 64));
    GLfloat p[16], mv[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    EXPECT_EQ(p[0] + p[12], 2.0f);
    EXPECT_EQ(mv[0] + mv[12], 1.0f);

    // What LOADMTX pushes, POPMATRIX pops, whatever cmd1 holds; OpenGL's stack is not touched.
    rdp_reg.modelview.modelview_top = 0;
    run(uc5::load_matrix(uc5::kPush | uc5::kLoad, kMatrixAddress));
    run(uc5::load_matrix(uc5::kPush, kMatrixAddress + 64));
    run({0xBD000000, 64});
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 1);
    run(uc5::pop_matrix());
    run(uc5::pop_matrix());
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Ucode5, ModesLightsAndSegmentsInBothFamilies) {
    for (int family : {5, 6}) {
        // Cull bits 0x1000 and 0x2000, as in family 0.
        run(uc5::clear_geometry_mode(0xFFFFFFFF), family);
        run(uc5::set_geometry_mode(uc0::kCullBack), family);
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << family;
        EXPECT_EQ(gl_int(GL_CULL_FACE_MODE), GL_BACK) << family;
        run(uc5::clear_geometry_mode(uc0::kCullBack), family);
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << family;

        // The other modes set depth test and writes, never the depth range.
        glDepthRange(0, 0.5);
        run(uc5::render_mode(uc0::kZCompare | uc0::kZDecal), family);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << family;
        EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE) << family;
        run(uc5::render_mode(uc0::kZUpdate), family);
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << family;
        run(uc5::cycle_type(3), family);
        EXPECT_EQ(rdp_reg.cycle_type, 3) << family;
        glDepthMask(GL_FALSE);
        run(uc5::cycle_type(0), family);
        EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE) << family;
        GLfloat range[2];
        glGetFloatv(GL_DEPTH_RANGE, range);
        EXPECT_EQ(range[1], 0.5f) << family;

        // A light count outside 0..7 stores none; segments take all 32 bits.
        struct NumLight {
            uint32_t cmd1, lights;
        } counts[] = {{0x80000040, 1}, {0x80000100, 7}, {0x80000120, 0},
                      {0x80000000, 0}, {0x00000000, 0}, {0x80000020, 0}};
        for (const NumLight& k : counts) {
            rdp_reg.num_lights = 3;
            run(uc5::moveword(0x02, 0, k.cmd1), family);
            EXPECT_EQ(rdp_reg.num_lights, k.lights) << family << std::hex << " NUMLIGHT " << k.cmd1;
        }
        run({0xBC000406, 0xFF123456}, family);
        EXPECT_EQ(rdp_reg.segments[1], 0xFF123456u) << family;

        // Lights at MOVEMEM 0x86..0x94, even indices only.
        uc0::write_light(c, kLightAddress, 255, 255, 255, 0, 0, 127);
        for (uint32_t index : {0x86u, 0x94u, 0x87u}) {
            for (LightRecord& l : rdp_reg.lights)
                l = LightRecord{};
            run(uc0::movemem(index, kLightAddress), family);
            for (uint32_t n = 0; n < 8; ++n)
                EXPECT_EQ(rdp_reg.lights[n].rgba[0],
                          (index == 0x86 && n == 0) || (index == 0x94 && n == 7) ? 1.0f : 0.0f)
                    << family << std::hex << " index " << index << " light " << n;
        }
    }
}

} // namespace
