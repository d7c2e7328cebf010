// Family 6: matrix slots, 10-byte vertices, triangle lists and runs of commands in place
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dl_rdp.h"
#include "dl_ucode6.h"
#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Ucode6 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        UcodeType = 6;
        std::memcpy(saved_row, CommandTable[6], sizeof saved_row);
    }
    void TearDown() override {
        std::memcpy(CommandTable[6], saved_row, sizeof saved_row);
        command_budget = kCommandBudget;
    }
    void run(Command k) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[6][k.w0 >> 24]();
    }
    static GLfloat projection(int i) {
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        return p[i];
    }
    CommandHandler saved_row[256];
    Console& c = test_console();
};

TEST_F(Ucode6, MatrixSlotsBecomeTheProjectionOfTheVertices) {
    for (uint32_t slot = 0; slot < 3; ++slot)
        uc0::write_matrix(c, kMatrixAddress + 64 * slot, uc0::scaling(float(slot + 2)));
    uc0::write_matrix(c, kMatrixAddress + 192, uc0::scaling(9));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    run({0x01400000, kMatrixAddress + 64}); // slot 1
    run(uc6::load_matrix(0, kMatrixAddress));
    run(uc6::load_matrix(2, kMatrixAddress + 128));
    run(uc6::load_matrix(3, kMatrixAddress + 192)); // no slot
    EXPECT_EQ(projection(0), 1.0f) << "storing a matrix makes no OpenGL call";
    for (uint32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(rdp_reg.uc6_matrix_slots[slot].m[0], float(slot + 2)) << "slot " << slot;

    for (uint32_t i = 0; i < 32; ++i)
        uc6::write_vertex(c, kVertexAddress + 10 * i, int16_t(i + 1), -3, 4, 0x7F, 0x81, 2, 200);
    struct Case {
        uint32_t cmd0, count;
        float projection; // element 0 of the projection afterwards
    } cases[] = {
        {0x04F80000, 32, 3}, // selector 0: slot 1
        {0x04008000, 1, 2},  // selector 1: slot 0
        {0x04010000, 1, 4},  // selector 2: slot 2
        {0x04098000, 2, 5},  // selector 3: the projection stays
    };
    for (const Case& k : cases) {
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(uc0::scaling(5).m);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(uc0::scaling(5).m);
        glMatrixMode(GL_MODELVIEW);
        for (TransformedVertex& v : rdp_reg.vtx)
            v = TransformedVertex{-1, -1, -1, 9, -1, -1, {}, 0, 0, 0};
        run({k.cmd0, kVertexAddress});
        EXPECT_EQ(projection(0), k.projection) << std::hex << k.cmd0;
        if (k.projection != 5) {
            EXPECT_EQ(gl_int(GL_MATRIX_MODE), GL_PROJECTION) << std::hex << k.cmd0;
        }
        for (uint32_t e = 0; e < 33; ++e) {
            const TransformedVertex& v = rdp_reg.vtx[e];
            EXPECT_EQ(v.x, e < k.count ? float(e + 1) : -1.0f) << std::hex << k.cmd0 << " " << e;
            if (e >= k.count) continue;
            EXPECT_EQ(v.y, -3.0f);
            EXPECT_EQ(v.z, 4.0f);
            EXPECT_EQ(v.s + v.t, 2.0f);
            EXPECT_EQ(v.flags, 9) << "flags kept";
            EXPECT_EQ(v.rgba[3], 200);
            EXPECT_EQ(v.nx, 127.0f) << "raw normal";
            EXPECT_EQ(v.ny, -127.0f);
            EXPECT_EQ(v.nz, 2.0f);
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
}

TEST_F(Ucode6, TriangleListsReadBytesOneToThreeOfEachRecord) {
    const uint32_t list = 0x205000;
    uc6::write_triangle(c, list, 1, 2, 3);
    uc6::write_triangle(c, list + 16, 255, 17, 0);
    c.write_u8(list, 0xEE);
    c.write_u8(list + 4, 0xEE);
    for (uint8_t op : {0x05, 0xB1}) {
        struct Case {
            uint32_t count;
            std::vector<uint32_t> indices;
        } cases[] = {{2, {1, 2, 3, 255, 17, 0}}, {1, {1, 2, 3}}, {0, {}}};
        for (const Case& k : cases) {
            rdp_reg.batch.count = 0;
            run(cmd::word(op, k.count << 4, list));
            EXPECT_EQ(std::vector<uint32_t>(rdp_reg.batch.indices,
                                            rdp_reg.batch.indices + rdp_reg.batch.count),
                      k.indices)
                << std::hex << int(op) << " count " << k.count;
        }
    }
    rdp_reg.modelview.modelview_top = 2;
    run({0xBD000000, 0});
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 1) << "POPMATRIX pops whatever cmd1 holds";
}

// Counts the commands that reach it; at a byte that is free in family 6.
constexpr uint8_t kProbe = 0x0A;
int probes;
uint32_t probe_batch;
void probe() {
    probes += 1;
    probe_batch = static_cast<uint32_t>(rdp_reg.batch.count);
}

TEST_F(Ucode6, RunsInPlaceCountTheirCommandsAndReturn) {
    CommandTable[6][kProbe] = probe;
    const uint32_t run_at   = 0x206000;
    for (uint32_t i = 0; i < 256; ++i)
        c.write_u32(run_at + 8 * i, uint32_t(kProbe) << 24);
    struct Case {
        uint32_t count_byte;
        int commands;
    } cases[] = {{3, 3}, {0, 1}, {1, 1}, {127, 127}, {128, 128}, {129, 1}, {200, 1}, {255, 1}};
    for (const Case& k : cases) {
        DisplayList dl(c, kListAddress);
        dl.add(
            {uc6::run_in_place(k.count_byte, run_at), {uint32_t(kProbe) << 24, 0}, cmd::end_dl()});
        probes = 0;
        run_interpreted_task(kListAddress);
        EXPECT_EQ(probes, k.commands + 1) << "count byte " << k.count_byte;
        EXPECT_EQ(rdp_reg.stack.depth, -1) << "count byte " << k.count_byte;
    }

    // The triangle lists of a run collect in one batch: nothing is flushed between them.
    uc6::write_triangle(c, 0x207000, 0, 1, 2);
    DisplayList in_place(c, 0x208000);
    in_place.add(
        {uc6::triangles(1, 0x207000), uc6::triangles(1, 0x207000), {uint32_t(kProbe) << 24, 0}});
    DisplayList dl(c, kListAddress);
    dl.add({uc6::run_in_place(3, 0x208000), cmd::end_dl()});
    run_interpreted_task(kListAddress);
    EXPECT_EQ(probe_batch, 6u);

    // A run that ends the list after its triangles: they are drawn in this task, not left
    // waiting for the next one (a fuzz finding).
    DisplayList ending(c, 0x209000);
    ending.add({uc6::triangles(1, 0x207000), cmd::end_dl()});
    DisplayList ended(c, kListAddress);
    ended.add({uc6::run_in_place(2, 0x209000), cmd::end_dl()});
    run_interpreted_task(kListAddress);
    EXPECT_EQ(rdp_reg.batch.count, 0);
    EXPECT_EQ(rdp_reg.stack.depth, -1);
}

TEST_F(Ucode6, ATextureRectangleInARunTakesItsTwentyFourBytesFromTheRun) {
    CommandTable[6][kProbe] = probe;
    command_budget          = 1000; // a wrong step would run on through empty RDRAM
    DisplayList in_place(c, 0x206000);
    in_place.add(
        {cmd::word(0xE4, 0, 0), {0xB8000000, 0}, {0xB8000000, 0}, {uint32_t(kProbe) << 24, 0}});
    DisplayList dl(c, kListAddress);
    dl.add({uc6::run_in_place(2, 0x206000), {uint32_t(kProbe) << 24, 0}, cmd::end_dl()});
    probes = 0;
    run_interpreted_task(kListAddress);
    EXPECT_EQ(probes, 2) << "the run's probe after the rectangle's units, and the list's";
    EXPECT_EQ(rdp_reg.stack.depth, -1);
}

TEST_F(Ucode6, RunsThatRunThemselvesStopAtTheNestingLimitAndTheBudget) {
    CommandTable[6][kProbe] = probe;
    const uint32_t run_at   = 0x206000;
    // A run whose first command runs the same run again.
    DisplayList in_place(c, run_at);
    in_place.add({uc6::run_in_place(2, run_at), {uint32_t(kProbe) << 24, 0}});
    DisplayList dl(c, kListAddress);
    dl.add({uc6::run_in_place(2, run_at), cmd::end_dl()});
    probes = 0;
    run_interpreted_task(kListAddress);
    EXPECT_EQ(probes, kRunNesting) << "one probe per level; the deepest run starts no other";
    EXPECT_EQ(rdp_reg.stack.depth, -1);

    // 128 commands that each run all 128 again: the task's budget ends it.
    for (uint32_t i = 0; i < 128; ++i)
        c.write_u32(run_at + 8 * i, 0x07800000), c.write_u32(run_at + 8 * i + 4, run_at);
    command_budget = 5000;
    run_interpreted_task(kListAddress);
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
}

} // namespace
