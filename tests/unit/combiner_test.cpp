// The combiner: SETCOMBINE decoding, the recipe table and the draws a flush makes
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "render/combiner.h"
#include "render/recipe_table.h"
#include "render/texture_units.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"
#include "texture/texel_convert.h"
#include "texture/texture_cache.h"

namespace {

struct Draw {
    uint32_t passes, recipe1, recipe2;
    uint32_t texture_mode, texture_color; // as the bind would see them
};

std::vector<Draw> draws;

void record_draw(const uint32_t*, uint32_t passes, uint32_t recipe1, uint32_t recipe2) {
    draws.push_back({passes, recipe1, recipe2, rdp_reg.texture_mode, rdp_reg.texture_color});
}

// The table's own notation, so that expectations are copied from the table as written.
std::string hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", v);
    return text;
}

std::string describe(const RecipeSteps& steps) {
    std::string out;
    for (const RecipeAction& a : steps.actions) {
        if (a.op == RecipeOp::end) break;
        if (!out.empty()) out += ' ';
        if (a.op == RecipeOp::set_mode) out += "m=" + hex(a.a);
        if (a.op == RecipeOp::set_color)
            out += a.a == color_prim ? "c=P" : a.a == color_env ? "c=E" : "c=PxE";
        if (a.op == RecipeOp::draw) out += "D(" + hex(a.a) + "," + hex(a.b) + "," + hex(a.c) + ")";
    }
    return out;
}

// What a flush draws, in the same notation (m= and c= shown as the draws saw them).
std::string describe(const std::vector<Draw>& seen) {
    std::string out;
    for (const Draw& d : seen) {
        if (!out.empty()) out += ' ';
        if (d.texture_mode) out += "[m=" + hex(d.texture_mode) + "]";
        if (d.texture_color) out += "[c=" + hex(d.texture_color) + "]";
        out += "D(" + hex(d.passes) + "," + hex(d.recipe1) + "," + hex(d.recipe2) + ")";
    }
    return out;
}

class Combiner : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        draws.clear();
        batch_drawer = record_draw;
    }
    void TearDown() override { batch_drawer = saved; }

    void set_combine(Command c) {
        rdp_reg.cmd0 = c.w0;
        rdp_reg.cmd1 = c.w1;
        rdp_set_combine();
    }
    std::string flush(uint32_t cycle_type, uint32_t key0, uint32_t key1) {
        rdp_reg.cycle_type = static_cast<uint8_t>(cycle_type);
        rdp_reg.mux_key0   = key0;
        rdp_reg.mux_key1   = key1;
        draws.clear();
        flush_batch(rdp_reg.batch.indices);
        return describe(draws);
    }

    BatchDrawer saved = batch_drawer;
};

TEST_F(Combiner, SetCombineDecodesSelectorsAndPacksKeys) {
    // Every selector a different value: a0 1, c0 2, Aa0 3, Ac0 4, a1 5, c1 6 in cmd0;
    // b0 7, b1 8, Aa1 1, Ac1 2, d0 3, Ab0 4, Ad0 5, d1 6, Ab1 7, Ad1 0 in cmd1.
    set_combine({0xFC1138A6, 0x7829CBB8});
    const CombinerSelectors& s = rdp_reg.combine;
    const int got[16]          = {s.a0, s.b0, s.c0, s.d0, s.Aa0, s.Ab0, s.Ac0, s.Ad0,
                                  s.a1, s.b1, s.c1, s.d1, s.Aa1, s.Ab1, s.Ac1, s.Ad1};
    const int expected[16]     = {1, 7, 2, 3, 3, 4, 4, 5, 5, 8, 6, 6, 1, 7, 2, 0};
    const char* names[16]      = {"a0", "b0", "c0", "d0", "Aa0", "Ab0", "Ac0", "Ad0",
                                  "a1", "b1", "c1", "d1", "Aa1", "Ab1", "Ac1", "Ad1"};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(got[i], expected[i]) << names[i];

    struct Case {
        uint32_t cmd0, cmd1, key0, key1;
        const char* what;
    } cases[] = {
        {0xFC1138A6, 0x7829CBB8, 0x0B236271, 0x00B9C685, "distinct selectors"},
        {0xFCFFFFFF, 0xFFFE793C, 0x09FF9FFF, 0x09FF9FFF, "shade in both cycles"},
        {0x00FFFFFF, 0xFFFE793C, 0x09FF9FFF, 0x09FF9FFF, "the opcode byte is not a selector"},
        {0xFC000000, 0x00000000, 0x00000000, 0x00000000, "all selectors 0"},
        {0xFCFFFFFF, 0xFFFFFFFF, 0x0FFFFFFF, 0x0FFFFFFF, "all bits: 28-bit keys"},
    };
    for (const Case& k : cases) {
        set_combine({k.cmd0, k.cmd1});
        EXPECT_EQ(rdp_reg.mux_key0, k.key0) << std::hex << k.what;
        EXPECT_EQ(rdp_reg.mux_key1, k.key1) << std::hex << k.what;
        // The scene builder packs the same words back.
        const Command back = cmd::set_combine_keys(k.key0, k.key1);
        EXPECT_EQ(back.w1, k.cmd1) << k.what;
        EXPECT_EQ(back.w0 & 0xFFFFFF, k.cmd0 & 0xFFFFFF) << k.what;
    }
}

