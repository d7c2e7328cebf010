// When a frame is shown inside Debian's core, and the depth fill of a frame's later task; the
// picture the CPU draws into the image the VI keeps showing
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "core_host.h"
#include "dl_rdp.h"
#include "dl_texture.h"

namespace {

int presents;

TEST(M64pFrames, ShownWhenTheViShowsIt) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    plugin.SetRenderingCallback([](int) { ++presents; });
    static Console console;
    VideoRegisters registers;
    const uint32_t kShown = 0x200000, kOther = 0x240000, kDepth = 0x300000;
    const struct {
        const char* what;
        uint32_t image, origin_after;
        int expected_presents;
    } cases[] = {{"two buffers, the VI moves to the drawn one", kOther, kOther, 1},
                 // What the VI shows, no task's picture, is presented again after a task: the
                 // picture RDRAM holds there.
                 {"two buffers, the VI still shows the other", kOther, kShown, 1},
                 {"one buffer, the VI never moves", kShown, kShown, 1}};
    for (const auto& c : cases) {
        ASSERT_TRUE(plugin.InitiateGFX(core.gfx_info(console, registers)));
        ASSERT_TRUE(plugin.RomOpen());
        registers.vi_origin = kShown;
        plugin.UpdateScreen();
        presents = 0;
        // The second task of the frame fills the left half of the depth image.
        for (const bool second : {false, true}) {
            if (second) {
                glDepthMask(GL_TRUE);
                glDisable(GL_SCISSOR_TEST);
                glClearDepth(0.0);
                glClear(GL_DEPTH_BUFFER_BIT);
            }
            DisplayList dl(console, 0x100000);
            dl.add({cmd::set_color_image(320, second ? kDepth : c.image),
                    cmd::set_depth_image(kDepth), cmd::set_scissor(0, 0, 320, 240),
                    cmd::set_cycle_type(3), cmd::fill_rect(0, 0, 159, 239),
                    cmd::set_color_image(320, c.image), cmd::end_dl()});
            set_gfx_task(console, dl.start(), ucode_text_of_family(0));
            plugin.ProcessDList();
        }
        float depth[2] = {};
        glReadPixels(160, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
        glReadPixels(480, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
        EXPECT_EQ(depth[0], 1.0f) << c.what;
        EXPECT_EQ(depth[1], 0.0f) << c.what;
        registers.vi_origin = c.origin_after;
        plugin.UpdateScreen();
        EXPECT_EQ(presents, c.expected_presents) << c.what;
        plugin.RomClosed();
    }
    core.detach(&plugin);
}

// The VI keeps showing one image that the CPU draws (vi_origin never moves) for four fields. The
// plug-in presents its picture from RDRAM when the CPU changed it or said it wrote there
// (FBWrite), and in a field after a task (which draws into another image), so that the front
// end's screenshots come; never twice a field, and never for the plug-in's own copy-back into
// it (a task's picture, shown earlier, that a load of the next frame reads) nor with
// CopyFrameToRdram=off.
TEST(M64pFrames, PictureTheCpuDrawsIntoTheShownImage) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    plugin.SetRenderingCallback([](int) { ++presents; });
    static Console console;
    VideoRegisters registers;
    const uint32_t kShown = 0x400000, kOther = 0x240000, kDepth = 0x300000;
    enum { cpu_draws = 1, fb_write = 2, task = 4, tasks_drew_it = 8, reads_it = 16, off = 32 };
    const struct {
        const char* what;
        int does, expected_presents;
    } cases[] = {
        {"the CPU changes it", cpu_draws, 4},
        {"nothing changes", 0, 0},
        {"FBWrite, RDRAM as it was", fb_write, 4},
        {"tasks into another image", task, 4},
        {"the CPU changes it, off", cpu_draws | off, 0},
        {"a task's picture copied back into it", tasks_drew_it | task | reads_it, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(
            core.set_parameter("Video-Vexa", "CopyFrameToRdram", c.does & off ? "off" : "auto"));
        ASSERT_TRUE(plugin.InitiateGFX(core.gfx_info(console, registers)));
        ASSERT_TRUE(plugin.RomOpen());
        for (uint32_t p = 0; p < 320 * 240; ++p)
            console.write_u16(kShown + 2 * p, 0x07C1); // green
        const auto run_task = [&](uint32_t image, bool read_shown) {
            DisplayList dl(console, 0x100000);
            dl.add({cmd::set_color_image(320, image), cmd::set_depth_image(kDepth),
                    cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
                    cmd::fill_rect(0, 0, 319, 239)});
            if (read_shown)
                dl.add({tex::set_texture_image(tex::rgba, tex::b16, 320, kShown),
                        tex::load_block(7, 0, 0, 64)});
            dl.add(cmd::end_dl());
            set_gfx_task(console, dl.start(), ucode_text_of_family(0));
            plugin.ProcessDList();
        };
        if (c.does & tasks_drew_it) run_task(kShown, false);
        registers.vi_origin = kShown;
        plugin.UpdateScreen(); // the VI moves there: shown
        plugin.UpdateScreen(); // nothing new
        presents = 0;
        for (uint32_t field = 0; field < 4; ++field) {
            if (c.does & cpu_draws)
                for (uint32_t p = 0; p < 320 * 8; ++p)
                    console.write_u16(kShown + 2 * p, field & 1 ? 0x003F : 0xF801);
            if (c.does & fb_write) plugin.FBWrite(kShown, 2);
            if (c.does & task) run_task(kOther, c.does & reads_it);
            plugin.UpdateScreen();
        }
        EXPECT_EQ(presents, c.expected_presents) << c.what;
        if (c.does == cpu_draws) {
            unsigned char top[4] = {}, below[4] = {};
            glReadPixels(10, 475, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, top);
            glReadPixels(10, 400, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, below);
            EXPECT_TRUE(top[2] > 200 && top[0] < 50) << c.what << ": the last field's blue";
            EXPECT_TRUE(below[1] > 200 && below[0] < 50) << c.what << ": green below it";
        }
        plugin.RomClosed();
    }
    ASSERT_TRUE(core.set_parameter("Video-Vexa", "CopyFrameToRdram", "auto"));
    core.detach(&plugin);
}

} // namespace
