// RDP state commands: scissor, other modes, colours, images, reserved words and sync
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "dl_rdp.h"
#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "host/plugin.h"
#include "rdp/rdp_commands.h"
#include "rdp/rectangles.h"
#include "render/combiner.h"
#include "state/rdp_reg.h"
#include "support/test_host.h"

namespace {

GLint get_int(GLenum e) {
    GLint v = 0;
    glGetIntegerv(e, &v);
    return v;
}

class RdpState : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    // Runs the commands as one interpreted family-0 task.
    void run(std::initializer_list<Command> commands) {
        DisplayList dl(c, 0x1000);
        dl.add(commands).add(cmd::end_dl());
        run_interpreted_task(dl.start());
    }
    Console& c = test_console();
};

// The box reaches OpenGL when the command arrives, scaled to the window; a box of negative
// size clips everything without an OpenGL error.
TEST_F(RdpState, ScissorIsRecordedAndAppliedWhenTheCommandArrives) {
    struct Case {
        uint32_t ulx4, uly4, lrx4, lry4; // 10.2 fixed point as in the command
        int32_t x, y, width, height;
    } cases[] = {
        {0, 0, 320 * 4, 240 * 4, 0, 0, 320, 240},
        {0, 0, 640 * 4, 480 * 4, 0, -240, 640, 480}, // a 640 x 480 frame reaches below line 240
        {10 * 4 + 3, 20 * 4 + 2, 300 * 4 + 1, 200 * 4 + 3, 10, 40, 290, 180}, // fractions dropped
        {8 * 4, 8 * 4, 312 * 4, 232 * 4, 8, 8, 304, 224},
        {300 * 4, 200 * 4, 100 * 4, 50 * 4, 300, 190, -200, -150}, // lower right above left
    };
    for (const Case& k : cases) {
        glDisable(GL_SCISSOR_TEST);
        glScissor(1, 2, 3, 4);
        run({cmd::word(0xED, k.ulx4 << 12 | k.uly4, k.lrx4 << 12 | k.lry4)});
        EXPECT_EQ(rdp_reg.scissor_x, k.x);
        EXPECT_EQ(rdp_reg.scissor_y, k.y);
        EXPECT_EQ(rdp_reg.scissor_width, k.width);
        EXPECT_EQ(rdp_reg.scissor_height, k.height);
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << k.width;
        GLint box[4];
        glGetIntegerv(GL_SCISSOR_BOX, box);
        const bool empty = k.width < 0;
        EXPECT_EQ(box[0], static_cast<GLint>(static_cast<float>(k.x) * scale_x));
        EXPECT_EQ(box[1], static_cast<GLint>(static_cast<float>(k.y) * scale_y));
        EXPECT_EQ(box[2], empty ? 0 : static_cast<GLint>(static_cast<float>(k.width) * scale_x));
        EXPECT_EQ(box[3], empty ? 0 : static_cast<GLint>(static_cast<float>(k.height) * scale_y));
    }
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(RdpState, OtherModeSetsDepthStateAndCycleType) {
    struct Case {
        uint32_t high, low;
        bool depth_test, depth_write;
        double depth_far;
        int cycle_type;
    } cases[] = {
        {0x000000, 0x000000, false, false, 1.0, 0},
        {0x100000, 0x000010, true, false, 1.0, 1},
        {0x200000, 0x000020, false, true, 1.0, 2},
        {0x300000, 0x000030, true, true, 1.0, 3},
        {0x000000, 0x000C30, true, true, 0.9995, 0}, // decal depth: both bits 10 and 11
        {0x000000, 0x000830, true, true, 1.0, 0},    // bit 11 alone is not decal
        {0x000000, 0x000430, true, true, 1.0, 0},
        {0xCF0000, 0xFF000000, false, false, 1.0, 0}, // the blender's selectors: no depth state
    };
    for (const Case& k : cases) {
        run({cmd::word(0xEF, k.high, k.low)});
        EXPECT_EQ(rdp_reg.othermode_h, k.high & 0xFFFFFF);
        EXPECT_EQ(rdp_reg.othermode_l, k.low) << std::hex << k.low;
        EXPECT_EQ(rdp_reg.cycle_type, k.cycle_type) << std::hex << k.high;
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), k.depth_test) << std::hex << k.low;
        EXPECT_EQ(get_int(GL_DEPTH_WRITEMASK), k.depth_write ? GL_TRUE : GL_FALSE);
        GLdouble range[2];
        glGetDoublev(GL_DEPTH_RANGE, range);
        EXPECT_EQ(range[0], 0.0);
        EXPECT_NEAR(range[1], k.depth_far, 1e-7) << std::hex << k.low;
    }
    // A full other-mode word as a game sends it: the opcode byte stays out of othermode_h.
    run({{0xEF382C10, 0x00504240}});
    EXPECT_EQ(rdp_reg.othermode_h, 0x382C10u);
    EXPECT_EQ(rdp_reg.cycle_type, 3);
    glDepthRange(0, 1);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}