TEST_F(Combiner, TableHoldsEveryRowAndPair) {
    EXPECT_EQ(recipe_row_count, 124);
    EXPECT_EQ(recipe_pair_count, 172);
    for (int i = 1; i < recipe_row_count; ++i)
        EXPECT_LT(recipe_rows[i - 1].mux_key0, recipe_rows[i].mux_key0) << "row " << i;
    for (int i = 0; i < recipe_pair_count; ++i)
        EXPECT_NE(find_recipe_row(recipe_pairs[i].mux_key0), nullptr)
            << "pair " << i << " belongs to a row";
}

TEST_F(Combiner, SampleRowsReadAsTabled) {
    struct Case {
        uint32_t key0;
        const char *one_cycle, *two_cycle;
    } rows[] = {
        {0x20A2D12, "m=2 D(1,4,0)", "m=2 D(1,4,0) D(1,0,0)"},
        {0x3FF8341, "m=1 D(1,4,0) m=80 D(1,1,0)", "D(1,0,0)"},
        {0x7FF7FFF, "D(0,9,0)", "D(1,0,0)"},
        {0x9FFE4F1, "m=2 D(1,24,0)", "m=2 D(1,0,0)"},
        {0xDFFA351, "m=40 c=PxE D(1,0,0)", "D(1,0,0)"},
        {0xE7B6156, "m=6 c=P D(1,0,0)", "D(1,0,0)"},
        {0xF398341, "m=1 D(1,24,0) m=0 D(1,60,0)", "D(1,0,0)"},
        {0xFFF2C31, "m=2 D(1,0,0) D(0,11,0)", "D(1,0,0)"},
        {0xFFFBFFF, "m=2 D(1,2,0)", "D(1,0,0)"},
    };
    for (const Case& k : rows) {
        const RecipeRow* row = find_recipe_row(k.key0);
        ASSERT_NE(row, nullptr) << std::hex << k.key0;
        EXPECT_EQ(describe(row->one_cycle), k.one_cycle) << std::hex << k.key0;
        EXPECT_EQ(describe(row->two_cycle), k.two_cycle) << std::hex << k.key0;
    }

    struct PairCase {
        uint32_t key0, key1;
        const char* steps;
    } pairs[] = {
        {0x20A2D12, 0x1FFE4F0, "m=2 D(1,4,0) m=2 D(1,4,0)"},
        {0x20A2D12, 0xF38E4F0, "m=2 D(1,24,0) m=2 D(1,4,0)"},
        {0x2CA2312, 0x1FF0C05, "m=43 c=E D(1,0,0) D(1,0,0)"},
        {0x2CA2A12, 0x1FFA053, "m=1 D(1,A,0) m=0 D(1,8,0) D(1,0,0)"},
        {0x3FFE4F1, 0xEF80C05, "D(22,1A,10004)"},
        {0x3FFE4F1, 0xF78E0F5, "D(1,16,0)"},
        {0x9FF6536, 0xF78E4F0, "m=44 c=PxE D(1,34,0)"},
        {0xE7B6156, 0xE7B6156, "m=41 c=PxE D(1,0,0)"},
        {0xF3BE4F3, 0x0850205, "D(1,2D,0)"},
        {0xFFF2C31, 0xDFFA053, "D(0,2,0) D(1,1,4002)"},
    };
    for (const PairCase& k : pairs) {
        const RecipePair* pair = find_recipe_pair(k.key0, k.key1);
        ASSERT_NE(pair, nullptr) << std::hex << k.key0 << " " << k.key1;
        EXPECT_EQ(describe(pair->two_cycle), k.steps) << std::hex << k.key0 << " " << k.key1;
    }
    EXPECT_EQ(find_recipe_row(0x3FF2C16), nullptr);
    EXPECT_EQ(find_recipe_pair(0x3FF2C15, 0x1FF1FFF), nullptr) << "a row without pairs";
}

