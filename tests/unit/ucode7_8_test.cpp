// The 2-D families by picture: backgrounds whose texels name their own position, sprites, the
// status test, and G_LOAD_UCODE switching rows inside a task
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "config/settings.h"
#include "dl_rdp.h"
#include "dl_s2dex.h"
#include "dl_ucode4.h"
#include "dlist/interpreter.h"
#include "dlist/ucode_switch.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"
#include "texture/texture_cache.h"
#include "texture/texture_memory.h"

namespace {

constexpr uint32_t kList = 0x100000, kRecord = 0x180000, kImage = 0x300000;
constexpr uint32_t kTexelKeys = 0x0E7BE3F1;

class Ucode7And8 : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        reset_texture_memory();
        reset_texture_cache();
        player_settings.texture_filter =
            TextureFilter::nearest; // whole texels, so that each pixel names one
    }
    void TearDown() override { player_settings.texture_filter = TextureFilter::automatic; }

    // Runs the commands as one task of `family` on a cleared frame; console pixels are window
    // pixels (the colour image is as wide as the window).
    void run(int family, std::initializer_list<Command> commands) {
        DisplayList dl(c, kList);
        dl.add({cmd::set_color_image(uint32_t(window_width), 0x200000),
                cmd::set_scissor(0, 0, uint32_t(window_width), uint32_t(window_height))});
        dl.add(commands).add(family == 4 || family == 8 ? uc4::end_dl() : s2d::end_dl(7));
        UcodeType = uint32_t(family);
        run_interpreted_task(dl.start());
    }
    // Console pixel (x, y), y down.
    Rgba at(int x, int y) { return pixel_at(x, window_height - 1 - y); }
    Console& c = test_console();
};

// RGBA 8-8-8-8 texels: red = column, green = row.
void write_position_image(Console& c, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c.write_u32(kImage + 4 * uint32_t(y * w + x),
                        uint32_t(x) << 24 | uint32_t(y) << 16 | 0x80FF);
}

TEST_F(Ucode7And8, BackgroundsShowTheTexelOfEachPixelAndLoopAtTheEdges) {
    constexpr int W = 100, H = 60;
    const struct {
        const char* what;
        bool scaled;
        float scale, s, t, frame_w, frame_h;
        bool flip = false;
    } cases[] = {
        {"copy 1:1", false, 1, 0, 0, 100, 60},
        {"copy scrolled past the right and bottom edges", false, 1, 30, 20, 100, 60},
        {"1-cycle 2 texels a pixel, scrolled", true, 2, 10, 6, 50, 30},
        {"1-cycle half a texel a pixel, scrolled", true, 0.5f, 70, 45, 200, 120},
        {"1-cycle frame larger than the picture", true, 1, 5, 0, 150, 90},
        {"copy mirrored, scrolled", false, 1, 30, 20, 100, 60, true},
        {"1-cycle mirrored, 2 texels a pixel", true, 2, 10, 6, 50, 30, true},
    };
    for (int family : {7, 8})
        for (const auto& k : cases) {
            reset_texture_cache();
            write_position_image(c, W, H);
            s2d::Bg bg{kImage, W, H, 20, 10, k.frame_w, k.frame_h, k.s, k.t, 0, 3};
            bg.scale_w = bg.scale_h = k.scale;
            bg.flip                 = k.flip;
            s2d::write_bg(c, kRecord, bg);
            const Command mode = k.scaled ? cmd::set_cycle_type(0) : cmd::set_cycle_type(2);
            run(family,
                {mode, cmd::set_combine_keys(kTexelKeys, kTexelKeys), cmd::set_prim_color(~0u),
                 k.scaled ? s2d::bg_1cyc(family, kRecord) : s2d::bg_copy(family, kRecord)});
            const int drawn_w = int(std::min(k.frame_w, W / k.scale));
            const int drawn_h = int(std::min(k.frame_h, H / k.scale));
            int wrong         = 0;
            for (int j = -1; j <= drawn_h && wrong < 3; ++j)
                for (int i = -1; i <= drawn_w && wrong < 3; ++i) {
                    const Rgba p = at(20 + i, 10 + j);
                    int r = 0, g = 0, b = 0;
                    if (i >= 0 && j >= 0 && i < drawn_w && j < drawn_h) {
                        const float bias    = k.scale < 1 ? 0.5f * k.scale : 0.5f;
                        const int from_left = k.flip ? drawn_w - 1 - i : i;
                        int s = int(std::floor(k.s + float(from_left) * k.scale + bias));
                        int t = int(std::floor(k.t + float(j) * k.scale + bias));
                        t     = (t + s / W) % H; // a line goes on with the next one
                        s %= W;
                        r = s, g = t, b = 0x80;
                    }
                    if (!near(p, r, g, b, 0))
                        ADD_FAILURE() << "family " << family << ", " << k.what << ": pixel (" << i
                                      << ", " << j << ") shows " << describe(p) << ", not (" << r
                                      << ", " << g << ", " << b << ")",
                            ++wrong;
                }
        }
}

