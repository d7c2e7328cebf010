// vexa-dis: lists written with the scene builders, read back line by line
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "disassembler.h"
#include "dl_builder.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "dl_ucode1_3.h"
#include "dl_ucode4.h"
#include "dl_ucode5.h"
#include "dl_ucode6.h"
#include "dlist/interpreter.h"
#include "support/test_host.h"

namespace {

struct Expected {
    std::vector<Command> words; // one command, or TEXRECT's three
    const char* text;           // what follows the address and the words
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// "001000: BC000406 00020000  " comes before the name.
constexpr size_t kWordsWidth = 27;

struct Disassembler : ::testing::Test {
    void SetUp() override { reset_core_state(); }
    Console& console = test_console();

    // Writes the commands at address, disassembles from there and checks every line.
    void expect_lines(uint32_t family, uint32_t address, const std::vector<Expected>& list) {
        DisplayList dl(console, address);
        for (const Expected& e : list)
            for (const Command& c : e.words)
                dl.add(c);
        const auto lines = lines_of(disassemble(console.rdram.data(), family, address, false));
        ASSERT_EQ(lines.size(), list.size())
            << disassemble(console.rdram.data(), family, address, false);
        uint32_t at = address;
        for (size_t i = 0; i < list.size(); ++i) {
            char words[32];
            std::snprintf(words, sizeof words, "%06X: %08X %08X  ", at, list[i].words[0].w0,
                          list[i].words[0].w1);
            EXPECT_EQ(lines[i].substr(0, kWordsWidth), words);
            EXPECT_EQ(lines[i].substr(kWordsWidth), list[i].text) << lines[i];
            at += 8 * static_cast<uint32_t>(list[i].words.size());
        }
    }
};

std::vector<Command> three(const std::array<Command, 3>& a) { return {a[0], a[1], a[2]}; }

TEST_F(Disassembler, RdpCommandsWithTheirFields) {
    const tex::Wrap clamp_mirror{1, 1, 5, 2};
    expect_lines(
        0, 0x1000,
        {{{cmd::set_color_image(320, 0x200000)},
          "RDP_SETCOLORIMAGE  RGBA 16b width 320 00200000 (0x200000)"},
         {{cmd::set_depth_image(0x300000)}, "RDP_SETDEPTHIMAGE  00300000 (0x300000)"},
         {{cmd::set_scissor(8, 4, 320, 240)}, "RDP_SETSCISSOR     (8,4)-(320,240)"},
         {{cmd::set_other_mode(0x300000, 0x30)},
          "RDP_SETOTHERMODE   h 300000 l 000030 fill z_cmp z_upd"},
         {{cmd::set_fill_color(0xFF401810)}, "RDP_SETFILLCOLOR   FF401810"},
         {{cmd::fill_rect(20, 30, 75, 80)}, "FILLRECT           (20,30)-(75,80)"},
         {{cmd::set_prim_color(0xF08020FF)}, "RDP_SETPRIMCOLOR   r 240 g 128 b 32 a 255"},
         {{cmd::set_env_color(0x00FF0080)}, "RDP_SETENVCOLOR    r 0 g 255 b 0 a 128"},
         {{uc0::combine_shade()},
          "RDP_SETCOMBINE     cycle 0: (CC_K5 - CC_K5) * CC_0 + CC_SHADE, (AC_0 - AC_0) * AC_0 + "
          "AC_SHADE; cycle 1: (CC_K5 - CC_K5) * CC_0 + CC_SHADE, (AC_0 - AC_0) * AC_0 + "
          "AC_SHADE; keys 9FF9FFF 9FF9FFF"},
         {{tex::set_texture_image(tex::ci, tex::b8, 64, 0x180000)},
          "SETTEXTUREIMAGE    CI 8b width 64 00180000 (0x180000)"},
         {{tex::set_tile(7, tex::ci, tex::b8, 0, 0)},
          "SETTILE            tile 7 CI 8b line 0 tmem 0 palette 0 s mask 0 shift 0 t mask 0 "
          "shift 0"},
         {{tex::load_block(7, 0, 0, 2048, 0x80)},
          "LOADBLOCK          tile 7 uls 0 ult 0 lrs 2047 dxt 128"},
         {{tex::load_tile(7, 8, 2, 16, 4)}, "LOADTILE           tile 7 (8,2)-(23,5)"},
         {{tex::load_tlut(6, 256)}, "LOADTLUT           tile 6"},
         {{tex::set_tile(1, tex::ia, tex::b16, 4, 256, 3, clamp_mirror, {})},
          "SETTILE            tile 1 IA 16b line 4 tmem 256 palette 3 s mask 0 shift 0 t clamp "
          "mirror mask 5 shift 2"},
         {{tex::set_tile_size_q(1, 2, 6, 126, 62)},
          "SETTILESIZE        tile 1 (0.5,1.5)-(31.5,15.5)"},
         {three(cmd::tex_rect(30, 110, 100, 200, 1, 2.5f, 4, 0.5f, 2)),
          "TEXRECT            tile 1 (30,110)-(100,200) s 2.5 t 4 dsdx 0.5 dtdy 2"},
         {{cmd::word(0xC1, 0, 0)}, "(none C1)"},
         {{cmd::pipe_sync()}, "RDP_PIPESYNC"},
         {{cmd::full_sync()}, "RDP_FULLSYNC"},
         {{cmd::end_dl()}, "ENDDL  <- end of task"}});
}

TEST_F(Disassembler, FamilyZeroCommandsWithTheirFields) {
    expect_lines(0, 0x1000,
                 {{{uc0::segment(6, 0x20000)}, "MOVEWORD           SEGMENT 6 = 00020000"},
                  {{uc0::vertex(2, 4, 0x06000100)},
                   "VERTEX             4 vertices to vtx[2..5] from 06000100 (0x020100)"},
                  {{uc0::matrix(uc0::kProjection | uc0::kLoad, 0x06000040)},
                   "MATRIX             projection load nopush 06000040 (0x020040)"},
                  {{uc0::matrix(uc0::kPush, 0x40)},
                   "MATRIX             modelview mul push 00000040 (0x000040)"},
                  {{uc0::viewport(0x80)}, "MOVEMEM            VIEWPORT 00000080 (0x000080)"},
                  {{uc0::light(1, 0x300)}, "MOVEMEM            LIGHT 1 00000300 (0x000300)"},
                  {{uc0::set_geometry_mode(uc0::kZBuffer | uc0::kCullBack | 0x80000000)},
                   "SETGEOMETRYMODE    zbuffer cull_back 80000000"},
                  {{uc0::clear_geometry_mode(uc0::kLighting)}, "CLEARGEOMETRYMODE  lightning"},
                  {{uc0::render_mode(0x30)}, "SETOTHERMODE_L     RENDERMODE 6"},
                  {{uc0::cycle_type(1)}, "SETOTHERMODE_H     CYCLETYPE 1"},
                  {{uc0::set_othermode_h(5, 1, 0)}, "SETOTHERMODE_H     shift 5 (none)"},
                  {{uc0::texture(2, 1, 0x8000, 0x4000)},
                   "TEXTURE            tile 2 on 1 scale_s 8000 scale_t 4000"},
                  {{uc0::num_lights(2)}, "MOVEWORD           NUMLIGHT 2"},
                  {{uc0::light_color(1, true, 0xFF800000)},
                   "MOVEWORD           LIGHTCOL light 1 rgba FF800000"},
                  {{uc0::tri1(0, 1, 25)}, "TRI1               v0 v1 v25"},
                  {{uc0::line3d(3, 4)}, "LINE3D             v3 v4"},
                  {{uc0::pop_matrix()}, "POPMATRIX          modelview"},
                  {{uc0::sprite2d(0x500)}, "SPRITE2D           sprite record 00000500 (0x000500)"},
                  {{cmd::end_dl()}, "ENDDL  <- end of task"}});
}

// Families 1 to 3 over family 0's row, and family 4's own numbering.
TEST_F(Disassembler, LaterFamiliesWithTheirOwnDecodings) {
    expect_lines(1, 0x1000,
                 {{{uc1::vertex(100, 4, 0x2000)},
                   "VERTEX             4 vertices to vtx[100..103] from 00002000 (0x002000)"},
                  {{uc1::tri2(0, 1, 2, 3, 4, 127)}, "TRI2               v0 v1 v2, v3 v4 v127"},
                  {{uc1::quad(5, 6, 7, 8)}, "QUAD               v5 v6 v7, v8 v5 v7"},
                  {{cmd::end_dl()}, "ENDDL  <- end of task"}});
    expect_lines(2, 0x1000,
                 {{{uc2::tri1(1, 2, 51)}, "TRI1               v1 v2 v51"},
                  {{cmd::word(0x06, 0x020000, 0x00503000)},
                   "DISPLAYLIST        param 2 (none) 00503000 (0x103000)"},
                  {{cmd::end_dl()}, "ENDDL  <- end of task"}});
    expect_lines(3, 0x1000,
                 {{{uc3::vertex(60, 4, 0x2000)},
                   "VERTEX             4 vertices to vtx[60..63] from 00002000 (0x002000)"},
                  {{uc0::line3d(1, 2)}, "LINE3D             v1 v2"},
                  {{cmd::end_dl()}, "ENDDL  <- end of task"}});
    expect_lines(4, 0x1000,
                 {{{uc4::segment(2, 0x40000)}, "UC4_MOVEWORD       SEGMENT 2 = 00040000"},
                  {{uc4::loadvtx(4, 24, 0x02000100)},
                   "UC4_LOADVTX        24 vertices to vtx[4..27] from 02000100 (0x040100)"},
                  {{uc4::tri2(0, 1, 2, 3, 4, 5)}, "UC4_TRI2           v0 v1 v2, v3 v4 v5"},
                  {{uc4::matrix(uc4::kProjection | uc4::kLoad | uc4::kNoPush, 0x100)},
                   "UC4_LOADMTX        projection load nopush 00000100 (0x000100)"},
                  {{uc4::light(2, 0x300)}, "UC4_MOVEMEM        LIGHT 2 00000300 (0x000300)"},
                  {{uc4::num_lights(3)}, "UC4_MOVEWORD       NUMLIGHT 3"},
                  {{uc4::cycle_type(2)}, "UC4_SETOTHERMODE_H CYCLETYPE 2"},
                  {{uc4::pop_matrix()}, "UC4_POPMATRIX      modelview"},
                  {{uc4::end_dl()}, "UC4_ENDDL  <- end of task"}});
}

// Families 5 and 6 over family 0's row: their own vertices, triangles, slots and runs.
TEST_F(Disassembler, FamiliesFiveAndSixWithTheirOwnDecodings) {
    expect_lines(
        5, 0x1000,
        {{{uc5::texcoord_table(0x3000)}, "RSP_RESERVED2      coordinate table 00003000 (0x003000)"},
         {{uc5::load_vertices(2, 16, 0x2000)},
          "UC5_LOADVTX        16 vertices to vtx[2..17] from 00002000 (0x002000), "
          "coordinate table at 0x003000"},
         {{uc5::tri2({{1, 2, 3}, {0, 0, 0}, {15, 14, 0}})},
          "UC5_TRI2           v1 v2 v3, v15 v14 v0"},
         {{uc5::load_matrix(uc5::kProjection | uc5::kPush, 0x100)},
          "UC5_LOADMTX        projection mul nopush 00000100 (0x000100)"},
         {{uc5::num_lights(8)}, "MOVEWORD           NUMLIGHT 0"},
         {{uc5::pop_matrix()}, "UC5_POPMATRIX      modelview"},
         {{cmd::end_dl()}, "ENDDL  <- end of task"}});
    expect_lines(
        6, 0x1000,
        {{{uc6::load_matrix(3, 0x100)}, "UC6_LOADMTX        slot 3 (none) 00000100 (0x000100)"},
         {{uc6::load_vertices(32, 1, 0x2000)},
          "UC6_LOADVTX        32 vertices to vtx[0..31] from 00002000 (0x002000), "
          "projection from slot 1"},
         {{uc6::triangles(2, 0x2100)},
          "UC6_DMATRI         2 triangle records from 00002100 (0x002100)"},
         {{uc6::run_in_place(200, 0x81003000)}, "UC6_DL_INMEM       1 command at 0x003000"},
         {{cmd::end_dl()}, "ENDDL  <- end of task"}});
}

// A call indents the called list, a branch replaces the active list, an end returns to the
// caller; the segment set inside the called list holds for the caller too.
TEST_F(Disassembler, NestingAsTheInterpreterWalksIt) {
    DisplayList(console, 0x1000)
        .add({cmd::call_dl(0x20000), cmd::word(0x06, 0x020000, 0x30000), uc0::tri1(0, 1, 2),
              cmd::end_dl()});
    DisplayList(console, 0x20000).add({uc0::segment(3, 0x40000), cmd::branch_dl(0x03000000)});
    DisplayList(console, 0x40000).add({cmd::end_dl()});
    EXPECT_EQ(
        disassemble(console.rdram.data(), 0, 0x1000, false),
        "001000: 06000000 00020000  DISPLAYLIST        call 00020000 (0x020000)  -> call, depth 1\n"
        "020000: BC000C06 00040000    MOVEWORD           SEGMENT 3 = 00040000\n"
        "020008: 06010000 03000000    DISPLAYLIST        branch 03000000 (0x040000)  -> branch\n"
        "040000: B8000000 00000000    ENDDL  <- return to depth 0\n"
        "001008: 06020000 00030000  DISPLAYLIST        param 2 (none) 00030000 (0x030000)\n"
        "001010: BF000000 00000A14  TRI1               v0 v1 v2\n"
        "001018: B8000000 00000000  ENDDL  <- end of task\n");
    EXPECT_EQ(disassemble(console.rdram.data(), 0, 0x1000, true).substr(0, 78),
              "001000: 06000000 00020000\n"
              "020000: BC000C06 00040000\n"
              "020008: 06010000 03000000\n");
}

// Ten levels (sixteen in family 4): the call made at the deepest level is refused and the
// walk goes on after it.
TEST_F(Disassembler, DepthLimitAndCommandBudgetOfTheInterpreter) {
    const struct {
        uint32_t family;
        Command (*call)(uint32_t);
        Command (*end)();
        size_t deepest;
    } families[] = {{0, cmd::call_dl, cmd::end_dl, 9}, {4, uc4::call_dl, uc4::end_dl, 15}};
    for (const auto& f : families) {
        SCOPED_TRACE(f.family);
        for (uint32_t level = 0; level <= f.deepest; ++level)
            DisplayList(console, 0x1000 * (level + 1)).add({f.call(0x1000 * (level + 2)), f.end()});
        const auto lines = lines_of(disassemble(console.rdram.data(), f.family, 0x1000, false));
        const size_t d   = f.deepest;
        ASSERT_EQ(lines.size(), 2 * (d + 1));
        EXPECT_NE(lines[d - 1].find("-> call, depth " + std::to_string(d)), std::string::npos)
            << lines[d - 1];
        EXPECT_NE(lines[d].find("(call refused: depth limit)"), std::string::npos) << lines[d];
        EXPECT_NE(lines[d + 1].find("<- return to depth " + std::to_string(d - 1)),
                  std::string::npos)
            << lines[d + 1];
        EXPECT_NE(lines.back().find("<- end of task"), std::string::npos);
    }

    // A list that jumps to itself runs until the budget is spent, as in the plug-in.
    DisplayList(console, 0x50000).add({uc0::tri1(0, 1, 2), cmd::branch_dl(0x50000)});
    const uint32_t saved = command_budget;
    command_budget       = 5;
    const auto looped    = lines_of(disassemble(console.rdram.data(), 0, 0x50000, false));
    command_budget       = saved;
    ASSERT_EQ(looped.size(), 6u);
    EXPECT_EQ(looped[4].substr(0, 6), "050000");
    EXPECT_EQ(looped[5], "cut off after 5 commands: the task ends here as in the plug-in");
}

} // namespace