TEST_F(Combiner, FlushChoosesByCycleTypeAndKeys) {
    struct Case {
        uint32_t cycle_type, key0, key1;
        const char* draws;
        const char* why;
    } cases[] = {
        {0, 0x3FFE4F1, 0x1FFE3F0, "D(1,4,0)", "one-cycle ignores mux_key1"},
        {0, 0x3FFE4F1, 0x0000000, "D(1,4,0)", "one-cycle ignores mux_key1"},
        {1, 0x3FFE4F1, 0x1FFE3F0, "D(1,5,0)", "a listed pair"},
        {1, 0x3FFE4F1, 0x1FFE5F0, "D(1,6,0)", "another listed pair"},
        {1, 0x3FFE4F1, 0x1FFE3F1, "D(1,1000000,0)", "an unlisted mux_key1: the units"},
        {1, 0x3FFE4F1, 0x1FF1FFF, "D(1,4,0)", "a listed pair before the pass-through"},
        {1, 0x3FF9FFF, 0x0000000, "[m=1]D(1,4,0)", "mux_key1 0 passes on: one cycle"},
        {1, 0x3FF9FFF, 0x1FFE3F1, "D(1,1000000,0)", "shade x texel: the units"},
        {1, 0x3FFE3F1, 0x1FFE5F0, "D(1,1000000,0)", "3FFE4F1's pair is not looked for: units"},
        {0, 0x0000000, 0x0000000, "D(1,0,0)", "keys before any SETCOMBINE"},
        {1, 0x1234567, 0x1FFE3F0, "D(1,0,0)", "an unknown mux_key0 that nothing draws"},
        {2, 0x7FF7FFF, 0x7FF7FFF, "D(1,0,0) D(1,0,0)", "copy draws twice, keys ignored"},
        {3, 0x3FFE4F1, 0x1FFE3F0, "D(1,0,0) D(1,0,0)", "fill draws twice, keys ignored"},
        {0, 0x7FF7FFF, 0x0000000, "D(0,9,0)", "untextured primitive colour"},
        {1, 0x3FFE4F1, 0xEF80C05, "D(22,1A,10004)", "a two-pass draw"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(flush(k.cycle_type, k.key0, k.key1), k.draws) << k.why;
}

TEST_F(Combiner, ModeAndColourReachEachDraw) {
    rdp_reg.prim_color = 0x11223344;
    rdp_reg.env_color  = 0x01020304;
    struct Case {
        uint32_t cycle_type, key0, key1;
        const char* draws;
    } cases[] = {
        {0, 0x3FF8341, 0, "[m=1]D(1,4,0) [m=80]D(1,1,0)"},
        {0, 0xDFFA351, 0, "[m=40][c=10203040]D(1,0,0)"}, // prim XOR env
        {0, 0xE7B6156, 0, "[m=6][c=11223344]D(1,0,0)"},  // prim
        {0, 0x3FF2C15, 0, "[m=43][c=1020304]D(1,0,0)"},  // env
        {1, 0x2CA2A12, 0x1FFA053, "[m=1]D(1,A,0) D(1,8,0) D(1,0,0)"},
        {0, 0xF398341, 0, "[m=1]D(1,24,0) D(1,60,0)"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(flush(k.cycle_type, k.key0, k.key1), k.draws) << std::hex << k.key0;

    // Each flush starts from mode and colour 0, whatever the last one left.
    rdp_reg.texture_mode  = 0x44;
    rdp_reg.texture_color = 0x55;
    EXPECT_EQ(flush(0, 0x7FF7FFF, 0), "D(0,9,0)");
    EXPECT_EQ(flush(2, 0, 0), "D(1,0,0) D(1,0,0)");
}

// Keys outside the table get the draws of their formula (bits 100000 and 200000: the formula
// with the texel 0 or 1, both: their difference; 400000 the alpha formula; 800000 GL_BLEND to
// the other end; m=10xx texel steps 1 square, 2 invert, 4 white, 8 opaque alpha), or are
// drawn as before and counted.
TEST_F(Combiner, KeysOutsideTheTableGetTheirFormulasDraws) {
    const uint32_t before = underived_batches;
    EXPECT_EQ(flush(0, 0x7FFA453, 0), "D(0,500000,0)");               // (P - E) x S + E, alpha P
    EXPECT_EQ(flush(0, 0xF79E4F3, 0), "[m=1004]D(1,500000,0)");       // P x S, alpha T x E
    EXPECT_EQ(flush(0, 0x9FFA145, 0), "[m=100A]D(1,E00000,0)");       // (E - S) x T + E
    EXPECT_EQ(flush(0, 0x9FF81F1, 0), "[m=1009]D(21,700000,500000)"); // T x T + S
    EXPECT_EQ(flush(0, 0xDFFE8F3, 0), "D(0,500000,0) [m=1004]D(1,600000,0)"); // P x T's alpha
    EXPECT_EQ(flush(1, 0x9FF8145, 0x1FF1FFF), "[m=1008]D(1,D00000,0)"); // cycle 1 passes it on
    EXPECT_EQ(flush(1, 0x9FF8145, 0x1FFE3F0), "D(1,1000000,0)");        // cycle 1 of its own: units
    EXPECT_EQ(flush(0, 0x9FF2415, 0), "D(1,1000000,0)");                // (E - T) x S + T: a lerp
    EXPECT_EQ(flush(0, 0x9FF6D31, 0), "D(0,500000,0)"); // (T - P) x LOD_FRACTION 0 + P
    // (E - T) x K5 + T: no unit has K5; counted at every flush, named once with the reason.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(flush(0, 0x9FF2F15, 0), "D(1,0,0)");
    EXPECT_EQ(flush(0, 0x9FF2F15, 0), "D(1,0,0)");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(underived_batches - before, 2u);
    const std::string line = "combiner keys 9FF2F15 0000000: no recipe, not in units (";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line)) << "once per key pair: " << log;
}

// Keys that name TEXEL1 go to the texture units (where TEXEL0 of the second cycle samples
// tile 1, TEXEL1 there tile 0) when the context has enough of them to combine the formula
// (1000000: TEXEL_UNITS); else, and for every other key, the table as before.
TEST_F(Combiner, SecondTextureKeysGoToTheUnitsThatCanDrawThem) {
    const int saved_units = texture_units;
    struct Case {
        uint32_t cycle_type, key0, key1;
        int units;
        const char* draws;
        const char* why;
    } cases[] = {
        {0, 0x34A2C12, 0, 2, "D(1,1000000,0)", "terrain lerp: two units"},
        {0, 0x34A2C12, 0, 1, "D(1,0,0)", "one unit: the table"},
        {1, 0x34A2C12, 0x1FFE4F0, 3, "D(1,1000000,0)", "the lerp times shade: three units"},
        {1, 0x34A2C12, 0x1FFE4F0, 2, "D(1,0,0)", "two units are too few"},
        {1, 0x34A2C12, 0x1BAE4F0, 4, "D(1,1000000,0)", "ice: + TEXEL1 x PRIM_LOD_FRAC"},
        {1, 0x34A2C12, 0x1BAE4F0, 1, "D(1,10,0)", "ice on one unit: its table pair"},
        {1, 0x3FFE4F1, 0x1FFE4F1, 4, "D(1,1000000,0)", "TEXEL0 of cycle 2 as tile 0: units"},
        {1, 0x3FFE4F1, 0x1FFE4F1, 1, "D(1,0,0)", "no units: the row's two-cycle draws"},
        {1, 0x3FFE4F1, 0x1FFE0F2, 2, "D(1,1000000,0)", "TEXEL1 x COMBINED: tile 0 twice"},
        {0, 0xEB9E2F1, 0, 2, "D(1,1000000,0)", "TEXEL0 x TEXEL1"},
        {1, 0x20A2D12, 0x1FFE4F0, 4, "[m=2]D(1,4,0) [m=2]D(1,4,0)", "LOD_FRACTION 0: TEXEL0"},
        {0, 0x3FFE4F1, 0, 4, "D(1,4,0)", "one texture"},
        {0, 0x7FF2F12, 0, 4, "[m=1008]D(1,600000,0)", "K5: derived with one texture"},
    };
    for (const Case& k : cases) {
        texture_units = k.units;
        EXPECT_EQ(flush(k.cycle_type, k.key0, k.key1), k.draws) << k.why;
    }
    texture_units = saved_units;
}

// A texture cache miss clears mode and colour between draws; the table's repeated m= puts the
// mode back for the second draw.
TEST_F(Combiner, RepeatedModeIsAnActionOfItsOwn) {
    batch_drawer = [](const uint32_t* indices, uint32_t passes, uint32_t r1, uint32_t r2) {
        record_draw(indices, passes, r1, r2);
        rdp_reg.texture_mode  = 0; // as a miss leaves it
        rdp_reg.texture_color = 0;
    };
    EXPECT_EQ(flush(1, 0x20A2D12, 0x1FFE4F0), "[m=2]D(1,4,0) [m=2]D(1,4,0)");
    const int saved_units = texture_units;
    texture_units         = 1; // the row's two-cycle draws
    EXPECT_EQ(flush(1, 0x20A2D12, 0x1FFE3F1), "[m=2]D(1,4,0) D(1,0,0)");
    texture_units = saved_units;
}

// Whole frames through family 0: the keys a display list sets pick the recipe, the recipe's
// colours reach the pixels and its texel transform reaches the texture cache.
class CombinerFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        reset_texture_cache();
    }

    // One triangle over the window centre, shaded (200, 100, 50, 255), drawn with the keys. The
    // white texture's texels come out as 248 (five bits a channel).
    void draw_triangle(uint32_t cycle_type, uint32_t key0, uint32_t key1) {
        for (uint32_t i = 0; i < 3; ++i) {
            const int16_t x = i == 0 ? -60 : i == 1 ? 60 : 0;
            const int16_t y = i == 2 ? 60 : -60;
            uc0::write_vertex(c, kVertexAddress + 16 * i, x, y, 0, 0, 0, 200, 100, 50, 255);
        }
        DisplayList dl(c, kListAddress);
        add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
        add_white_texture(c, dl);
        dl.add({cmd::set_cycle_type(cycle_type), cmd::set_combine_keys(key0, key1),
                cmd::set_prim_color(0x80FF40FF), cmd::set_env_color(0x2040C0FF),
                uc0::vertex(0, 3, kVertexAddress), uc0::tri1(0, 1, 2), cmd::pipe_sync(),
                cmd::end_dl()});
        run_interpreted_task(dl.start());
    }

    Console& c = test_console();
};

