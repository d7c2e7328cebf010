// The plug-in as a host sees it: loaded with dlopen and driven through its exports
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console.h"
#include "dl_builder.h"
#include "host_ini.h"
#include "plugin_loader.h"
#include "support/exported_names.h"
#include "support/loaded_plugin.h"

namespace {

Plugin& plugin() { return loaded_plugin(); }

Console& console() {
    static Console* c = new Console;
    return *c;
}

GLint get_int(GLenum e) {
    GLint v = 0;
    glGetIntegerv(e, &v);
    return v;
}

TEST(Exports, OnlyTheFourteenFunctionsAreVisible) {
    const std::vector<std::string> names    = exported_names(VEXA_PLUGIN_PATH);
    const std::vector<std::string> expected = {
        "ChangeWindow", "DllAbout",     "DllConfig",       "DllTest",       "DrawScreen",
        "GetDllInfo",   "InitiateGFX",  "MoveScreen",      "ProcessDList",  "RomClosed",
        "RomOpen",      "UpdateScreen", "ViStatusChanged", "ViWidthChanged"};
    EXPECT_EQ(names, expected);
}

TEST(Exports, GetDllInfoWritesExactlyItsFields) {
    unsigned char record[112];
    std::memset(record, 0xCC, sizeof record);
    plugin().GetDllInfo(reinterpret_cast<PluginInfo*>(record));
    EXPECT_EQ(record[0] | record[1] << 8, 0x0102);
    EXPECT_EQ(record[2] | record[3] << 8, 2);
    const char name[] = "New Vexa OpenGL v0.1";
    EXPECT_EQ(std::memcmp(record + 4, name, sizeof name), 0);
    for (size_t i = 4 + sizeof name; i < 104; ++i)
        EXPECT_EQ(record[i], 0xCC) << "byte " << i << " after the name is untouched";
    int32_t plain, swapped;
    std::memcpy(&plain, record + 104, 4);
    std::memcpy(&swapped, record + 108, 4);
    EXPECT_EQ(plain, 0);
    EXPECT_EQ(swapped, 1);
}

// One process, one plug-in: the lifecycle runs in order inside one test.
TEST(Exports, TaskLifecycle) {
    Console& c = console();
    // Before InitiateGFX the host pointers are null: nothing happens.
    plugin().ProcessDList();

    // A game whose family the user has saved: no box holds the tasks.
    c.set_rom_header(0x4C494645u, 0x43594C45u, 0x45, "LIFECYCLE");
    std::string error;
    ASSERT_TRUE(save_family_choice(c.rom_header, 0, &error)) << error;

    ASSERT_EQ(plugin().InitiateGFX(c.gfx_info(nullptr)), 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_PROJECTION);

    // A frame: a scissor for the next task, then the end.
    DisplayList dl(c, 0x100000);
    dl.add({cmd::set_scissor(10, 20, 110, 220), cmd::end_dl()});
    c.set_task(dl.start());

    // Paint the buffer red so that the clear is visible.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    c.mi_interrupt = 0x1234;
    plugin().ProcessDList();
    EXPECT_EQ(c.mi_interrupt, 0x20u) << "the first task only signals the host";
    GLubyte px[4];
    glReadPixels(50, 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 255) << "the first task draws nothing";

    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[2], 640) << "the default scissor 320 x 240 scaled to the 640 x 480 window";
    EXPECT_EQ(box[3], 480);

    c.mi_interrupt = 0;
    plugin().ProcessDList();
    EXPECT_EQ(c.mi_interrupt, 0u);
    glReadPixels(50, 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 0);
    EXPECT_EQ(px[3], 255) << "cleared to opaque black";

    // The scissor of the second task reaches OpenGL at the third.
    plugin().ProcessDList();
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 20);
    EXPECT_EQ(box[1], 40) << "y measured from the bottom: (240 - 220) x 2";
    EXPECT_EQ(box[2], 200);
    EXPECT_EQ(box[3], 400);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST(VexaHost, RendersTheClearedFrameToPng) {
    char dir[] = "/tmp/vexa-host-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string command = std::string(VEXA_HOST_PATH) + " --scene clear --out " + dir +
                          " --plugin " + VEXA_PLUGIN_PATH + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string png = std::string(dir) + "/clear-000.png";
    FILE* f         = std::fopen(png.c_str(), "rb");
    ASSERT_NE(f, nullptr) << png;
    unsigned char sig[8];
    ASSERT_EQ(std::fread(sig, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8), 0);
    std::system((std::string("rm -rf ") + dir).c_str());
}

TEST(VexaHost, ExplainsAMissingLibraryAndAnUnwritableFolder) {
    std::string missing =
        std::string(VEXA_HOST_PATH) + " --scene clear --out /tmp --plugin /nonexistent/lib.so 2>&1";
    FILE* f       = popen(missing.c_str(), "r");
    char buf[512] = {};
    size_t n      = std::fread(buf, 1, sizeof buf - 1, f);
    buf[n]        = 0;
    EXPECT_NE(pclose(f), 0);
    EXPECT_NE(std::string(buf).find("cannot load the plug-in /nonexistent/lib.so"),
              std::string::npos)
        << buf;

    std::string unwritable = std::string(VEXA_HOST_PATH) + " --out /proc/forbidden 2>&1";
    f                      = popen(unwritable.c_str(), "r");
    n                      = std::fread(buf, 1, sizeof buf - 1, f);
    buf[n]                 = 0;
    EXPECT_NE(pclose(f), 0);
    EXPECT_NE(std::string(buf).find("cannot write to the output folder /proc/forbidden"),
              std::string::npos)
        << buf;
}

} // namespace
