// Seeded random display lists in every family row (and in no family at all): whatever the
// words say, each task ends with sound state; the sanitizer build checks every access
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "dl_ucode1_3.h"
#include "dl_ucode4.h"
#include "dl_ucode5.h"
#include "dl_ucode6.h"
#include "dlist/command_table.h"
#include "interpreter_run.h"
#include "support/test_host.h"

namespace {

// A fuzz input of one RDRAM chunk holding `commands` command pairs. Opcodes are drawn from
// the family's own commands, operands are noise, and half of the second words point back
// into the chunk, so that calls, branches, vertices and textures find more commands.
std::vector<uint8_t> hostile_list(std::mt19937& random, uint32_t family, uint32_t commands) {
    std::vector<uint8_t> opcodes;
    for (uint32_t op = 0; op < 256; ++op)
        if (family >= kUcodeFamilies || CommandTable[family][op] != do_nothing)
            opcodes.push_back(static_cast<uint8_t>(op));

    const uint32_t base   = random() & 0x7FFFF8;
    const uint32_t length = commands * 8;
    std::vector<uint8_t> input;
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            input.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    input.push_back(static_cast<uint8_t>(family | 8)); // and the next family after it
    le32(base);
    le32(base);
    input.push_back(static_cast<uint8_t>(length));
    input.push_back(static_cast<uint8_t>(length >> 8));
    for (uint32_t i = 0; i < commands; ++i) {
        const uint32_t w0 =
            (uint32_t(opcodes[random() % opcodes.size()]) << 24) | (random() & 0xFFFFFF);
        const uint32_t w1 = (random() & 1) ? base + (random() % length) : random();
        le32(w0); // host-order words, as the host keeps RDRAM
        le32(w1);
    }
    return input;
}

constexpr uint32_t kTop = 0x7FFFF8, kList = 0x100000;

struct LimitList {
    const char* what;
    void (*build)(DisplayList&);
};

// Runs each list, closed by the family's end of list, as two tasks of the family over noise
// records at 0x200000; every task must end with sound state.
template <int N>
void expect_sound_tasks(uint32_t family, Command end_dl, const LimitList (&lists)[N]) {
    attach_test_host();
    for (const LimitList& list : lists) {
        reset_core_state();
        reset_fuzz_state();
        UcodeType = family;
        for (uint32_t a = 0x200000; a < 0x200800; a += 4)
            test_console().write_u32(a, a * 2654435761u); // noise for vertices and lights
        DisplayList dl(test_console(), kList);
        list.build(dl);
        dl.add({cmd::full_sync(), end_dl});
        run_display_list(kList);
        run_display_list(kList);
        EXPECT_TRUE(task_left_sound_state())
            << "family " << family << ", " << list.what << ": stack depth " << rdp_reg.stack.depth
            << ", batch " << rdp_reg.batch.count << ", model-view top "
            << rdp_reg.modelview.modelview_top << ", lights " << rdp_reg.num_lights;
    }
    command_budget = kCommandBudget;
}

} // namespace

TEST(RobustnessHostileLists, EveryFamilyEndsEveryTaskWithSoundState) {
    attach_test_host();
    RdramChunks chunks;
    std::mt19937 random(20261207);
    for (uint32_t family = 0; family < 8; ++family) {
        for (int list = 0; list < 40; ++list) {
            const std::vector<uint8_t> input = hostile_list(random, family, 256);
            ASSERT_TRUE(run_interpreter_input(test_console(), chunks, input.data(), input.size()))
                << "family " << family << " list " << list << ": stack depth "
                << rdp_reg.stack.depth << ", batch " << rdp_reg.batch.count << ", model-view top "
                << rdp_reg.modelview.modelview_top << ", lights " << rdp_reg.num_lights
                << ", next name " << next_name;
        }
    }
}

