// Frames inside Debian's core: every task draws into the frame in progress, which is shown
// when the VI shows a new image, unless SkipEveryOtherTask brings back the system's rule
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "core_host.h"
#include "dl_rdp.h"
#include "dl_ucode0.h"

namespace {

constexpr uint32_t kDepth = 0x300000, kViewport = 0x180000, kMatrix = 0x180100;
constexpr uint32_t kVertices = 0x190000;

int presents;

// A task of family 0: a blue fill of the whole colour image (the first task of a frame
// only), the depth image filled, and a quad over the left half at depth `z` (-50 near,
// 50 far) in one colour.
uint32_t task(Console& c, uint32_t list, uint32_t image, bool first, int16_t z, uint8_t g) {
    const uint32_t vertices     = kVertices + (first ? 0 : 64);
    const int16_t corners[4][2] = {{-100, -100}, {0, -100}, {0, 100}, {-100, 100}};
    for (int v = 0; v < 4; ++v)
        uc0::write_vertex(c, vertices + 16 * v, corners[v][0], corners[v][1], z, 0, 0, 255 - g, g,
                          0, 255);
    DisplayList dl(c, list);
    dl.add({cmd::set_color_image(320, image), cmd::set_depth_image(kDepth),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3)});
    if (first)
        dl.add({cmd::set_fill_color(cmd::fill_color16(0, 0, 255)), cmd::fill_rect(0, 0, 319, 239)});
    dl.add({cmd::set_color_image(320, kDepth), cmd::set_fill_color(0xFFFCFFFC),
            cmd::fill_rect(0, 0, 319, 239), cmd::set_color_image(320, image),
            cmd::set_cycle_type(0), uc0::viewport(kViewport),
            uc0::render_mode(uc0::kZCompare | uc0::kZUpdate), uc0::clear_geometry_mode(~0u),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade), uc0::combine_shade(),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrix),
            uc0::matrix(uc0::kLoad, kMatrix + 64), uc0::vertex(0, 4, vertices), uc0::tri1(0, 1, 2),
            uc0::tri1(0, 2, 3), cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

TEST(M64pFrames, TasksOfAFrameAndWhenItIsShown) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    plugin.SetRenderingCallback([](int) { ++presents; });
    static Console console;
    VideoRegisters registers;
    uc0::write_viewport(console, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(console, kMatrix, uc0::scaling(0.01f));
    uc0::write_matrix(console, kMatrix + 64, uc0::identity());

    // A near red quad, then in the same frame a far green one over it: it shows only where
    // the second task's depth fill cleared the depth, and the blue fill stays beside it.
    const uint32_t kShown = 0x200000, kOther = 0x240000;
    const struct {
        const char* what;
        int skip;
        uint32_t image, origin_after;
        int expected_presents;
        uint8_t left_green, right_blue;
    } cases[] = {
        {"two buffers, the VI moves to the drawn one", 0, kOther, kOther, 1, 255, 255},
        {"two buffers, the VI still shows the other", 0, kOther, kShown, 0, 255, 255},
        {"one buffer, the VI never moves", 0, kShown, kShown, 1, 255, 255},
        {"SkipEveryOtherTask: the second task alone, on black", 1, kOther, kOther, 1, 255, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(core.set_parameter("Video-Vexa", "SkipEveryOtherTask", c.skip));
        ASSERT_TRUE(plugin.InitiateGFX(core.gfx_info(console, registers)));
        ASSERT_TRUE(plugin.RomOpen());
        registers.vi_origin = kShown;
        plugin.UpdateScreen();
        presents = 0;
        for (const bool first : {true, false}) {
            set_gfx_task(console,
                         task(console, first ? 0x100000 : 0x101000, c.image, first,
                              first ? -50 : 50, first ? 0 : 255),
                         ucode_text_of_family(0));
            plugin.ProcessDList();
        }
        registers.vi_origin = c.origin_after;
        plugin.UpdateScreen();
        EXPECT_EQ(presents, c.expected_presents) << c.what;
        unsigned char left[4] = {}, right[4] = {};
        glReadPixels(160, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, left);
        glReadPixels(480, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
        EXPECT_EQ(left[1], c.left_green) << c.what;
        EXPECT_EQ(right[2], c.right_blue) << c.what;
        plugin.RomClosed();
    }
    core.detach(&plugin);
}

} // namespace
