// The guards every subsystem keeps against hostile display lists and hosts: masked reads at
// the top of RDRAM, unknown families, missing host pointers
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "config/ucode_select.h"
#include "dl_builder.h"
#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "host/plugin.h"
#include "state/rdp_reg.h"
#include "support/test_host.h"
#include "support/texture_support.h"
#include "texture/texture_cache.h"

namespace {

class RobustnessGuards : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    Console& c = test_console();
};

// Bit patterns, so that two NaNs made of the same bytes compare equal.
void append_bits(std::vector<uint32_t>& out, const float* f, int n) {
    for (int i = 0; i < n; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &f[i], sizeof bits);
        out.push_back(bits);
    }
}

std::vector<uint32_t> vertex_zero() {
    const TransformedVertex& v = rdp_reg.vtx[0];
    std::vector<uint32_t> out;
    const float f[] = {v.x, v.y, v.z, v.s, v.t, v.nx, v.ny, v.nz};
    append_bits(out, f, 8);
    out.push_back(v.flags);
    for (uint8_t b : v.rgba)
        out.push_back(b);
    return out;
}

std::vector<uint32_t> light_zero() {
    const LightRecord& l = rdp_reg.lights[0];
    std::vector<uint32_t> out;
    append_bits(out, l.rgba, 4);
    append_bits(out, l.rgba_copy, 4);
    append_bits(out, l.xyzw, 4);
    return out;
}

std::vector<uint32_t> viewport() {
    std::vector<uint32_t> out;
    append_bits(out, rdp_reg.viewport_scale, 4);
    append_bits(out, rdp_reg.viewport_trans, 4);
    return out;
}

std::vector<uint32_t> modelview_top() {
    std::vector<uint32_t> out;
    append_bits(out, rdp_reg.modelview.entry[rdp_reg.modelview.modelview_top].m, 16);
    return out;
}

// Console bytes that make a record; the same seed gives the same record anywhere.
void write_record(Console& c, uint32_t address, uint32_t bytes) {
    uint32_t x = 12345;
    for (uint32_t i = 0; i < bytes; ++i) {
        x = x * 1103515245u + 12345u;
        c.write_u8((address + i) & 0x7FFFFF, static_cast<uint8_t>(x >> 16));
    }
}

} // namespace

TEST_F(RobustnessGuards, RecordsAcrossTheTopOfRdramReadAsIfRdramWrapped) {
    struct Case {
        const char* what;
        Command (*command)(uint32_t address);
        uint32_t bytes;
        std::vector<uint32_t> (*state)();
    } cases[] = {
        {"vertex", [](uint32_t a) { return uc0::vertex(0, 1, a); }, 16, vertex_zero},
        {"light", [](uint32_t a) { return uc0::movemem(0x86, a); }, 16, light_zero},
        {"viewport", [](uint32_t a) { return uc0::viewport(a); }, 16, viewport},
        {"matrix", [](uint32_t a) { return uc0::matrix(uc0::kLoad, a); }, 64, modelview_top},
    };
    const uint32_t in_one_piece = 0x100000;
    for (const Case& k : cases) {
        // Straddles at every 4-byte step, so each read meets the top of RDRAM once.
        for (uint32_t below_top = 4; below_top < k.bytes; below_top += 4) {
            reset_core_state();
            write_record(c, in_one_piece, k.bytes);
            const Command whole = k.command(in_one_piece);
            rdp_reg.cmd0        = whole.w0;
            rdp_reg.cmd1        = whole.w1;
            execute_command();
            const std::vector<uint32_t> expected = k.state();

            reset_core_state();
            const uint32_t split = 0x800000 - below_top;
            write_record(c, split, k.bytes);
            const Command wrapped = k.command(split);
            rdp_reg.cmd0          = wrapped.w0;
            rdp_reg.cmd1          = wrapped.w1;
            execute_command();
            EXPECT_EQ(k.state(), expected) << k.what << " " << below_top << " bytes below the top";
        }
    }
}

TEST_F(RobustnessGuards, LookAheadWordsWrapAtTheTopOfRdram) {
    c.write_u32(0x7FFFF0, 0xC0000000);
    c.write_u32(0x7FFFF4, 1);
    c.write_u32(0x000004, 0xBBBB);
    c.write_u32(0x7FFFF8, cmd::end_dl().w0);
    c.write_u32(0x7FFFFC, 0xAAAA);
    static uint32_t seen[2];
    const CommandHandler noop = CommandTable[0][0xC0];
    CommandTable[0][0xC0]     = [] {
        seen[0] = rdp_reg.lookahead1;
        seen[1] = rdp_reg.lookahead2;
    };
    run_interpreted_task(0x7FFFF0);
    CommandTable[0][0xC0] = noop;
    EXPECT_EQ(seen[0], 0xAAAAu) << "12 bytes on: the last word of RDRAM";
    EXPECT_EQ(seen[1], 0xBBBBu) << "20 bytes on: the second word of RDRAM";
}

