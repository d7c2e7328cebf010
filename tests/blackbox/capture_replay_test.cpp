// Frame captures through the real plug-in and tools: live frames against their replays, the
// checked-in demo captures against their pictures, and files or folders that do not work
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/config_files.h"
#include "support/pictures.h"

namespace fs = std::filesystem;

namespace {

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kHost     = VEXA_HOST_PATH;
const std::string kPlugin   = VEXA_PLUGIN_PATH;
const std::string kDis      = VEXA_DIS_PATH;
const std::string kCaptures = VEXA_CAPTURE_DATA_DIR;

std::string replay(const std::string& files, const std::string& out) {
    return kHost + " " + files + " --out " + out + " --plugin " + kPlugin;
}

// The checked-in captures of the demo scenes (scripts/make-captures) replay to their pictures.
// Four levels per channel absorb rounding differences between Mesa builds; a changed command
// moves whole areas by far more.
TEST(DemoCaptures, ReplayLikeTheirPictures) {
    TempFolder out;
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(kCaptures)) {
        if (entry.path().extension() != ".vxc") continue;
        const std::string name = entry.path().stem().string();
        ASSERT_EQ(
            run(replay("--replay " + entry.path().string(), out.path.string()) + " >/dev/null"), 0)
            << name;
        const std::string diff = compare(load_png(kCaptures + "/" + name + ".png"),
                                         load_png(out.file(name + ".png")), 4);
        EXPECT_EQ(diff, "") << name;
        ++replayed;
    }
    EXPECT_GE(replayed, 11) << "a capture per demo scene";
}

// Two consecutive frames of a moving scene, captured live and replayed in one process, give
// the live pictures exactly.
TEST(FrameCaptures, ReplayGivesTheLiveFramesPixelForPixel) {
    TempFolder dir;
    const std::string caps = dir.file("caps");
    ASSERT_EQ(run("VEXA_CAPTURE=" + caps + " VEXA_CAPTURE_FRAMES=2 " + kHost +
                  " --scene mesh --out " + dir.path.string() + " --plugin " + kPlugin +
                  " >/dev/null 2>&1"),
              0);
    const std::string first  = caps + "/4A58455607000000-45-000.vxc";
    const std::string second = caps + "/4A58455607000000-45-001.vxc";
    ASSERT_TRUE(fs::exists(first) && fs::exists(second));
    EXPECT_FALSE(fs::exists(caps + "/4A58455607000000-45-002.vxc")) << "two frames asked for";
    ASSERT_EQ(run(replay("--replay " + first + " --replay " + second, dir.file("replay")) +
                  " >/dev/null"),
              0);
    EXPECT_EQ(compare(load_png(dir.file("mesh-000.png")),
                      load_png(dir.file("replay/4A58455607000000-45-000.png")), 0),
              "");
    EXPECT_EQ(compare(load_png(dir.file("mesh-001.png")),
                      load_png(dir.file("replay/4A58455607000000-45-001.png")), 0),
              "");
}

TEST(FrameCaptures, BrokenFilesEndTheToolsWithStatusOneAndTheReason) {
    TempFolder dir;
    const std::string good = read_file(kCaptures + "/mesh.vxc");
    write_file(dir.file("cut.vxc"), good.substr(0, good.size() / 2));
    std::string newer = good;
    newer[8]          = 9;
    write_file(dir.file("newer.vxc"), newer);
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {{"cut.vxc", "truncated capture"},
                 {"newer.vxc", "version 9 is newer"},
                 {"missing.vxc", "missing.vxc"}};
    for (const auto& c : cases) {
        const std::string err = dir.file(std::string(c.file) + ".err");
        for (const std::string& tool : {replay("--replay " + dir.file(c.file), dir.file("out")),
                                        kDis + " " + dir.file(c.file)}) {
            EXPECT_EQ(run(tool + " >/dev/null 2>" + err), 1) << tool;
            EXPECT_NE(read_file(err).find(c.reason), std::string::npos)
                << tool << ": " << read_file(err);
        }
    }
}

TEST(FrameCaptures, UnwritableFolderIsSaidOnceAndTheGameGoesOn) {
    TempFolder dir;
    write_file(dir.file("a-file"), "");
    const std::string err = dir.file("stderr");
    ASSERT_EQ(run("VEXA_CAPTURE=" + dir.file("a-file") + "/caps VEXA_CAPTURE_FRAMES=3 " + kHost +
                  " --scene mesh --out " + dir.path.string() + " --plugin " + kPlugin +
                  " >/dev/null 2>" + err),
              0);
    const std::string text = read_file(err);
    EXPECT_EQ(
        text.find("new_vexa_ogl: cannot write frame captures to " + dir.file("a-file") + "/caps"),
        0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    for (const char* frame : {"mesh-000.png", "mesh-001.png", "mesh-002.png"})
        EXPECT_TRUE(fs::exists(dir.file(frame))) << frame;
}

} // namespace