TEST_F(RdpState, ColoursKeepTheWordAndDecodeChannels) {
    const float k = 1.0f / 255.0f; // the float nearest 1/255
    struct Case {
        uint32_t word;
        float r, g, b, a;
    } cases[] = {
        {0xFF000000, 1.0f, 0.0f, 0.0f, 0.0f},         {0x00FF0000, 0.0f, 1.0f, 0.0f, 0.0f},
        {0x0000FF00, 0.0f, 0.0f, 1.0f, 0.0f},         {0x000000FF, 0.0f, 0.0f, 0.0f, 1.0f},
        {0x80402001, 128 * k, 64 * k, 32 * k, 1 * k},
    };
    for (const Case& e : cases) {
        run({cmd::set_prim_color(e.word), cmd::set_env_color(~e.word)});
        EXPECT_EQ(rdp_reg.prim_color, e.word);
        EXPECT_EQ(rdp_reg.env_color, ~e.word);
        const float expected[4] = {e.r, e.g, e.b, e.a};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(rdp_reg.prim_rgba[i], expected[i]) << std::hex << e.word << " channel " << i;
            EXPECT_FLOAT_EQ(rdp_reg.env_rgba[i], 1.0f - expected[i]) << "channel " << i;
        }
    }
    run({cmd::set_fill_color(0x12345678), cmd::set_blend_color(0x9ABCDEF0)});
    EXPECT_EQ(rdp_reg.fill_color, 0x12345678u);
    EXPECT_EQ(rdp_reg.blend_color, 0x9ABCDEF0u);
    EXPECT_EQ(rdp_reg.prim_color, 0x80402001u) << "other colours keep their values";
}

TEST_F(RdpState, ImagesAndReservedWordsTranslateSegmentedAddresses) {
    rdp_reg.segments[1] = 0x00200000;
    run({cmd::word(0xFF, 319, 0x01000100), cmd::word(0xFE, 0, 0x01000800),
         cmd::word(0x07, 0, 0x01001000)});
    EXPECT_EQ(rdp_reg.color_image_width, 320);
    EXPECT_EQ(rdp_reg.color_image_address, 0x200100u);
    EXPECT_EQ(rdp_reg.depth_image_address, 0x200800u);
    EXPECT_EQ(rdp_reg.reserved2_address, 0x201000u);

    struct Case {
        uint32_t low24;
        uint16_t width;
    } widths[] = {{0, 1}, {639, 640}, {0xFFF, 4096}, {0x68013F, 320}}; // format bits ignored
    for (const Case& k : widths) {
        run({cmd::word(0xFF, k.low24, 0x80000000)});
        EXPECT_EQ(rdp_reg.color_image_width, k.width) << std::hex << k.low24;
        EXPECT_EQ(rdp_reg.color_image_address, 0u) << "KSEG0 bit masked away";
    }
}

TEST_F(RdpState, FullSyncOverwritesTheInterruptRegister) {
    DisplayList dl(c, 0x1000);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    run_display_list(dl.start()); // skipped task
    c.mi_interrupt = 0xFFFFFFFF;
    run_display_list(dl.start());
    EXPECT_EQ(c.mi_interrupt, 0x20u);
}

// The RDP triangle commands take eight bytes: the words after them run as commands.
TEST_F(RdpState, NoOpCommandsChangeNothingAndTakeEightBytes) {
    run({cmd::set_fill_color(1), cmd::word(0xC8, 0, 0), cmd::set_fill_color(2),
         cmd::word(0xCF, 0, 0), cmd::set_blend_color(3), cmd::word(0xC0, 0, 0),
         cmd::word(0xE6, 0, 0), cmd::word(0xE7, 0, 0), cmd::word(0xE8, 0, 0), cmd::word(0xEA, 0, 0),
         cmd::word(0xEB, 0, 0), cmd::word(0xEC, 0, 0), cmd::word(0xEE, 0, 0),
         cmd::word(0xF8, 0, 0xFFFFFFFF), cmd::word(0x02, 0, 0), cmd::word(0x05, 0, 0),
         cmd::word(0x08, 0, 0), cmd::tex_rect_flip(), cmd::set_env_color(4)});
    EXPECT_EQ(rdp_reg.fill_color, 2u);
    EXPECT_EQ(rdp_reg.blend_color, 3u);
    EXPECT_EQ(rdp_reg.env_color, 4u) << "every no-op took eight bytes";
    EXPECT_EQ(c.mi_interrupt, 0u);
}

TEST_F(RdpState, EveryFamilyRowServesTheRdpCommands) {
    struct Entry {
        uint8_t op;
        CommandHandler handler;
    } shared[] = {
        {0xC0, rdp_noop},
        {0xC8, rdp_tri_fill},
        {0xCF, rdp_tri_shade_txtr_z},
        {0xE4, rdp_tex_rect},
        {0xE5, rdp_tex_rect_flip},
        {0xE9, rdp_full_sync},
        {0xED, rdp_set_scissor},
        {0xEF, rdp_set_other_mode},
        {0xF6, rdp_fill_rect},
        {0xF7, rdp_set_fill_color},
        {0xF9, rdp_set_blend_color},
        {0xFA, rdp_set_prim_color},
        {0xFB, rdp_set_env_color},
        {0xFC, rdp_set_combine},
        {0xFE, rdp_set_depth_image},
        {0xFF, rdp_set_color_image},
    };
    // The 2-D rows make 0xE4 their G_RDPHALF_0 when a G_SELECT_DL follows.
    for (int family = 0; family < kUcodeFamilies; ++family)
        for (const Entry& e : shared)
            if (family < 7 || e.op != 0xE4) {
                EXPECT_EQ(CommandTable[family][e.op], e.handler)
                    << "family " << family << " byte " << std::hex << int(e.op);
            }
    for (int family : {0, 1, 2, 3, 5})
        EXPECT_EQ(CommandTable[family][0x07], rsp_reserved2);
}

} // namespace
