// Families 1, 2 and 3: the decodings that differ from family 0, fed as command words
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "dl_ucode0.h"
#include "dl_ucode1_3.h"
#include "dlist/command_table.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Ucode1To3 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    void run(int family, Command k) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[family][k.w0 >> 24]();
    }
    std::vector<uint32_t> batch() const {
        return {rdp_reg.batch.indices, rdp_reg.batch.indices + rdp_reg.batch.count};
    }
    Console& c = test_console();
};

TEST_F(Ucode1To3, RowsAreFamilyZerosButForTheirOwnCommands) {
    const std::set<int> own[4] = {
        {},
        {0x04, 0xAF, 0xB1, 0xB4, 0xB5, 0xBA, 0xBC, 0xBF},
        {0x01, 0x03, 0x04, 0x06, 0x09, 0xAF, 0xB1, 0xB4, 0xB5, 0xB9, 0xBA, 0xBF},
        {0x04, 0xAF, 0xB1, 0xB4, 0xBA, 0xBF},
    };
    for (int f = 1; f <= 3; ++f)
        for (int op = 0; op < 256; ++op) {
            if (own[f].count(op))
                EXPECT_NE(CommandTable[f][op], CommandTable[0][op]) << f << " " << op;
            else
                EXPECT_EQ(CommandTable[f][op], CommandTable[0][op]) << f << " " << op;
        }
    for (int f = 1; f <= 3; ++f)
        for (int op : {0xB2, 0xB3, 0xBE})
            EXPECT_EQ(CommandTable[f][op], do_nothing) << f << " " << op;
}

TEST_F(Ucode1To3, TriangleCommandsDecodeTheirIndices) {
    struct Case {
        int family;
        uint32_t cmd0, cmd1;
        std::vector<uint32_t> indices;
    } cases[] = {
        {1, 0xBF000000, 0x00020406, {1, 2, 3}},
        {1, 0xBF000000, 0xFF0204FF, {1, 2, 127}}, // the flag byte is not an index
        {1, 0xB1000204, 0x00060810, {0, 1, 2, 3, 4, 8}},
        {1, 0xB5000000, 0x00020406, {0, 1, 2, 3, 0, 2}},
        {1, 0xB5000000, 0xFFFDFBF9, {127, 254, 253, 252, 127, 253}}, // 8-bit fields
        {1, 0xB5000000, 0x03050709, {1, 130, 131, 132, 1, 131}},
        {2, 0xBF000000, 0x00050A0F, {1, 2, 3}},
        {2, 0xBF000000, 0xFFFFFA04, {51, 50, 0}},
        {2, 0xB1050A0F, 0x0014191E, {1, 2, 3, 4, 5, 6}},
        {2, 0xB5000000, 0x00050A0F, {0, 1, 2, 3, 0, 2}},
        {2, 0xB5000000, 0x0F050A00, {3, 1, 2, 0, 3, 2}},
        {3, 0xBF000000, 0x00020406, {1, 2, 3}},
        {3, 0xB1000204, 0x00060810, {0, 1, 2, 3, 4, 8}},
        {3, 0xB5000000, 0x000A1400, {}}, // LINE3D draws at once
    };
    for (const Case& k : cases) {
        rdp_reg.batch.count = 0;
        run(k.family, {k.cmd0, k.cmd1});
        EXPECT_EQ(batch(), k.indices)
            << "family " << k.family << std::hex << " " << k.cmd0 << " " << k.cmd1;
    }
}

// A TRI2 pair padded with (i, i, i) draws as its first triangle sent as TRI1: on llvmpipe a
// draw whose third and last triangle is a point lost the two before it.
TEST_F(Ucode1To3, PaddedTri2PairsDrawAsTheirTri1s) {
    for (int f = 1; f <= 2; ++f) {
        std::vector<unsigned char> frames[2];
        for (int padded = 0; padded < 2; ++padded) {
            reset_core_state();
            UcodeType = f;
            for (uint32_t i = 0; i < 6; ++i) // two triangles side by side
                uc0::write_vertex(c, kVertexAddress + 16 * i,
                                  int16_t(90 * (i / 3) + 40 * (i % 3) - 80),
                                  int16_t(i % 3 == 1 ? 40 : -50), 0, 0, 0, 200, 100, 50, 255);
            const Command pair = f == 1 ? uc1::tri2(3, 4, 5, 4, 4, 4) : uc2::tri2(3, 4, 5, 4, 4, 4);
            const Command second = f == 1 ? uc1::tri1(3, 4, 5) : uc2::tri1(3, 4, 5);
            DisplayList dl(c, kListAddress);
            add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
            dl.add({uc0::combine_shade(), family_vertex(f, 0, 6, kVertexAddress),
                    f == 1 ? uc1::tri1(0, 1, 2) : uc2::tri1(0, 1, 2), padded ? pair : second,
                    cmd::end_dl()});
            run_interpreted_task(dl.start());
            frames[padded].resize(640 * 480 * 4);
            glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, frames[padded].data());
        }
        EXPECT_TRUE(frames[0] == frames[1]) << "family " << f;
        EXPECT_GT(pixel_at(192, 220).r, 100) << "family " << f;
    }
}

