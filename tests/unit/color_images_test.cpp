// Pictures copied back into RDRAM stay inside RDRAM and their image; frames the CPU drew
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dl_rdp.h"
#include "dl_texture.h"
#include "framebuffer/color_images.h"
#include "host/plugin.h"
#include "state/rdram.h"
#include "support/test_host.h"

namespace {

constexpr uint32_t kDepth = 0x300000, k4Mb = 0x400000;

// An image is drawn (a red fill); a load in the next frame (a pause screen: the window was
// cleared, its picture kept in a texture as the test's window has no front buffer) reads
// `read_at`: the bytes written into RDRAM are exactly [from, to) and red, none where from == to.
TEST(ColorImages, CopiesStayInsideRdramAndTheImage) {
    attach_test_host();
    const struct {
        const char* what;
        uint32_t image, width, rdram_size, read_at, from, to;
    } cases[] = {
        {"a 320 x 240 image", 0x100000, 320, kRdramSize, 0x100000 + 640, 0x100000,
         0x100000 + 640 * 240},
        {"past the end of RDRAM: its whole lines", 0x7FF000, 320, kRdramSize, 0x7FF000, 0x7FF000,
         0x7FF000 + 640 * 6},
        {"past the host's 4 MB", k4Mb - 0x1000, 320, k4Mb, k4Mb - 0x1000, k4Mb - 0x1000,
         k4Mb - 0x1000 + 640 * 6},
        {"4,000 pixels wide", 0x100000, 4000, kRdramSize, 0x100000, 0x100000,
         0x100000 + 8000 * 240},
        {"at an odd address: its pixels on their halfwords", kRdramSize - 641, 320, kRdramSize,
         kRdramSize - 641, kRdramSize - 644, kRdramSize},
        {"the depth image", kDepth, 320, kRdramSize, kDepth, 0, 0},
        {"a load outside every image", 0x100000, 320, kRdramSize, 0x200000, 0, 0},
    };
    for (const auto& c : cases) {
        reset_core_state();
        Console& console = test_console();
        std::fill(console.rdram.begin(), console.rdram.end(), 0xA5);
        framebuffer_rdram_size = c.rdram_size;
        DisplayList draw(console, 0x1000), load(console, 0x2000);
        draw.add({cmd::set_color_image(c.width, c.image), cmd::set_depth_image(kDepth),
                  cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
                  cmd::set_fill_color(cmd::fill_color16(240, 40, 40)),
                  cmd::fill_rect(0, 0, 319, 239), cmd::end_dl()});
        load.add({cmd::set_color_image(320, 0x500000),
                  tex::set_texture_image(tex::rgba, tex::b16, 320, c.read_at),
                  tex::load_block(7, 0, 0, 64), cmd::end_dl()});
        run_interpreted_task(draw.start());
        run_interpreted_task(load.start());
        // The CPU's calls outside RDRAM and every image change nothing.
        before_rdram_read(0xFFFFF000u, 0x2000);
        note_cpu_write(0x900000, 0xFFFFFFFFu);
        const auto changed = [](uint8_t b) { return b != 0xA5; };
        // Past the lists at 0x1000.
        const auto first =
            std::find_if(console.rdram.begin() + 0x10000, console.rdram.end(), changed);
        const auto last     = std::find_if(console.rdram.rbegin(), console.rdram.rend(), changed);
        const uint32_t from = static_cast<uint32_t>(first - console.rdram.begin());
        const uint32_t to   = static_cast<uint32_t>(console.rdram.rend() - last);
        EXPECT_EQ(c.from == c.to ? 0 : c.from, from == kRdramSize ? 0 : from) << c.what;
        EXPECT_EQ(c.to, from == kRdramSize ? 0 : to) << c.what;
        if (c.from != c.to) {
            EXPECT_EQ(console.read_u32(c.from + 4), 0xF14BF14Bu) << c.what << ": red";
        }
    }
    framebuffer_rdram_size = kRdramSize;
}

// On a window without a front buffer the last frame's picture stays in the window until the next
// frame's first drawing: a pause screen that loads it first finds it. It is kept in a texture at
// that drawing only once the game has read a picture of an earlier frame: a game that never
// does pays nothing, one that draws first finds it from its second time.
TEST(ColorImages, PicturesOfEarlierFramesKeptOnceTheGameReadsOne) {
    attach_test_host();
    const struct {
        const char* what;
        bool read_before, draws_first, copied;
    } cases[] = {
        {"a load before the frame's first drawing", false, false, true},
        {"drawing first, no picture read before", false, true, false},
        {"drawing first, once a picture was read", true, true, true},
    };
    for (const auto& c : cases) {
        reset_core_state();
        Console& console = test_console();
        DisplayList draw(console, 0x1000), load(console, 0x2000), fill_load(console, 0x3000);
        draw.add({cmd::set_color_image(320, 0x100000), cmd::set_depth_image(kDepth),
                  cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
                  cmd::set_fill_color(cmd::fill_color16(240, 40, 40)),
                  cmd::fill_rect(0, 0, 319, 239), cmd::end_dl()});
        const Command read_x[] = {tex::set_texture_image(tex::rgba, tex::b16, 320, 0x100000),
                                  tex::load_block(7, 0, 0, 64)};
        load.add({cmd::set_color_image(320, 0x500000), read_x[0], read_x[1], cmd::end_dl()});
        fill_load.add({cmd::set_color_image(320, 0x500000), cmd::set_cycle_type(3),
                       cmd::set_fill_color(cmd::fill_color16(40, 240, 40)),
                       cmd::fill_rect(0, 0, 319, 239), read_x[0], read_x[1], cmd::end_dl()});
        if (c.read_before) {
            run_interpreted_task(draw.start());
            run_interpreted_task(load.start());
        }
        for (uint32_t a = 0x100000; a < 0x100000 + 640 * 240; a += 4)
            console.write_u32(a, 0xA5A5A5A5);
        run_interpreted_task(draw.start());
        run_interpreted_task(c.draws_first ? fill_load.start() : load.start());
        EXPECT_EQ(console.read_u32(0x100004), c.copied ? 0xF14BF14Bu : 0xA5A5A5A5u) << c.what;
    }
}

// Without a host that tells which image the VI shows, the VI registers among the host's
// others do: a new origin with no task since the last field shows RDRAM there, scaled; at the
// same origin a picture the CPU changed is shown, and after a task (which draws into another
// image) the same picture again; an unchanged one is not drawn (the window keeps the magenta
// put there before each field).
TEST(ColorImages, FrameTheCpuDrewIsShown) {
    attach_test_host();
    reset_core_state();
    Console& console     = test_console();
    const auto cpu_draws = [&](uint16_t left) {
        for (uint32_t y = 0; y < 240; ++y)
            for (uint32_t x = 0; x < 320; ++x)
                console.write_u16(0x400000 + 2 * (320 * y + x), x < 160 ? left : 0x003F);
    };
    const uint32_t vi[21] = {0, 0, 0, 0, 0, 0, 0,          2, 0x400000, 320,  0,
                             0, 0, 0, 0, 0, 0, 0x002501FF, 0, 0,        0x400};
    std::copy(vi, vi + 21, console.other_registers);
    DisplayList task(console, 0x1000);
    task.add({cmd::set_color_image(320, 0x100000), cmd::set_scissor(0, 0, 320, 240),
              cmd::set_cycle_type(3), cmd::fill_rect(0, 0, 319, 239), cmd::end_dl()});
    const struct {
        const char* what;
        uint16_t cpu_draws; // the left half's colour, 0 for nothing
        bool task;
        uint32_t left, right; // red + 256 x blue expected
    } fields[] = {
        {"the VI moves there", 0xF801, false, 255, 256 * 255},
        {"nothing changed", 0, false, 255 + 256 * 255, 255 + 256 * 255},
        {"the CPU changed it", 0x003F, false, 256 * 255, 256 * 255},
        {"a task came", 0, true, 256 * 255, 256 * 255},
        {"nothing again", 0, false, 255 + 256 * 255, 255 + 256 * 255},
    };
    for (const auto& f : fields) {
        if (f.cpu_draws) cpu_draws(f.cpu_draws);
        if (f.task) run_interpreted_task(task.start());
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
        update_screen();
        unsigned char p[2][4];
        glReadPixels(window_width / 4, window_height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p[0]);
        glReadPixels(3 * window_width / 4, window_height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                     p[1]);
        EXPECT_EQ(p[0][0] + 256u * p[0][2], f.left) << f.what << ": on the left";
        EXPECT_EQ(p[1][0] + 256u * p[1][2], f.right) << f.what << ": on the right";
    }
    std::fill(console.other_registers, console.other_registers + 21, 0u);
}

} // namespace
