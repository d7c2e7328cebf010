// Family 4 command decoding: each handler fed command words, state compared field by field
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "dl_ucode4.h"
#include "dlist/command_table.h"
#include "dlist/rsp_shared.h"
#include "geometry/vertex.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Ucode4 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        UcodeType = 4;
    }
    // Runs one command through family 4's row, as the interpreter would.
    void run(Command k) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[4][k.w0 >> 24]();
    }
    Console& c = test_console();
};

const Matrix4 kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

TEST_F(Ucode4, LoadVtxFillsCountEntriesEndingAtEnd) {
    struct Case {
        uint32_t cmd0;
        uint32_t first, count; // count 0: nothing loaded
    } cases[] = {
        {0x01020040, 0, 32},  // count 32, end 32
        {0x01003014, 7, 3},   // count 3, end 10
        {0x010010FE, 126, 1}, // the last index, 126
        {0x01000014, 0, 0},   // count 0
        {0x0100B014, 0, 0},   // count 11 above end 10: ignored
        {0x01001001, 0, 0},   // end 0 (odd byte: the low bit is not part of the index)
    };
    for (uint32_t i = 0; i < 32; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, int16_t(i + 1), 0, 0, -5, 7, 0, 0, 0, 0);
    rdp_reg.current_tile_index = 5;
    for (const Case& k : cases) {
        for (TransformedVertex& v : rdp_reg.vtx)
            v.x = -1;
        rdp_reg.modelview.entry[0] = kIdentity;
        run({k.cmd0, kVertexAddress});
        for (uint32_t e = 0; e < 256; ++e) {
            const bool loaded = e >= k.first && e < k.first + k.count;
            ASSERT_EQ(rdp_reg.vtx[e].x, loaded ? float(e - k.first + 1) : -1.0f)
                << std::hex << "cmd0 " << k.cmd0 << std::dec << " entry " << e;
        }
        if (k.count) {
            EXPECT_EQ(rdp_reg.vtx[k.first].s, -5.0f) << "s and t are not scaled";
            EXPECT_EQ(rdp_reg.vtx[k.first].t, 7.0f);
        }
    }
    EXPECT_EQ(rdp_reg.current_tile_index, 5u) << "unlike family 0, the tile is left alone";
}

TEST_F(Ucode4, LoadVtxGeneratesTextureCoordinatesFromTheUnitNormal) {
    // A rotated normal; its length after normalising need not be exactly 1 in float.
    const uc0::Mat R           = uc0::then(uc0::rotation_x(0.3f), uc0::rotation_y(0.52359877f));
    rdp_reg.modelview.entry[0] = {};
    std::memcpy(rdp_reg.modelview.entry[0].m, R.m, sizeof R.m);
    rdp_reg.geometry_mode = uc4::kTextureGen;
    uc0::write_vertex(c, kVertexAddress, 0, 0, 0, 100, 100, 0x7F, 0x10, 0x20, 0xFF);
    uc0::write_vertex(c, kVertexAddress + 16, 0, 0, 0, 100, 100, 0, 0, 0, 0xFF); // zero normal
    run(uc4::loadvtx(0, 2, kVertexAddress));
    const TransformedVertex& v = rdp_reg.vtx[0];
    EXPECT_EQ(v.s, v.nx * 0.5f + 0.5f);
    EXPECT_EQ(v.t, 0.5f - v.ny * 0.5f);
    EXPECT_EQ(rdp_reg.vtx[1].s, 0.5f);
    EXPECT_EQ(rdp_reg.vtx[1].t, 0.5f);
}

TEST_F(Ucode4, TrianglesDecodeDoubledIndices) {
    struct Case {
        Command k;
        uint32_t count;
        uint32_t indices[6];
    } cases[] = {
        {{0x05020406, 0}, 3, {1, 2, 3}},
        {{0x05FFFDFB, 0xFFFFFFFF}, 3, {127, 126, 125}},
        {uc4::tri2(0, 1, 2, 125, 126, 127), 6, {0, 1, 2, 125, 126, 127}},
        {uc4::quad(4, 5, 6, 7), 6, {4, 5, 6, 7, 4, 6}},
    };
    for (const Case& k : cases) {
        rdp_reg.batch.count = 0;
        run(k.k);
        ASSERT_EQ(rdp_reg.batch.count, int32_t(k.count)) << std::hex << k.k.w0;
        for (uint32_t i = 0; i < k.count; ++i)
            EXPECT_EQ(rdp_reg.batch.indices[i], k.indices[i]) << std::hex << k.k.w0 << " " << i;
    }
    for (int op = 0; op < 256; ++op)
        EXPECT_EQ(KeepsBatch[4][op], op >= 0x05 && op <= 0x07) << "opcode " << op;
}