// An 8 x 4 RGBA 8-8-8-8 texture, red = 16 x column, green = 32 x row, loaded by G_OBJ_LOADTXTR
// unless status word `sid` already holds `flag`.
constexpr uint32_t kTexture = 0x310000, kSprites = 0x181000, kMatrix = 0x182000;
void write_texture_load(Console& c, uint32_t at, uint32_t image, uint32_t flag) {
    s2d::write_txtr_block(c, at, image, 0, 16, 4, 0, flag, 0xFFFFFFFF);
}
void write_position_texture(Console& c, uint32_t image, uint32_t blue) {
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            c.write_u32(image + 4 * (y * 8 + x),
                        (16 * x) << 24 | (32 * y) << 16 | blue << 8 | 0xFF);
}

TEST_F(Ucode7And8, SpritesArePlacedScaledFlippedAndTurned) {
    using obj::sprite::kFlipS;
    using obj::sprite::kFlipT;
    // Where texel (s, t) of the sprite lands: pixel x0 + ax * s + bx * t (likewise y), each
    // texel `size` pixels a side.
    const struct {
        const char* what;
        s2d::Sprite sprite;
        int kind; // 0 rectangle, 1 rectangle through the sub-matrix, 2 sprite through the matrix
        int x0, y0, ax, bx, ay, by, size;
    } cases[] = {
        {"placed", {10, 10, 8, 4, 1, 1, 4, 0, 0, 3}, 0, 10, 10, 1, 0, 0, 1, 1},
        {"scaled", {30, 10, 8, 4, 0.5f, 0.5f, 4, 0, 0, 3}, 0, 30, 10, 1, 0, 0, 1, 2},
        {"mirrored in s", {60, 10, 8, 4, 1, 1, 4, 0, 0, 3, 0, kFlipS}, 0, 67, 10, -1, 0, 0, 1, 1},
        {"mirrored in t", {80, 10, 8, 4, 1, 1, 4, 0, 0, 3, 0, kFlipT}, 0, 80, 13, 1, 0, 0, -1, 1},
        {"sub-matrix", {2, 1, 8, 4, 1, 1, 4, 0, 0, 3}, 1, 104, 52, 1, 0, 0, 1, 2},
        {"turned a quarter", {0, 0, 8, 4, 1, 1, 4, 0, 0, 3}, 2, 199, 100, 0, -1, 1, 0, 1},
    };
    write_position_texture(c, kTexture, 0x80);
    write_texture_load(c, kRecord, kTexture, 1);
    s2d::write_matrix(c, kMatrix, 0, -1, 1, 0, 200, 100);
    s2d::write_matrix(c, kMatrix + 32, 1, 0, 0, 1, 100, 50, 0.5f, 0.5f);
    for (int family : {7, 8}) {
        DisplayList dl(c, 0x120000);
        for (uint32_t i = 0; i < std::size(cases); ++i) {
            s2d::write_sprite(c, kSprites + 32 * i, cases[i].sprite);
            // The sub-matrix is the matrix's last 8 bytes.
            if (cases[i].kind == 1) dl.add(s2d::sub_matrix(family, kMatrix + 32 + 16));
            if (cases[i].kind == 2) dl.add(s2d::matrix(family, kMatrix));
            const Command draw[] = {s2d::rectangle(family, kSprites + 32 * i),
                                    s2d::rectangle_r(family, kSprites + 32 * i),
                                    s2d::sprite(family, kSprites + 32 * i)};
            dl.add(draw[cases[i].kind]);
        }
        dl.add(s2d::end_dl(family));
        run(family, {cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelKeys, kTexelKeys),
                     cmd::set_prim_color(~0u), s2d::load_txtr(family, kRecord),
                     s2d::call_dl(family, 0x120000)});
        for (const auto& k : cases)
            for (int t = 0; t < 4; ++t)
                for (int s = 0; s < 8; ++s)
                    for (int d = 0; d < k.size * k.size; ++d) {
                        const int x  = k.x0 + (k.ax * s + k.bx * t) * k.size + d % k.size;
                        const int y  = k.y0 + (k.ay * s + k.by * t) * k.size + d / k.size;
                        const Rgba p = at(x, y);
                        if (!near(p, 16 * s, 32 * t, 0x80, 0)) {
                            ADD_FAILURE()
                                << "family " << family << ", " << k.what << ": texel (" << s << ", "
                                << t << ") at (" << x << ", " << y << ") shows " << describe(p);
                            s = 8, t = 4, d = 99;
                        }
                    }
    }
}

