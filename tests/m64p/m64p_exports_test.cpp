// mupen64plus-video-vexa.so as the emulator sees it: its exports and its start inside the core
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core_host.h"
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
