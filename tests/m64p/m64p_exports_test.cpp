// mupen64plus-video-vexa.so as the emulator sees it: its exports and its start inside the core
#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core_host.h"
#include "scenes.h"
#include "support/exported_names.h"

namespace {

TEST(M64pExports, ExactlyTheVideoPluginFunctionsAreVisible) {
    const std::vector<std::string> names    = exported_names(VEXA_M64P_PLUGIN_PATH);
    const std::vector<std::string> expected = {"ChangeWindow",
                                               "FBGetFrameBufferInfo",
                                               "FBRead",
                                               "FBWrite",
                                               "InitiateGFX",
                                               "MoveScreen",
                                               "PluginGetVersion",
                                               "PluginShutdown",
                                               "PluginStartup",
                                               "ProcessDList",
                                               "ProcessRDPList",
                                               "ReadScreen2",
                                               "ResizeVideoOutput",
                                               "RomClosed",
                                               "RomOpen",
                                               "SetRenderingCallback",
                                               "ShowCFB",
                                               "UpdateScreen",
                                               "ViStatusChanged",
                                               "ViWidthChanged"};
    EXPECT_EQ(names, expected);
}

// The core writes the section's defaults with their descriptions on the first start.
TEST(M64pExports, StartsInsideTheCoreAndWritesItsSettings) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    int version = 0, api = 0;
    m64p_plugin_type type = M64PLUGIN_NULL;
    plugin.PluginGetVersion(&type, &version, &api, nullptr, nullptr);
    EXPECT_EQ(type, M64PLUGIN_GFX);
    EXPECT_EQ(api >> 16, 2) << "video plug-in API 2.x";

    FILE* cfg = std::fopen((core.config_dir() + "/mupen64plus.cfg").c_str(), "r");
    ASSERT_NE(cfg, nullptr) << "the section was saved to the core's configuration file";
    std::string text;
    char line[512];
    while (std::fgets(line, sizeof line, cfg))
        text += line;
    std::fclose(cfg);
    for (const char* expected : {"[Video-Vexa]", "ScreenWidth = 640", "ScreenHeight = 480",
                                 "Fullscreen = False", "# Width of the window"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    core.detach(&plugin);
}

} // namespace

namespace {

// The window follows [Video-General]; a size that is no window size gives the default one.
TEST(M64pSettings, WindowSizeAndFullScreenSwitch) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    static Console console;
    VideoRegisters registers;
    const struct {
        int width, height, expected_width, expected_height;
    } cases[] = {
        {400, 300, 400, 300}, {0, 480, 640, 480}, {640, -2, 640, 480}, {100000, 200, 640, 480}};
    for (const auto& c : cases) {
        ASSERT_TRUE(core.set_parameter("Video-General", "ScreenWidth", c.width));
        ASSERT_TRUE(core.set_parameter("Video-General", "ScreenHeight", c.height));
        ASSERT_TRUE(plugin.InitiateGFX(core.gfx_info(console, registers)));
        ASSERT_TRUE(plugin.RomOpen());
        int width = 0, height = 0;
        plugin.ReadScreen2(nullptr, &width, &height, 0);
        EXPECT_EQ(width, c.expected_width) << c.width << " x " << c.height;
        EXPECT_EQ(height, c.expected_height) << c.width << " x " << c.height;
        plugin.RomClosed();
    }

    // Full screen and back, and a resize by the user: the next frame has the new size. The
    // resize gives a new context (OpenGL's default state, no textures): the test builds' check
    // of the idle state after the task finds the plug-in's state made anew in it.
    ASSERT_TRUE(plugin.RomOpen());
    plugin.ChangeWindow();
    plugin.ChangeWindow();
    plugin.ResizeVideoOutput(320, 240);
    set_gfx_task(console, 0x100000, ucode_text_of_family(0));
    console.write_u32(0x100000, 0xB8000000); // an empty display list
    for (int task = 0; task < 2; ++task)
        plugin.ProcessDList();
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    ASSERT_TRUE(read_screen(plugin, &rgb, &width, &height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    plugin.RomClosed();
    core.detach(&plugin);
}

} // namespace

namespace {

// [Video-Vexa]'s own settings reach the window and the textures; values it does not know give
// the defaults. A display that cannot set the swap interval says so in the log.
TEST(M64pSettings, MultiSamplingTextureFilterAndVerticalSync) {
    CoreHost core;
    std::string error;
    ASSERT_TRUE(core.start(&error)) << error;
    VideoPlugin plugin;
    ASSERT_TRUE(core.attach(VEXA_M64P_PLUGIN_PATH, &plugin, &error)) << error;
    static Console console;
    VideoRegisters registers;
    const Scene* mesh = find_scene("mesh");
    const struct {
        int samples;
        const char* filter;
        int vsync, expected_samples, expected_filter;
    } cases[] = {{0, "bilinear", 0, 0, GL_LINEAR},
                 {4, "Nearest", 1, 4, GL_NEAREST},
                 {3, "sharp", 0, 0, GL_NEAREST}}; // auto: the scene asks for G_TF_POINT
    for (const auto& c : cases) {
        core.set_parameter("Video-Vexa", "MultiSampling", c.samples);
        core.set_parameter("Video-Vexa", "TextureFilter", c.filter);
        core.set_parameter("Video-General", "VerticalSync", c.vsync);
        core.messages.clear();
        ASSERT_TRUE(plugin.InitiateGFX(core.gfx_info(console, registers)) && plugin.RomOpen());
        set_gfx_task(console, mesh->build(console, 0), ucode_text_of_family(mesh->family));
        plugin.ProcessDList();
        GLint samples = -1, filter = -1;
        glGetIntegerv(GL_SAMPLES, &samples);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        EXPECT_EQ(samples, c.expected_samples) << c.samples;
        EXPECT_EQ(filter, c.expected_filter) << c.filter;
        const bool refused = std::any_of(core.messages.begin(), core.messages.end(), [](auto& m) {
            return m.text.find("cannot swap") != std::string::npos;
        });
        EXPECT_TRUE(SDL_GL_GetSwapInterval() == c.vsync || refused) << c.vsync;
        plugin.RomClosed();
    }
    core.detach(&plugin);
}

} // namespace