TEST_F(CombinerFrames, KeysPickTheColours) {
    struct Case {
        uint32_t cycle_type, key0, key1;
        int r, g, b;
        const char* what;
    } cases[] = {
        {0, 0x7FF7FFF, 0, 128, 255, 64, "primitive colour, untextured"},
        {0, 0xBFFBFFF, 0, 32, 64, 192, "environment colour"},
        {0, 0x9FF9FFF, 0, 200, 100, 50, "shade"},
        {0, 0x9FFE3F4, 0, 100, 100, 13, "shade x primitive"},
        {0, 0x1234567, 0, 248, 248, 248, "unknown key: the white texture under white"},
        {1, 0x3FFE4F1, 0x1FFE5F0, 24, 24, 37, "listed pair: texture x shade x environment"},
        {1, 0x3FFE4F1, 0x1FFE5F1, 31, 62, 187, "unlisted pair: texture x environment"},
        {3, 0x7FF7FFF, 0, 248, 248, 248, "fill mode ignores the keys"},
    };
    for (const Case& k : cases) {
        draw_triangle(k.cycle_type, k.key0, k.key1);
        const Rgba p = pixel_at(320, 240);
        EXPECT_TRUE(near(p, k.r, k.g, k.b)) << k.what << ": " << describe(p);
    }
}