TEST_F(RobustnessGuards, UnknownFamiliesSignalTheHostAndRunNothing) {
    for (uint32_t family : {9u, 10u, 255u, 0x80000000u, 0xFFFFFFFFu}) {
        reset_core_state();
        DisplayList dl(c, 0xA000);
        dl.add({cmd::set_fill_color(5), cmd::end_dl()});
        UcodeType = family;
        run_interpreted_task(dl.start());
        EXPECT_EQ(c.mi_interrupt, 0x20u) << "family " << family;
        EXPECT_EQ(rdp_reg.fill_color, 0u) << "family " << family;
        EXPECT_EQ(rdp_reg.dlist_end, 1u) << "family " << family;
    }
}

TEST_F(RobustnessGuards, MissingHostPointersNeitherCrashNorWrite) {
    const HostPointers kept = host;
    selected_ucode          = 0;

    // Before InitiateGFX: no memory to read, the task is not run at all.
    host = HostPointers{};
    process_dlist();
    process_dlist();
    EXPECT_EQ(dlist_counter, 0u);

    // Memories but no registers and no ROM header: the tasks run, nothing is signalled.
    host.rdram = c.rdram.data();
    host.dmem  = c.dmem.data();
    DisplayList dl(c, 0x3000);
    dl.add({cmd::full_sync(), uc0::sprite2d(0x300000), cmd::end_dl()});
    c.set_task(dl.start());
    for (int task = 0; task < 2; ++task)
        process_dlist();
    EXPECT_EQ(dlist_counter, 2u);
    EXPECT_EQ(rdp_reg.dlist_end, 1u);
    EXPECT_EQ(c.mi_interrupt, 0u) << "no register, no write through it";

    host           = kept;
    selected_ucode = -1;
}

TEST_F(RobustnessGuards, TexturesAtTheTopOfRdramReadZerosBeyondIt) {
    reset_texture_test_state();
    // 64 x 64 16-bit texels from 256 bytes below the top: 8 KB of the tile lie beyond it.
    const uint32_t image = 0x7FFF00;
    for (uint32_t i = 0; i < 128; ++i)
        c.write_u16(image + 2 * i, 0xFFFF);
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 64, image),
                  tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64 * 64),
                  tex::set_tile(0, tex::rgba, tex::b16, 16, 0),
                  tex::set_tile_size(0, 0, 0, 64, 64)});
    const uint32_t hash = tile_hash(0);
    for (uint32_t a = 0; a < 0x4000; a += 4)
        c.write_u32(a, 0xA5A5A5A5);
    EXPECT_EQ(tile_hash(0), hash) << "the hash does not wrap to the start of RDRAM";

    ASSERT_EQ(bind_texture(), 1);
    const Texel* texels = tile_texels[0].texels;
    EXPECT_EQ(texels[0], (Texel{248, 248, 248, 255})) << "the texels below the top";
    EXPECT_EQ(texels[127], (Texel{248, 248, 248, 255}));
    EXPECT_EQ(texels[128], (Texel{0, 0, 0, 0})) << "the texels beyond it";
    EXPECT_EQ(texels[64 * 64 - 1], (Texel{0, 0, 0, 0}));
}

// Texture rectangles of `count` tile sizes, each a cache miss, then a fill colour; the list
// ends there or starts over.
static uint32_t build_texture_misses(Console& c, uint32_t count, bool loop) {
    const uint32_t start = 0x100000;
    DisplayList dl(c, start);
    dl.add({cmd::set_color_image(320, 0x400000),
            tex::set_texture_image(tex::rgba, tex::b16, 64, 0x200000),
            tex::set_tile(0, tex::rgba, tex::b16, 16, 0)});
    const uint32_t loop_start = dl.cursor();
    for (uint32_t i = 0; i < count; ++i) {
        dl.add(tex::set_tile_size(0, 0, 0, 16 + i, 16));
        for (const Command& k : cmd::tex_rect(0, 0, 100, 100, 0, 0, 0, 1, 1))
            dl.add(k);
    }
    dl.add(cmd::set_fill_color(7));
    dl.add(loop ? cmd::branch_dl(loop_start) : cmd::end_dl());
    return start;
}

TEST_F(RobustnessGuards, ATaskThatKeepsBuildingTexturesIsCutOff) {
    struct Case {
        uint32_t budget, misses;
        bool loop;
        uint32_t builds, fill_color;
    } cases[] = {
        {13, 12, false, 12, 7}, // under the budget: the list runs to its end
        {12, 12, false, 12, 0}, // the twelfth build ends the task
        {8, 12, true, 8, 0},    // a list that never ends and misses every time
    };
    for (const Case& k : cases) {
        reset_texture_test_state();
        texture_build_budget  = k.budget;
        const uint32_t before = textures_built;
        run_interpreted_task(build_texture_misses(c, k.misses, k.loop));
        EXPECT_EQ(textures_built - before, k.builds) << "budget " << k.budget;
        EXPECT_EQ(rdp_reg.fill_color, k.fill_color) << "budget " << k.budget;
        EXPECT_EQ(rdp_reg.dlist_end, 1u);
    }
    texture_build_budget = kTextureBuildBudget;
}