// Family 4 lists aimed at its limits: calls that never return, records at the top of RDRAM,
// stacks pushed and popped past their ends, runs of TRI2 and QUAD beyond the batch.
TEST(RobustnessHostileLists, FamilyFourListsAtTheirLimits) {
    static const LimitList lists[] = {
        {"BRANCHZ calling its own list",
         [](DisplayList& dl) {
             dl.add({uc4::rdphalf_1(kList), uc4::branchz(0, 0)});
         }},
        {"DISPLAYLIST calling its own list", [](DisplayList& dl) { dl.add(uc4::call_dl(kList)); }},
        {"BRANCHZ before any RDPHALF_1, then to the top of RDRAM",
         [](DisplayList& dl) {
             dl.add({uc4::branchz(0, 0), uc4::rdphalf_1(0xFFFFFFFF), uc4::branchz(0, 0)});
         }},
        {"records at the top of RDRAM",
         [](DisplayList& dl) {
             dl.add({uc4::loadvtx_end(127, 127, kTop), uc4::matrix(0, kTop),
                     uc4::matrix(uc4::kProjection, kTop), uc4::viewport(kTop), uc4::light(7, kTop),
                     uc4::texture(7, 0xFF, 0xFFFF, 0xFFFF), uc4::tri2(126, 127, 0, 127, 126, 1)});
         }},
        {"segments past the table and at the top",
         [](DisplayList& dl) {
             dl.add({uc4::moveword(6, 0xFFFC, kTop), uc4::segment(15, 0xFFFFFF),
                     uc4::loadvtx(0, 32, 0x0F000000), uc4::call_dl(0x0FFFFFF8)});
         }},
        {"600 pushes, then 600 pops",
         [](DisplayList& dl) {
             for (int i = 0; i < 600; ++i)
                 dl.add(uc4::matrix(i & 2, kTop));
             for (int i = 0; i < 600; ++i)
                 dl.add(uc4::pop_matrix());
         }},
        {"300 TRI2 and QUAD in a row",
         [](DisplayList& dl) {
             dl.add(uc4::loadvtx_end(127, 127, 0x200000));
             for (uint32_t i = 0; i < 150; ++i)
                 dl.add({uc4::tri2(i % 128, 127, 0, 1, 2, 3), uc4::quad(124, 125, 126, 127)});
         }},
        {"every light, too many lights",
         [](DisplayList& dl) {
             for (uint32_t o = 0; o < 256; o += 3)
                 dl.add({uc4::movemem(10, o, 0x200000), uc4::moveword(10, o << 8, 0xFFFFFFFF)});
             dl.add({uc4::moveword(2, 0, 0xFF), uc4::geometry_mode(0, 0xFFFFFFFF),
                     uc4::loadvtx(0, 3, 0x200000), uc4::tri1(0, 1, 2)});
         }},
    };
    expect_sound_tasks(4, uc4::end_dl(), lists);
}

// Families 1 to 3 at their limits: the highest vertex entries, QUAD indices up to 255, records
// at the top of RDRAM (family 2 wraps them to 4 MB), runs of triangles beyond the batch.
TEST(RobustnessHostileLists, FamiliesOneToThreeListsAtTheirLimits) {
    static const LimitList family1[] = {
        {"64 vertices into entries 127..190 from the top of RDRAM",
         [](DisplayList& dl) {
             dl.add({uc1::vertex(127, 64, kTop), uc1::tri1(190, 127, 160),
                     uc1::quad(127, 255, 255, 255), uc1::tri2(127, 127, 127, 0, 1, 2)});
         }},
        {"300 TRI2 and QUAD in a row",
         [](DisplayList& dl) {
             dl.add(uc1::vertex(0, 64, 0x200000));
             for (uint32_t i = 0; i < 150; ++i)
                 dl.add({uc1::tri2(i % 128, 127, 0, 1, 2, 3), uc1::quad(127, 200, 255, i)});
         }},
        {"every light count",
         [](DisplayList& dl) {
             for (uint32_t n = 0; n < 4096; n += 31)
                 dl.add(uc0::moveword(0x02, 0, n << 5));
             dl.add({uc1::vertex(0, 3, 0x200000), uc0::set_geometry_mode(uc0::kLighting),
                     uc1::tri1(0, 1, 2)});
         }},
        {"DISPLAYLIST calling its own list", [](DisplayList& dl) { dl.add(cmd::call_dl(kList)); }},
    };
    static const LimitList family2[] = {
        {"records at the top of RDRAM, wrapped to 4 MB",
         [](DisplayList& dl) {
             dl.add({uc2::vertex(63, 127, kTop), uc0::matrix(uc0::kLoad | uc0::kPush, kTop),
                     uc0::matrix(uc0::kProjection | uc0::kLoad, kTop), uc0::viewport(kTop),
                     uc0::light(7, kTop), uc0::sprite2d(kTop), uc2::tri1(51, 51, 51),
                     uc2::quad(51, 50, 49, 48), uc0::pop_matrix()});
         }},
        {"a call 4 MB above its own list",
         [](DisplayList& dl) {
             dl.add({uc2::vertex(0, 127, 0x200000), uc2::tri2(0, 1, 2, 51, 50, 49),
                     cmd::call_dl(kList | 0x400000)});
         }},
    };
    static const LimitList family3[] = {
        {"126 vertices into entries 63..188, lines between them",
         [](DisplayList& dl) {
             dl.add({uc3::vertex(63, 126, kTop), uc3::tri1(127, 127, 63),
                     uc3::tri2(63, 64, 65, 127, 126, 125), uc0::line3d(25, 0),
                     uc0::sprite2d(kTop)});
         }},
    };
    expect_sound_tasks(1, cmd::end_dl(), family1);
    expect_sound_tasks(2, cmd::end_dl(), family2);
    expect_sound_tasks(3, cmd::end_dl(), family3);
}

