// Interpreter core: segments, the display-list stack, frame skip, fetch and guards
#include <gtest/gtest.h>

#include <cstring>

#include "dl_builder.h"
#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "support/test_host.h"

namespace {

class Interpreter : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        std::memcpy(saved_table, CommandTable, sizeof saved_table);
    }
    // Tests install probes into the table; every row is put back as it was.
    void TearDown() override { std::memcpy(CommandTable, saved_table, sizeof saved_table); }

    CommandHandler saved_table[kUcodeFamilies][256];
    Console& c = test_console();
};

// Display-list commands for rows whose family has no command set of its own yet.
void probe_displaylist() {
    const uint32_t param = (rdp_reg.cmd0 >> 16) & 0xFF;
    if (param == 0) dlist_call(translate_address(rdp_reg.cmd1));
    if (param == 1) dlist_branch(translate_address(rdp_reg.cmd1));
}
void probe_enddl() { dlist_return(); }

void install_stack_probes(int family) {
    CommandTable[family][0x06] = probe_displaylist;
    CommandTable[family][0xB8] = probe_enddl;
}

TEST_F(Interpreter, TranslatesSegmentedAddresses) {
    struct Case {
        uint32_t seg6, seg0, address, expected;
    } cases[] = {
        {0x00100000, 0, 0x06000010, 0x100010},
        {0xFFFFFFFF, 0, 0x06000010, 0x000010}, // unset: entry 0 instead
        {0xFFFFFFFF, 0x200000, 0x06000010, 0x200010},
        {0x00000000, 0, 0x80123456, 0x123456}, // segment 0, the KSEG0 bit masked away
        {0x007FFFF0, 0, 0x06000020, 0x000010}, // sum wraps past 8 MB
        {0x00000000, 0, 0x00FFFFFF, 0x7FFFFF}, // bit 23 falls away
    };
    for (const Case& k : cases) {
        rdp_reg.segments[6] = k.seg6;
        rdp_reg.segments[0] = k.seg0;
        EXPECT_EQ(translate_address(k.address), k.expected)
            << std::hex << "address " << k.address << " segment 6 = " << k.seg6;
    }
}

TEST_F(Interpreter, ReadsBytesAndHalfWordsThroughTheSwizzle) {
    c.write_u32(0x1000, 0x11223344);
    EXPECT_EQ(read_rdram_u8(0x1000), 0x11);
    EXPECT_EQ(read_rdram_u8(0x1003), 0x44);
    EXPECT_EQ(read_rdram_u16(0x1000), 0x1122);
    EXPECT_EQ(read_rdram_u16(0x1002), 0x3344);
    EXPECT_EQ(read_rdram_u32(0x1000), 0x11223344u);
    EXPECT_EQ(read_rdram_u8(0x801000), 0x11) << "offsets are masked to 23 bits";
}

TEST_F(Interpreter, SkipsOddTasksAndSignalsTheHost) {
    DisplayList dl(c, 0x1000);
    dl.add({cmd::set_fill_color(0x12345678), cmd::end_dl()});
    c.mi_interrupt = 0xFFFF;
    run_display_list(dl.start());
    EXPECT_EQ(c.mi_interrupt, 0x20u) << "a skipped task still writes the DP interrupt";
    EXPECT_EQ(rdp_reg.fill_color, 0u) << "the first task is not interpreted";

    c.mi_interrupt = 0;
    run_display_list(dl.start());
    EXPECT_EQ(rdp_reg.fill_color, 0x12345678u) << "the second task is interpreted";
    EXPECT_EQ(c.mi_interrupt, 0u);
    EXPECT_EQ(rdp_reg.stack.depth, -1);
    EXPECT_EQ(dlist_counter, 2u);
}

TEST_F(Interpreter, FetchesLookAheadWords) {
    DisplayList dl(c, 0x2000);
    dl.add({{0xC0000000, 1}, {2, 3}, {4, 5}, cmd::end_dl()});
    uint32_t seen[4] = {};
    static uint32_t* out;
    out                   = seen;
    CommandTable[0][0xC0] = [] {
        out[0] = rdp_reg.cmd0;
        out[1] = rdp_reg.cmd1;
        out[2] = rdp_reg.lookahead1;
        out[3] = rdp_reg.lookahead2;
    };
    run_interpreted_task(dl.start());
    EXPECT_EQ(seen[0], 0xC0000000u);
    EXPECT_EQ(seen[1], 1u);
    EXPECT_EQ(seen[2], 3u) << "word 12 bytes after the command";
    EXPECT_EQ(seen[3], 5u) << "word 20 bytes after the command";
}