TEST_F(Ucode4, PopMatrixOnlyForOneModelViewMatrix) {
    struct Case {
        uint32_t cmd1;
        uint16_t top;
    } cases[] = {{64, 2}, {128, 3}, {0, 3}, {65, 3}};
    for (const Case& k : cases) {
        rdp_reg.modelview.modelview_top = 3;
        run({0xD8380002, k.cmd1});
        EXPECT_EQ(rdp_reg.modelview.modelview_top, k.top) << "cmd1 " << k.cmd1;
    }
}

TEST_F(Ucode4, GeometryModeKeepsThenSetsAndCullsByItsOwnBits) {
    struct Case {
        uint32_t before, cmd0, cmd1, after;
        bool culls;
        GLenum face;
    } cases[] = {
        {0xFFFFFFFF, 0xD9FFFFFF, 0, 0x00FFFFFF, true, GL_FRONT_AND_BACK}, // bits 24..31 never kept
        {0x00FFFFFF, 0xD9000000, 0x400, 0x400, true, GL_BACK},
        {0x00000000, 0xD9FFFFFF, 0x200, 0x200, true, GL_FRONT},
        {0x00000600, 0xD9FFFDFF, 0, 0x400, true, GL_BACK},
        {0x00003000, 0xD9FFFFFF, 0, 0x3000, false, 0}, // family 0's cull bits do not cull here
        {0x00020600, 0xD9FFF9FF, 0x40000, 0x60000, false, 0},
    };
    for (const Case& k : cases) {
        rdp_reg.geometry_mode = k.before;
        run({k.cmd0, k.cmd1});
        EXPECT_EQ(rdp_reg.geometry_mode, k.after) << std::hex << k.cmd0 << " " << k.cmd1;
        EXPECT_EQ(bool(glIsEnabled(GL_CULL_FACE)), k.culls) << std::hex << k.cmd0;
        if (k.culls) {
            EXPECT_EQ(GLenum(gl_int(GL_CULL_FACE_MODE)), k.face) << std::hex << k.cmd0;
        }
    }
    glDisable(GL_CULL_FACE);
}

TEST_F(Ucode4, LoadMtxParams) {
    const uc0::Mat A = uc0::translation(1, 2, 3);
    const uc0::Mat B = uc0::scaling(2);
    // A translation, then a scale 2 that applies before it, on identity matrices.
    struct Case {
        uint32_t param;
        uint16_t top;
        float mv0, mv12;     // model-view top elements 0 and 12 afterwards
        float proj0, proj12; // projection elements 0 and 12
    } cases[] = {
        {0, 2, 2, 1, 1, 0},    // push mul twice
        {1, 0, 2, 1, 1, 0},    // mul
        {2, 2, 2, 0, 1, 0},    // push load twice
        {3, 0, 2, 0, 1, 0},    // load: the scale alone
        {4, 0, 1, 0, 2, 1},    // projection mul, nothing pushed
        {5, 0, 1, 0, 2, 1},    // projection mul
        {6, 0, 1, 0, 2, 0},    // projection load, nothing pushed
        {7, 0, 1, 0, 2, 0},    // projection load
        {8, 0, 1, 0, 1, 0},    // nothing
        {0xFF, 0, 1, 0, 1, 0}, // nothing
    };
    for (const Case& k : cases) {
        reset_core_state();
        uc0::write_matrix(c, kMatrixAddress, A);
        uc0::write_matrix(c, kMatrixAddress + 64, B);
        rdp_reg.modelview.entry[0] = kIdentity;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        // A model-view left current (as families 5 and 6 leave it) still gets no projection.
        glMatrixMode(GL_MODELVIEW);
        run(uc4::matrix(k.param, kMatrixAddress));
        run(uc4::matrix(k.param, kMatrixAddress + 64));
        const ModelViewStack& s = rdp_reg.modelview;
        EXPECT_EQ(s.modelview_top, k.top) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[0], k.mv0) << "param " << k.param;
        EXPECT_EQ(s.entry[s.modelview_top].m[12], k.mv12) << "param " << k.param;
        GLfloat p[16], mv[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        EXPECT_EQ(p[0], k.proj0) << "param " << k.param;
        EXPECT_EQ(p[12], k.proj12) << "param " << k.param;
        EXPECT_EQ(mv[0], 1.0f) << "param " << k.param << ": OpenGL's model-view untouched";
        EXPECT_EQ(gl_int(GL_PROJECTION_STACK_DEPTH), 1) << "param " << k.param;
    }
    glMatrixMode(GL_PROJECTION);
}