TEST_F(CombinerFrames, TexelTransformReachesTheCache) {
    draw_triangle(0, 0xDFFA351, 0); // m=40 c=PxE D(1,0,0)
    const GLint name = gl_int(GL_TEXTURE_BINDING_2D);
    ASSERT_GT(name, 0);
    EXPECT_EQ(TextureCache[name].mode, 0x40u | kTextureAlphaOpaque) << "alpha 1: no texel's";
    EXPECT_EQ(TextureCache[name].color, 0x80FF40FFu ^ 0x2040C0FFu);

    draw_triangle(0, 0xE7B6156, 0); // m=6 c=P D(1,0,0)
    const GLint prim_name = gl_int(GL_TEXTURE_BINDING_2D);
    EXPECT_NE(prim_name, name) << "another transform, another texture";
    EXPECT_EQ(TextureCache[prim_name].mode, 0x6u);
    EXPECT_EQ(TextureCache[prim_name].color, 0x80FF40FFu);
}

// The SDK's first-cycle modes outside the table, as colour then alpha A, B, C, D (T the texel,
// A its alpha, P, E, S, 0): two quads of their own shade each span the texture's columns 0..3
// (two texels, or one flat colour); the probes over columns 1 and 3 show the formula.
TEST_F(CombinerFrames, ModesOutsideTheTableDrawTheirFormula) {
    const char* modes[]   = {"T0TS000S", "T0TS000T", "T0TS000E", "ESTS000S", "ESTST0S0",
                             "ESTS000T", "PETET0S0", "PETE000T", "TSAS000S", "TSAS000T",
                             "PSTS000S", "E0TS000S", "E0TS000T"};    // ADDRGB .. REFLECTRGBDECALA
    const int texel[2][4] = {{248, 64, 128, 255}, {32, 200, 96, 0}}; // five bits exact
    const int shade[2][3] = {{200, 80, 40}, {40, 160, 240}}, prim[3] = {0x60, 0xC0, 0x30},
              env[3] = {0xE0, 0x20, 0x90};
    auto sel         = [](const char* m, int i) -> uint32_t { // selector at position i
        const uint32_t zero[8] = {15, 15, 31, 7, 7, 7, 7, 7};
        const char* at         = std::strchr("T.PSE", m[i]);
        return m[i] == 'A' ? 8 : at ? uint32_t(at - "T.PSE" + 1) : zero[i];
    };
    for (int texels = 1; texels <= 2; ++texels)
        for (const char* m : modes) {
            reset_core_state();
            reset_texture_cache();
            for (uint32_t i = 0; i < 16; ++i) {
                const int* t = texel[texels == 2 && i % 4 >= 2];
                c.write_u16(kTexelAddress + 2 * i, rgba5551(t[0], t[1], t[2], t[3] != 0));
            }
            for (uint32_t v = 0; v < 8; ++v) { // quad v / 4: x -90..-10 or 10..90, s 0..4 texels
                const bool right = v % 4 == 1 || v % 4 == 2;
                uc0::write_vertex(c, kVertexAddress + 16 * v,
                                  int16_t(v / 4 * 100 + right * 80 - 90),
                                  int16_t(v % 4 < 2 ? -40 : 40), 0, int16_t(right * 128), 0,
                                  uint8_t(shade[v / 4][0]), uint8_t(shade[v / 4][1]),
                                  uint8_t(shade[v / 4][2]), 255);
            }
            DisplayList dl(c, kListAddress);
            add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
            dl.add({uc0::texture(0, 1, 0xFFFF, 0xFFFF),
                    tex::set_texture_image(tex::rgba, tex::b16, 4, kTexelAddress),
                    tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::load_block(0, 0, 0, 16),
                    tex::set_tile_size(0, 0, 0, 4, 4), cmd::set_cycle_type(0, 0x2000),
                    cmd::set_combine_keys(pack_mux_key(sel(m, 0), sel(m, 1), sel(m, 2), sel(m, 3),
                                                       sel(m, 4), sel(m, 5), sel(m, 6), sel(m, 7)),
                                          0),
                    cmd::set_prim_color(0x60C03080), cmd::set_env_color(0xE0209040),
                    uc0::vertex(0, 8, kVertexAddress), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3),
                    uc0::tri1(4, 5, 6), uc0::tri1(4, 6, 7), cmd::end_dl()});
            run_interpreted_task(dl.start());
            for (int probe = 0; probe < 4; ++probe) {
                const int q = probe / 2, col = probe % 2, *t = texel[texels == 2 && col];
                int want[3];
                for (int ch = 0; ch < 3; ++ch) {
                    const int v[6] = {t[ch], t[3], prim[ch], shade[q][ch], env[ch], 0};
                    auto in        = [&](char x) {
                        return v[std::min<size_t>(std::string("TAPSE").find(x), 5)] / 255.0f;
                    };
                    const float x = (in(m[0]) - in(m[1])) * in(m[2]) + in(m[3]);
                    want[ch]      = int(std::clamp(x, 0.0f, 1.0f) * 255 + 0.5f);
                }
                const Rgba p = pixel_at(320 + (-70 + 100 * q + 40 * col) * 16 / 5, 240);
                EXPECT_TRUE(near(p, want[0], want[1], want[2], 4))
                    << m << ", " << texels << " texel(s), probe " << probe << ": " << describe(p)
                    << " for " << want[0] << ", " << want[1] << ", " << want[2];
            }
        }
}

