// When a frame is shown inside Debian's core, and the depth fill of a frame's later task
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "core_host.h"
#include "dl_rdp.h"

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
                 {"two buffers, the VI still shows the other", kOther, kShown, 0},
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

} // namespace