TEST_F(Ucode4, MoveWordSetsLightsAndSegments) {
    struct NumLight {
        uint32_t cmd1, lights;
    } counts[] = {{0x18, 1}, {0xC0, 0}, {0xA8, 7}, {0x17, 0}, {0x2F, 1}, {0x1FF, 0}, {0x130, 2}};
    for (const NumLight& k : counts) {
        rdp_reg.num_lights = 5;
        run(uc4::moveword(0x02, 0, k.cmd1));
        EXPECT_EQ(rdp_reg.num_lights, k.lights) << std::hex << "NUMLIGHT " << k.cmd1;
    }

    struct Segment {
        uint32_t offset;
        int segment; // -1: none
    } segments[] = {{4, 1}, {60, 15}, {0, 0}, {63, 15}, {64, -1}, {0xFFFC, -1}};
    for (const Segment& k : segments) {
        std::memset(rdp_reg.segments, 0, sizeof rdp_reg.segments);
        run(uc4::moveword(0x06, k.offset, 0xAB123400));
        for (int s = 0; s < 16; ++s)
            EXPECT_EQ(rdp_reg.segments[s], s == k.segment ? 0x00123400u : 0u)
                << "offset " << k.offset << " segment " << s;
    }

    // LIGHTCOL: the light in offset bits 13..15, its main colour with bit 0x400, else its copy.
    struct LightCol {
        uint32_t offset;
        int light;
        bool main;
    } colours[] = {{0x0400, 0, true}, {0x0000, 0, false}, {0x2400, 1, true}, {0xE000, 7, false}};
    for (const LightCol& k : colours) {
        reset_core_state();
        run(uc4::moveword(0x0A, k.offset, 0xFF804000));
        for (int n = 0; n < 8; ++n) {
            const LightRecord& l = rdp_reg.lights[n];
            const bool main = n == k.light && k.main, copy = n == k.light && !k.main;
            EXPECT_EQ(l.rgba[1], main ? 0x80 * kInv255 : 0.0f) << "offset " << k.offset << " " << n;
            EXPECT_EQ(l.rgba[3], main ? 1.0f : 0.0f) << "offset " << k.offset << " " << n;
            EXPECT_EQ(l.rgba_copy[2], copy ? 0x40 * kInv255 : 0.0f) << "offset " << k.offset;
        }
    }
}

TEST_F(Ucode4, MoveMemLoadsViewportAndLightsFromOffset48) {
    uc0::write_viewport(c, kViewportAddress, 80, 60, 80, 60);
    run(uc4::viewport(kViewportAddress));
    EXPECT_EQ(rdp_reg.viewport_scale[0], 80.0f);
    EXPECT_EQ(rdp_reg.viewport_trans[1], 60.0f);
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[1], 240);
    EXPECT_EQ(v[2], 320);

    struct Case {
        uint32_t index, offset_byte;
        int light; // -1: none
    } cases[] = {{10, 6, 0},   {10, 9, 1},    {10, 29, 7}, {10, 3, -1}, {10, 0, -1},  {10, 5, -1},
                 {10, 30, -1}, {10, 255, -1}, {2, 6, -1},  {14, 6, -1}, {0x86, 0, -1}};
    for (const Case& k : cases) {
        reset_core_state();
        uc0::write_light(c, kLightAddress, 255, 0, 0, 0, 0, -127);
        c.write_u8(kLightAddress + 3, 0xFF); // padding bytes are not read
        c.write_u8(kLightAddress + 11, 0xFF);
        run(uc4::movemem(k.index, k.offset_byte, kLightAddress));
        for (int n = 0; n < 8; ++n) {
            const LightRecord& l = rdp_reg.lights[n];
            const bool loaded    = n == k.light;
            EXPECT_EQ(l.rgba[0], loaded ? 1.0f : 0.0f)
                << "index " << k.index << " offset " << k.offset_byte << " light " << n;
            EXPECT_EQ(l.rgba_copy[0], loaded ? 1.0f : 0.0f);
            EXPECT_EQ(l.xyzw[2], loaded ? -1.0f : 0.0f);
            EXPECT_EQ(l.rgba[3], loaded ? 1.0f : 0.0f);
        }
    }
}