// The console's (A - B) x C + D of one cycle in colour channel ch (3: alpha), from the key's
// selectors as the SDK names them; `t` holds tile 0's and tile 1's texels, `k` the primitive,
// shade and environment colours, `comb` the first cycle's result. Values 0..1.
float console_cycle(uint32_t key, int ch, const float (&t)[2][4], const float (&k)[3][4],
                    const float* comb) {
    const bool alpha   = ch == 3;
    const float* in[6] = {comb, t[0], t[1], k[0], k[1], k[2]}; // COMBINED, T0, T1, P, S, E
    auto value         = [&](int pos, uint32_t sel) -> float {
        if (alpha && pos == 2) return sel >= 1 && sel <= 5 ? in[sel][3] : 0.0f; // LOD 0
        if (sel <= 5) return in[sel][ch];
        if (alpha || pos == 0 || pos == 3) return sel == 6 ? 1.0f : 0.0f;
        if (pos == 2 && sel >= 7 && sel <= 12) return sel == 7 ? comb[3] : in[sel - 7][3];
        return 0.0f;
    };
    const uint32_t f = alpha ? key >> 16 : key;
    const uint32_t a = alpha ? f & 7 : f & 15, b = alpha ? (f >> 3) & 7 : (f >> 4) & 15;
    const uint32_t c = alpha ? (f >> 6) & 7 : (f >> 8) & 31, d = alpha ? (f >> 9) & 7 : f >> 13 & 7;
    return std::clamp((value(0, a) - value(1, b)) * value(2, c) + value(3, d), 0.0f, 1.0f);
}