// List i calls list i + 1; the deepest list signals the host. The signal shows whether the
// deepest call was made.
static void build_call_chain(Console& c, int levels) {
    for (int i = 0; i < levels; ++i) {
        DisplayList dl(c, 0x10000 + 0x100 * i);
        dl.add({cmd::call_dl(0x10000 + 0x100 * (i + 1)), cmd::end_dl()});
    }
    DisplayList deepest(c, 0x10000 + 0x100 * levels);
    deepest.add({cmd::full_sync(), cmd::end_dl()});
}

TEST_F(Interpreter, NestsTenLevelsInFamilyZero) {
    for (int levels : {9, 10}) {
        reset_core_state();
        build_call_chain(c, levels);
        run_interpreted_task(0x10000);
        EXPECT_EQ(c.mi_interrupt, levels == 9 ? 0x20u : 0u)
            << "a list at depth " << levels << (levels == 9 ? " runs" : " is never called");
        EXPECT_EQ(rdp_reg.stack.depth, -1) << "the task's list ended at depth 0";
    }
}

TEST_F(Interpreter, NestsSixteenLevelsInFamilyFour) {
    install_stack_probes(4);
    for (int levels : {15, 16}) {
        reset_core_state();
        UcodeType = 4;
        build_call_chain(c, levels);
        run_interpreted_task(0x10000);
        EXPECT_EQ(c.mi_interrupt, levels == 15 ? 0x20u : 0u) << levels << " levels";
    }
}

TEST_F(Interpreter, IgnoredCallContinuesWithTheNextCommand) {
    build_call_chain(c, 9);
    // Depth 9 calls once more (ignored), then sets a fill colour before returning.
    DisplayList deepest(c, 0x10000 + 0x100 * 9);
    deepest.add({cmd::call_dl(0x30000), cmd::set_fill_color(0xABCD), cmd::end_dl()});
    DisplayList never(c, 0x30000);
    never.add({cmd::set_fill_color(0xDEAD), cmd::end_dl()});
    run_interpreted_task(0x10000);
    EXPECT_EQ(rdp_reg.fill_color, 0xABCDu);
}

// Pushes left without pops by one task do not reach the next: it starts with an empty
// stack whose matrix is the one last loaded. A skipped task changes nothing.
TEST_F(Interpreter, EachInterpretedTaskStartsWithAnEmptyModelViewStack) {
    ModelViewStack& mv = rdp_reg.modelview;
    mv.modelview_top   = 300;
    mv.entry[300].m[0] = 7.0f;
    DisplayList dl(c, 0x1000);
    dl.add(cmd::end_dl());
    run_display_list(dl.start()); // the first task of a pair is skipped
    EXPECT_EQ(mv.modelview_top, 300);
    run_display_list(dl.start());
    EXPECT_EQ(mv.modelview_top, 0);
    EXPECT_EQ(mv.entry[0].m[0], 7.0f) << "the loaded matrix stays";
}

TEST_F(Interpreter, BranchReplacesTheActiveList) {
    DisplayList target(c, 0x4000);
    target.add({cmd::set_fill_color(1), cmd::end_dl()});
    DisplayList main(c, 0x3000);
    main.add({cmd::branch_dl(0x4000), cmd::set_fill_color(2), cmd::end_dl()});
    run_interpreted_task(main.start());
    EXPECT_EQ(rdp_reg.fill_color, 1u) << "nothing after the branch runs";
    EXPECT_EQ(rdp_reg.stack.depth, -1);

    // A called list that branches returns to its caller when the branched-to list ends.
    reset_core_state();
    DisplayList t2(c, 0x4000);
    t2.add({cmd::set_blend_color(7), cmd::end_dl()});
    DisplayList callee(c, 0x5000);
    callee.add({cmd::branch_dl(0x4000)});
    DisplayList caller(c, 0x6000);
    caller.add({cmd::call_dl(0x5000), cmd::set_fill_color(3), cmd::end_dl()});
    run_interpreted_task(caller.start());
    EXPECT_EQ(rdp_reg.blend_color, 7u);
    EXPECT_EQ(rdp_reg.fill_color, 3u);
}