TEST_F(Ucode1To3, VertexLoadsTheirFirstAndCount) {
    struct Case {
        int family;
        uint32_t cmd0;
        uint32_t first, count;
    } cases[] = {
        {1, 0x040A103F, 5, 4},    {1, 0x04FEFFFF, 127, 64}, // up to entry 190
        {1, 0x040A03FE, 5, 0},    {2, 0x04000600, 0, 3},
        {2, 0x043FFFFF, 63, 127},                           // up to entry 189
        {2, 0x040101FF, 1, 0},    {3, 0x0402040F, 1, 2},    // low 16 bits 1039: two
        {3, 0x0402040E, 1, 1},    {3, 0x047FFFFF, 63, 126}, // up to entry 188
    };
    for (uint32_t i = 0; i < 200; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, int16_t(i + 1), 0, 0, 0, 0, 0, 0, 0, 0);
    for (const Case& k : cases) {
        for (TransformedVertex& v : rdp_reg.vtx)
            v.x = -1;
        rdp_reg.modelview.entry[0] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        rdp_reg.current_tile       = 3;
        rdp_reg.current_tile_index = 5;
        run(k.family, {k.cmd0, kVertexAddress});
        uint32_t wrong = 0;
        for (uint32_t e = 0; e < 256; ++e) {
            const bool loaded = e >= k.first && e < k.first + k.count;
            wrong += rdp_reg.vtx[e].x != (loaded ? float(e - k.first + 1) : -1.0f);
        }
        EXPECT_EQ(wrong, 0u) << "family " << k.family << std::hex << " cmd0 " << k.cmd0;
        EXPECT_EQ(rdp_reg.current_tile, 0u);
        EXPECT_EQ(rdp_reg.current_tile_index, 5u) << "left unchanged";
    }
}

TEST_F(Ucode1To3, Family1DecodesTheLightCountItsOwnWay) {
    for (uint32_t n = 0; n < 7; ++n) {
        run(1, uc0::num_lights(n));
        EXPECT_EQ(rdp_reg.num_lights, n) << "the console's value for " << n << " lights";
    }
    struct Case {
        uint32_t cmd1, lights;
    } cases[] = {{0x80000060, 2}, {0x00000060, 2}, {0x80001FE0, 7}, {0x80000000, 7}};
    for (const Case& k : cases) {
        run(1, uc0::moveword(0x02, 0, k.cmd1));
        EXPECT_EQ(rdp_reg.num_lights, k.lights) << std::hex << k.cmd1;
    }
}

TEST_F(Ucode1To3, OtherModeDepthCalls) {
    // SETOTHERMODE_L: families 0, 1 and 3 set the depth test from z_cmp, family 2 leaves it.
    for (int f = 0; f <= 3; ++f) {
        for (bool on : {false, true}) {
            if (on)
                glDisable(GL_DEPTH_TEST);
            else
                glEnable(GL_DEPTH_TEST);
            glDepthMask(GL_FALSE);
            run(f, uc0::render_mode((on ? uc0::kZCompare : 0) | uc0::kZUpdate));
            EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), f == 2 ? !on : on) << "family " << f;
            EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_TRUE) << "family " << f;
        }
    }
    // SETOTHERMODE_H: only family 0 sets the depth range and writes.
    for (int f = 0; f <= 3; ++f) {
        rdp_reg.othermode_l = uc0::kZUpdate;
        glDepthMask(GL_FALSE);
        glDepthRange(0, 0.5);
        run(f, uc0::cycle_type(1));
        EXPECT_EQ(rdp_reg.cycle_type, 1) << "family " << f;
        GLfloat range[2];
        glGetFloatv(GL_DEPTH_RANGE, range);
        EXPECT_EQ(range[1], f == 0 ? 1.0f : 0.5f) << "family " << f;
        EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), f == 0 ? GL_TRUE : GL_FALSE) << "family " << f;
        rdp_reg.cycle_type = 0;
    }
    glDepthRange(0, 1);
}

// An address with bit 22 set reaches 4 MB lower in family 2, for the matrix, viewport and
// display-list commands; not for lights and vertices, and not in families 1 and 3.
TEST_F(Ucode1To3, Family2MasksSomeAddressesTo22Bits) {
    constexpr uint32_t kHigh = 0x500000, kLow = kHigh & 0x3FFFFF;
    for (int f = 1; f <= 3; ++f) {
        reset_core_state();
        const bool masked = f == 2;
        uc0::write_matrix(c, kLow, uc0::scaling(2));
        uc0::write_matrix(c, kHigh, uc0::scaling(3));
        uc0::write_viewport(c, kLow + 0x100, 20, 20, 0, 0);
        uc0::write_viewport(c, kHigh + 0x100, 30, 30, 0, 0);
        uc0::write_light(c, kLow + 0x200, 0, 0, 0, 0, 0, 0);
        uc0::write_light(c, kHigh + 0x200, 255, 0, 0, 0, 0, 0);
        uc0::write_vertex(c, kLow + 0x300, 2, 0, 0, 0, 0, 0, 0, 0, 0);
        uc0::write_vertex(c, kHigh + 0x300, 3, 0, 0, 0, 0, 0, 0, 0, 0);

        glMatrixMode(GL_PROJECTION);
        run(f, uc0::matrix(uc0::kProjection | uc0::kLoad, kHigh));
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        EXPECT_EQ(p[0], masked ? 2.0f : 3.0f) << "MATRIX, family " << f;
        glLoadIdentity();

        run(f, uc0::viewport(kHigh + 0x100));
        EXPECT_EQ(rdp_reg.viewport_scale[0], masked ? 20.0f : 30.0f) << "VIEWPORT, family " << f;

        run(f, uc0::light(0, kHigh + 0x200));
        EXPECT_EQ(rdp_reg.lights[0].rgba[0], 1.0f) << "LIGHT, family " << f;

        rdp_reg.modelview.entry[0] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        run(f, family_vertex(f, 0, 1, kHigh + 0x300));
        EXPECT_EQ(rdp_reg.vtx[0].x, 3.0f) << "VERTEX, family " << f;

        run(f, cmd::call_dl(kHigh + 0x400));
        EXPECT_EQ(rdp_reg.stack.pc[1], masked ? kLow + 0x400 : kHigh + 0x400)
            << "DISPLAYLIST, family " << f;
    }
}

} // namespace