// Formula pairs drawn with two textures of one texel each (tile 0 and tile 1) and known
// colours, over two frames, each followed by a shaded quad: the pixels are the console's two
// cycles, blended by their alpha where the render mode blends, whatever path draws them.
TEST_F(CombinerFrames, FormulaPairsDrawTheConsolesArithmetic) {
    constexpr uint32_t kOpaque = 0x2000, kXluSurf2 = 0x00104240, kTexEdge2 = 0x00113078;
    struct Tile {
        uint32_t format, size;
        uint16_t word; // every 16 bits of the texture
        int texel[4];  // as the console reads it
    };
    const Tile rgba = {tex::rgba, tex::b16, rgba5551(248, 64, 128), {248, 64, 128, 255}};
    const Tile ia   = {tex::ia, tex::b16, 0xC040, {192, 192, 192, 64}};
    const Tile i4   = {tex::i, tex::b4, 0x9999, {153, 153, 153, 153}};
    struct Case {
        uint32_t key0, key1, render_mode;
        Tile tile0, tile1;
        uint32_t prim, env;
        const char* what;
    } cases[] = {
        {0xDFF2C12, 0xEF8E4F0, kXluSurf2, rgba, ia, 0xFFFFFF99, 0x20408080,
         "water: texels lerped by env alpha, x shade; alpha 1 x prim alpha"},
        {0xDFFE4F1, 0x1FFE3F0, kTexEdge2, i4, ia, 0xC0A080FF, 0x20408080,
         "path, listed pair: I4 texel x shade x prim, alpha 1 under TEX_EDGE"},
        {0xDFFE4F1, 0x1FFECF0, kOpaque, rgba, ia, 0xC0A080FF, 0x20408080,
         "unlisted pair: texel x shade x env alpha"},
        {0x7FFA153, 0x1FF1FFF, kOpaque, rgba, ia, 0xC0A080FF, 0x20408080,
         "second cycle passes on: (prim - env) x texel + env"},
    };
    const uint8_t shade[4] = {200, 150, 100, 255};
    const uint8_t after[4] = {40, 220, 90, 255}; // the shaded quad drawn after each case
    for (const Case& k : cases) {
        reset_core_state();
        reset_texture_cache();
        for (uint32_t i = 0; i < 32; ++i) {
            c.write_u16(kTexelAddress + 2 * i, k.tile0.word);
            c.write_u16(kTexelAddress + 0x100 + 2 * i, k.tile1.word);
        }
        auto corner = [&](uint32_t slot, int16_t x, int16_t y, const uint8_t* rgba_) {
            uc0::write_vertex(c, kVertexAddress + 16 * slot, x, y, 0, 0, 0, rgba_[0], rgba_[1],
                              rgba_[2], rgba_[3]);
        };
        for (uint32_t v = 0; v < 8; ++v) // quads x -90..-10 (the case) and 10..90 (after)
            corner(v, int16_t((v % 4 == 1 || v % 4 == 2 ? -10 : -90) + (v / 4) * 100),
                   int16_t(v % 4 < 2 ? -60 : 60), v < 4 ? shade : after);
        DisplayList dl(c, kListAddress);
        add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
        dl.add(uc0::texture(0, 1, 0xFFFF, 0xFFFF));
        const Tile* tiles[2] = {&k.tile0, &k.tile1};
        for (uint32_t n = 0; n < 2; ++n) // through tile 7, as the SDK loads
            dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kTexelAddress + 0x100 * n),
                    tex::set_tile(7, tex::rgba, tex::b16, 0, 0x40 * n),
                    tex::load_block(7, 0, 0, 32),
                    tex::set_tile(n, tiles[n]->format, tiles[n]->size, 1, 0x40 * n),
                    tex::set_tile_size(n, 0, 0, 4, 4)});
        dl.add({cmd::set_cycle_type(1, k.render_mode), cmd::set_combine_keys(k.key0, k.key1),
                cmd::set_prim_color(k.prim), cmd::set_env_color(k.env),
                uc0::vertex(0, 8, kVertexAddress), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3),
                cmd::pipe_sync(), cmd::set_cycle_type(0, kOpaque),
                cmd::set_combine_keys(0x9FF9FFF, 0x9FF9FFF), uc0::tri1(4, 5, 6), uc0::tri1(4, 6, 7),
                cmd::pipe_sync(), cmd::end_dl()});

        float t[2][4], colours[3][4], cycle1[4], out[4];
        for (int ch = 0; ch < 4; ++ch) {
            t[0][ch]       = k.tile0.texel[ch] / 255.0f;
            t[1][ch]       = k.tile1.texel[ch] / 255.0f;
            colours[0][ch] = (k.prim >> (24 - 8 * ch) & 0xFF) / 255.0f;
            colours[1][ch] = shade[ch] / 255.0f;
            colours[2][ch] = (k.env >> (24 - 8 * ch) & 0xFF) / 255.0f;
        }
        for (int ch = 0; ch < 4; ++ch)
            cycle1[ch] = console_cycle(k.key0, ch, t, colours, nullptr);
        for (int ch = 0; ch < 4; ++ch)
            out[ch] = console_cycle(k.key1, ch, t, colours, cycle1);
        const float alpha = k.render_mode == kOpaque ? 1.0f : out[3]; // over the black clear
        int want[3];
        for (int ch = 0; ch < 3; ++ch)
            want[ch] = int(out[ch] * alpha * 255.0f + 0.5f);
        for (int frame = 1; frame <= 2; ++frame) {
            run_interpreted_task(dl.start());
            const Rgba p = pixel_at(160, 240), q = pixel_at(480, 240);
            EXPECT_TRUE(near(p, want[0], want[1], want[2], 4))
                << k.what << ", frame " << frame << ": " << describe(p) << " for " << want[0]
                << ", " << want[1] << ", " << want[2];
            EXPECT_TRUE(near(q, after[0], after[1], after[2]))
                << "the quad after " << k.what << ", frame " << frame << ": " << describe(q);
        }
    }
}

} // namespace