TEST_F(Interpreter, FetchWrapsAtTheTopOfRdram) {
    // The command at the last 8 bytes; its look-ahead words and the next command wrap to 0.
    c.write_u32(0x7FFFF8, cmd::set_fill_color(0).w0);
    c.write_u32(0x7FFFFC, 0x55);
    DisplayList at_zero(c, 0);
    at_zero.add({cmd::full_sync(), cmd::end_dl()});
    run_interpreted_task(0x7FFFF8);
    EXPECT_EQ(rdp_reg.fill_color, 0x55u);
    EXPECT_EQ(c.mi_interrupt, 0x20u) << "the list went on at offset 0";
    EXPECT_EQ(rdp_reg.stack.depth, -1);

    // Addresses above 8 MB are masked on entry.
    reset_core_state();
    DisplayList dl(c, 0x100);
    dl.add({cmd::set_fill_color(9), cmd::end_dl()});
    run_interpreted_task(0xFF800100);
    EXPECT_EQ(rdp_reg.fill_color, 9u);
}

TEST_F(Interpreter, CommandBudgetEndsAListThatNeverEnds) {
    // A list that jumps to itself forever.
    DisplayList loop(c, 0x8000);
    loop.add({cmd::set_fill_color(4), cmd::branch_dl(0x8000)});
    run_interpreted_task(loop.start());
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
    EXPECT_EQ(rdp_reg.fill_color, 4u);

    // RDRAM full of zeros: the do-nothing command, never an end.
    reset_core_state();
    run_interpreted_task(0);
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
}

TEST_F(Interpreter, FlushesTheBatchBeforeCommandsThatDoNotAddToIt) {
    static int32_t count_seen = -1;
    CommandTable[0][0xBF]     = [] { count_seen = rdp_reg.batch.count; };
    DisplayList dl(c, 0x9000);
    dl.add({{0xBF000000, 0}, cmd::end_dl()});
    run_display_list(dl.start()); // skipped
    rdp_reg.batch.count = 3;
    run_display_list(dl.start());
    EXPECT_EQ(count_seen, 3) << "a triangle command keeps the batch";
    EXPECT_EQ(rdp_reg.batch.count, 0) << "the end of the list flushed it";

    // Family 5 keeps nothing: 0xBF flushes there.
    reset_core_state();
    DisplayList dl5(c, 0x9000);
    dl5.add({{0xBF000000, 0}, cmd::set_fill_color(1)});
    CommandTable[5][0xBF] = [] { count_seen = rdp_reg.batch.count; };
    UcodeType             = 5;
    CommandTable[5][0xB8] = probe_enddl;
    DisplayList end5(c, 0x9010);
    end5.add({cmd::end_dl()});
    run_display_list(0x9000);
    rdp_reg.batch.count = 3;
    run_display_list(0x9000);
    EXPECT_EQ(count_seen, 0);
}

TEST_F(Interpreter, UnknownFamilyDrawsNothingButSignalsTheHost) {
    DisplayList dl(c, 0xA000);
    dl.add({cmd::set_fill_color(5), cmd::end_dl()});
    UcodeType = kUcodeFamilies;
    run_display_list(dl.start());
    c.mi_interrupt = 0;
    run_display_list(dl.start());
    EXPECT_EQ(c.mi_interrupt, 0x20u);
    EXPECT_EQ(rdp_reg.fill_color, 0u);
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
}

TEST_F(Interpreter, EveryTableEntryIsAHandler) {
    for (int f = 0; f < kUcodeFamilies; ++f)
        for (int op = 0; op < 256; ++op)
            ASSERT_NE(CommandTable[f][op], nullptr) << "family " << f << " opcode " << op;
    EXPECT_EQ(CommandTable[3][0xF1], do_nothing);
    EXPECT_EQ(CommandTable[4][0x02], do_nothing) << "family 4 owns byte 0x02";
    EXPECT_NE(CommandTable[0][0x07], do_nothing) << "RSP_RESERVED2";
    EXPECT_TRUE(KeepsBatch[2][0xB1]);
    EXPECT_TRUE(KeepsBatch[4][0x06]);
    EXPECT_FALSE(KeepsBatch[5][0xBF]);
    EXPECT_FALSE(KeepsBatch[6][0xBF]);
}

} // namespace