TEST_F(Ucode4, OtherModeLowReappliesTheDepthStateForAnyShift) {
    struct Case {
        Command k;
        uint32_t before, after;
        bool test, write;
        float far_depth;
    } cases[] = {
        {uc4::render_mode(0x10 | 7), 3, 0x13, true, false, 1.0f}, // bits 0..2 kept
        {uc4::render_mode(0x20 | 0xC00), 0x17, 0xC27, false, true, 0.9995f},
        {uc4::set_othermode_l(0, 2, 0xFFFFFFFF), 0x30, 0x33, true, true, 1.0f},
        {uc4::set_othermode_l(2, 1, 0xFFFFFFFF), 0xC10, 0xC14, true, false, 0.9995f},
        {uc4::set_othermode_l(16, 16, 0xFFFFFFFF), 0x20, 0x20, false, true, 1.0f},
        {{0xE2FFFFFF, 0xFFFFFFFF}, 0x30, 0x30, true, true, 1.0f}, // no field at all
    };
    for (const Case& k : cases) {
        rdp_reg.othermode_l = k.before;
        // OpenGL starts with the opposite of every expected setting.
        if (k.test)
            glDisable(GL_DEPTH_TEST);
        else
            glEnable(GL_DEPTH_TEST);
        glDepthMask(k.write ? GL_FALSE : GL_TRUE);
        glDepthRange(0, 0.5);
        run(k.k);
        EXPECT_EQ(rdp_reg.othermode_l, k.after) << std::hex << k.k.w0;
        EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), k.test) << std::hex << k.k.w0;
        EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), k.write ? GL_TRUE : GL_FALSE) << std::hex << k.k.w0;
        GLfloat range[2];
        glGetFloatv(GL_DEPTH_RANGE, range);
        EXPECT_FLOAT_EQ(range[1], k.far_depth) << std::hex << k.k.w0;
    }
}

TEST_F(Ucode4, OtherModeHighReplacesOneFieldAndTheCycleType) {
    struct Field {
        uint32_t shift, length, mask;
    } fields[] = {{4, 2, 0x30},     {6, 2, 0xC0},      {8, 1, 0x100},     {9, 3, 0xE00},
                  {12, 2, 0x3000},  {14, 2, 0xC000},   {16, 1, 0x10000},  {17, 2, 0x60000},
                  {19, 1, 0x80000}, {20, 2, 0x300000}, {22, 1, 0x400000}, {23, 1, 0x800000},
                  {0, 1, 0},        {5, 1, 0},         {24, 8, 0}};
    for (const Field& k : fields) {
        rdp_reg.othermode_h = 0;
        rdp_reg.cycle_type  = 1;
        glDepthMask(GL_FALSE);
        run(uc4::set_othermode_h(k.shift, k.length, 0xFFFFFFFF));
        EXPECT_EQ(rdp_reg.othermode_h, k.mask) << "shift " << k.shift;
        EXPECT_EQ(rdp_reg.cycle_type, k.shift == 20 ? 3 : 1) << "shift " << k.shift;
        EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE) << "the depth state is left alone";
    }
    rdp_reg.othermode_h = 0x00000030;
    run(uc4::cycle_type(2));
    EXPECT_EQ(rdp_reg.cycle_type, 2);
    EXPECT_EQ(rdp_reg.othermode_h, 0x00200030u) << "other fields keep their values";
    glDepthMask(GL_TRUE);
}

// TEXTURE decodes as in family 0, whose suite checks the decoding.
TEST_F(Ucode4, TextureIsTheSharedCommand) { EXPECT_EQ(CommandTable[4][0xD7], rsp_texture); }

