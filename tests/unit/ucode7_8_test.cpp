// The 2-D families by picture: backgrounds whose texels name their own position, sprites, the
// status test, and G_LOAD_UCODE switching rows inside a task
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

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
        nearest_texels = true; // whole texels, so that each pixel names one
    }
    void TearDown() override { nearest_texels = false; }

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
    } cases[] = {
        {"copy 1:1", false, 1, 0, 0, 100, 60},
        {"copy scrolled past the right and bottom edges", false, 1, 30, 20, 100, 60},
        {"1-cycle 2 texels a pixel, scrolled", true, 2, 10, 6, 50, 30},
        {"1-cycle half a texel a pixel, scrolled", true, 0.5f, 70, 45, 200, 120},
        {"1-cycle frame larger than the picture", true, 1, 5, 0, 150, 90},
    };
    for (int family : {7, 8})
        for (const auto& k : cases) {
            reset_texture_cache();
            write_position_image(c, W, H);
            s2d::Bg bg{kImage, W, H, 20, 10, k.frame_w, k.frame_h, k.s, k.t, 0, 3};
            bg.scale_w = bg.scale_h = k.scale;
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
                        const float bias = k.scale < 1 ? 0.5f * k.scale : 0.5f;
                        int s            = int(std::floor(k.s + float(i) * k.scale + bias));
                        int t            = int(std::floor(k.t + float(j) * k.scale + bias));
                        t                = (t + s / W) % H; // a line goes on with the next one
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

} // namespace