// Families 5 and 6 aimed at their limits: runs in place that run themselves or each other,
// texture rectangles at the end of a run, records and tables at the top of RDRAM.
TEST(RobustnessHostileLists, FamiliesFiveAndSixListsAtTheirLimits) {
    constexpr uint32_t kRun          = 0x180000;
    static const LimitList family6[] = {
        {"a run of 128 that runs itself",
         [](DisplayList& dl) {
             DisplayList run(test_console(), kRun);
             for (int i = 0; i < 128; ++i)
                 run.add(uc6::run_in_place(128, kRun + 8 * (i % 3)));
             dl.add(uc6::run_in_place(128, kRun));
         }},
        {"runs that call, branch and end the list",
         [](DisplayList& dl) {
             DisplayList run(test_console(), kRun);
             run.add({cmd::call_dl(kRun), cmd::branch_dl(kList), cmd::end_dl(), cmd::end_dl()});
             dl.add({uc6::run_in_place(4, kRun), uc6::run_in_place(0, kRun)});
         }},
        {"a texture rectangle at the end of a run at the top of RDRAM",
         [](DisplayList& dl) {
             DisplayList run(test_console(), kTop);
             run.add(cmd::word(0xE4, 0xFFFFFF, 0xFFFFFF));
             dl.add({uc6::run_in_place(3, kTop), uc6::run_in_place(0xFF, 0xFFFFFFF8)});
         }},
        {"records at the top of RDRAM",
         [](DisplayList& dl) {
             dl.add({uc6::load_matrix(2, kTop), uc6::load_vertices(32, 2, kTop),
                     uc6::triangles(0xFFF, kTop), cmd::word(0xB1, 0xFFFFFF, kTop),
                     uc6::load_vertices(32, 3, kTop), uc6::moveword(2, 0, 0x7FFFFFFF)});
         }},
    };
    static const LimitList family5[] = {
        {"records and the coordinate table at the top of RDRAM",
         [](DisplayList& dl) {
             dl.add({uc5::texcoord_table(0xFFFFFFFF), uc5::load_vertices(15, 16, kTop),
                     uc5::load_matrix(uc5::kProjection, kTop), uc5::load_matrix(7, kTop),
                     uc5::tri2({{15, 14, 13}, {0, 0, 1}, {1, 0, 0}, {15, 15, 15}}),
                     uc5::moveword(2, 0, 0x7FFFFFFF)});
         }},
        {"600 pushes, then 600 pops",
         [](DisplayList& dl) {
             for (int i = 0; i < 600; ++i)
                 dl.add(uc5::load_matrix(uc5::kPush | (i & 2), kTop));
             for (int i = 0; i < 600; ++i)
                 dl.add(uc5::pop_matrix());
         }},
    };
    expect_sound_tasks(5, cmd::end_dl(), family5);
    expect_sound_tasks(6, cmd::end_dl(), family6);
}