// The accepted no-ops, bytes without a command, and variants that address nothing.
TEST_F(Ucode4, IgnoredCommandsChangeNothing) {
    std::vector<Command> ignored;
    for (uint32_t op : {0x00u, 0x02u, 0x03u, 0x08u, 0xD3u, 0xD4u, 0xD5u, 0xD6u, 0xDDu, 0xE0u, 0x09u,
                        0xB8u, 0xBFu, 0xD0u})
        ignored.push_back({(op << 24) | 0x123456, 0x06000000});
    for (uint32_t index : {0u, 4u, 8u, 12u, 14u, 0xFFu})
        ignored.push_back(uc4::moveword(index, 0x0404, 0xFFFFFFFF));
    for (uint32_t index : {0u, 2u, 14u, 0x80u, 0x86u})
        ignored.push_back(uc4::movemem(index, 6, kLightAddress));
    ignored.insert(ignored.end(), {uc4::segment(16, 0x1234),
                                   uc4::light(8, kLightAddress),
                                   uc4::movemem(10, 5, kLightAddress),
                                   uc4::matrix(8, kMatrixAddress),
                                   {0xDE020000, 0x1000},
                                   {0xD8380002, 128},
                                   {0x0100B014, 0}});
    uc0::write_light(c, kLightAddress, 255, 255, 255, 1, 1, 1);
    uc0::write_matrix(c, kMatrixAddress, uc0::scaling(3));
    rdp_reg.modelview.modelview_top = 1;
    auto before                     = std::make_unique<RdpReg>();
    for (const Command& k : ignored) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        std::memcpy(before.get(), &rdp_reg, sizeof rdp_reg);
        CommandTable[4][k.w0 >> 24]();
        EXPECT_EQ(std::memcmp(before.get(), &rdp_reg, sizeof rdp_reg), 0)
            << std::hex << k.w0 << " " << k.w1;
    }
}

// List i calls list i + 1 (through BRANCHZ for odd i); the deepest list signals the host.
void build_call_chain(Console& c, int levels) {
    for (int i = 0; i < levels; ++i) {
        const uint32_t next = 0x10000 + 0x100 * (i + 1);
        DisplayList dl(c, 0x10000 + 0x100 * i);
        if (i & 1)
            dl.add({uc4::rdphalf_1(next), uc4::branchz(0, 0)});
        else
            dl.add(uc4::call_dl(next));
        dl.add({cmd::set_prim_color(uint32_t(i)), uc4::end_dl()});
    }
    DisplayList deepest(c, 0x10000 + 0x100 * levels);
    deepest.add({cmd::full_sync(), uc4::end_dl()});
}

TEST_F(Ucode4, CallsNestSixteenLevelsAndReturnToTheCommandAfter) {
    for (int levels : {15, 16}) {
        reset_core_state();
        UcodeType = 4;
        build_call_chain(c, levels);
        run_interpreted_task(0x10000);
        EXPECT_EQ(c.mi_interrupt, levels == 15 ? 0x20u : 0u) << levels << " levels";
        EXPECT_EQ(rdp_reg.prim_color, 0u) << "every level returned to its caller";
        EXPECT_EQ(rdp_reg.stack.depth, -1);
    }
}

TEST_F(Ucode4, EndAndBranchOfTheActiveList) {
    // The task's list branches (kind 1) to a list that calls one that ends at depth 1.
    DisplayList leaf(c, 0x5000);
    leaf.add({cmd::set_env_color(0x11), uc4::end_dl(), cmd::set_env_color(0xBAD)});
    DisplayList target(c, 0x4000);
    target.add({uc4::call_dl(0x5000), cmd::set_prim_color(0x22), uc4::end_dl(),
                cmd::set_prim_color(0xBAD)});
    DisplayList main(c, 0x3000);
    main.add({cmd::word(0xDE, 0x020000, 0x5000), // kind 2: ignored
              uc4::branch_dl(0x4000), cmd::set_prim_color(0xBAD), uc4::end_dl()});
    run_interpreted_task(main.start());
    EXPECT_EQ(rdp_reg.env_color, 0x11u);
    EXPECT_EQ(rdp_reg.prim_color, 0x22u);
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
    EXPECT_EQ(rdp_reg.stack.depth, -1);

    // BRANCHZ through a segmented RDPHALF_1 address.
    reset_core_state();
    UcodeType = 4;
    DisplayList sub(c, 0x6100);
    sub.add({cmd::set_env_color(0x33), uc4::end_dl()});
    DisplayList task(c, 0x6000);
    task.add({uc4::segment(5, 0x6000), uc4::rdphalf_1(0x05000100), uc4::branchz(3, 0x7FF),
              cmd::set_prim_color(0x44), uc4::end_dl()});
    run_interpreted_task(task.start());
    EXPECT_EQ(rdp_reg.rdphalf_address, 0x6100u);
    EXPECT_EQ(rdp_reg.env_color, 0x33u);
    EXPECT_EQ(rdp_reg.prim_color, 0x44u);
}

} // namespace