// G_OBJ_LOADTXTR and G_SELECT_DL skip what the status word says is already done.
TEST_F(Ucode7And8, TheStatusWordSkipsLoadsAndListsAlreadyDone) {
    write_position_texture(c, kTexture, 0x80);
    write_position_texture(c, kTexture + 0x100, 0x40);
    write_texture_load(c, kRecord, kTexture, 1);
    write_texture_load(c, kRecord + 32, kTexture + 0x100, 1);
    for (uint32_t i = 0; i < 4; ++i)
        s2d::write_sprite(c, kSprites + 32 * i, {float(10 + 20 * i), 10, 8, 4, 1, 1, 4, 0, 0, 3});
    for (int family : {7, 8}) {
        DisplayList called(c, 0x120000);
        called.add({s2d::rectangle(family, kSprites + 96), s2d::end_dl(family)});
        DisplayList dl(c, 0x110000);
        dl.add({cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelKeys, kTexelKeys),
                cmd::set_prim_color(~0u), s2d::set_status(family, 0, 0),
                s2d::set_status(family, 4, 0), s2d::load_txtr(family, kRecord),
                s2d::rectangle(family, kSprites), s2d::load_txtr(family, kRecord + 32),
                s2d::rectangle(family, kSprites + 32), s2d::set_status(family, 0, 0),
                s2d::load_txtr(family, kRecord + 32), s2d::rectangle(family, kSprites + 64)});
        s2d::select_dl(dl, family, 4, 5, 0x120000, 0xFF);
        dl.add(s2d::moveword(family, 6, 0, 0)); // anything between
        dl.add(cmd::set_fill_color(0));
        s2d::select_dl(dl, family, 4, 5, 0x120000, 0xFF);
        dl.add(s2d::end_dl(family));
        run(family, {s2d::call_dl(family, 0x110000)});
        const int blue[] = {0x80, 0x80, 0x40, 0x40};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(near(at(10 + 20 * i + 1, 11), 16, 32, blue[i], 0))
                << "family " << family << ", sprite " << i << ": " << describe(at(11 + 20 * i, 11));
        EXPECT_EQ(rdp_reg.obj.status[1], 5u);
    }
}

// G_LOAD_UCODE: a known text switches the row for the rest of the task only; an unknown one
// changes nothing and is read once.
TEST_F(Ucode7And8, LoadUcodeSwitchesRowsForTheRestOfTheTask) {
    write_position_image(c, 100, 60);
    s2d::write_bg(c, kRecord, {kImage, 100, 60, 20, 10, 100, 60, 0, 0, 0, 3});
    s2d::write_text(c, 0x1A0138, s2d::kS2dex2Text);
    const struct {
        const char* what;
        uint32_t data;
        bool drawn;
    } cases[] = {{"S2DEX2's text", 0x1A0000, true}, {"no text", 0x1B0000, false}};
    for (const auto& k : cases) {
        forget_ucode_texts();
        const uint32_t reads = ucode_texts_read;
        for (int task = 0; task < 2; ++task) {
            DisplayList dl(c, 0x110000);
            s2d::load_ucode(dl, 4, 0x1C0000, k.data);
            dl.add({cmd::set_cycle_type(2), s2d::bg_copy(8, kRecord), uc4::end_dl()});
            rdp_reg.geometry_mode = 0x205;
            rdp_reg.fog_factors   = 0x1234;
            run(4, {uc4::segment(3, 0x1000), uc4::call_dl(0x110000)});
            EXPECT_EQ(near(at(25, 15), 5, 5, 0x80, 0), k.drawn) << k.what;
            EXPECT_EQ(UcodeType, 4u) << k.what << ": the next task starts in family 4";
            EXPECT_EQ(rdp_reg.geometry_mode, k.drawn ? 0u : 0x205u) << k.what;
            EXPECT_EQ(rdp_reg.fog_factors, k.drawn ? 0u : 0x1234u) << k.what;
            EXPECT_EQ(rdp_reg.segments[3], 0x1000u) << k.what << ": segments survive";
        }
        EXPECT_EQ(ucode_texts_read - reads, 1u) << k.what << ": one read per address";
    }
    // Families 2 and 3 carry family 1's texts: their own row comes back.
    const struct {
        int32_t text;
        uint32_t task, row;
    } rows[] = {{1, 2, 2}, {1, 3, 3}, {1, 1, 1}, {4, 4, 4}, {7, 2, 7},
                {8, 4, 8}, {4, 2, 4}, {1, 8, 1}, {0, 0, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(row_after_switch(r.text, r.task), r.row) << r.text << " in " << r.task;
}

} // namespace
