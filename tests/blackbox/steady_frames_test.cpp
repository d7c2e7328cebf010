// Every frame like the first: each demo scene and each checked-in capture drawn 20 times in a
// row from the same memory, as a game shows a still scene, gives its first picture again
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/config_files.h"
#include "support/pictures.h"

namespace fs = std::filesystem;

namespace {

const std::string kHost   = VEXA_HOST_PATH;
const std::string kPlugin = VEXA_PLUGIN_PATH;

std::vector<std::string> scene_names() {
    std::vector<std::string> names;
    FILE* list = popen((kHost + " --list").c_str(), "r");
    if (!list) return names;
    char line[256];
    while (std::fgets(line, sizeof line, list)) {
        char name[64];
        if (std::sscanf(line, "%63s", name) == 1) names.push_back(name);
    }
    pclose(list);
    return names;
}

// Runs vexa-host with `what` drawn 20 times and compares the first picture of `stem` with
// the twentieth, pixel for pixel.
std::string first_against_twentieth(const std::string& what, const std::string& stem) {
    TempFolder out;
    const std::string command = kHost + " " + what + " --repeat 20 --out " + out.path.string() +
                                " --plugin " + kPlugin + " >/dev/null";
    if (std::system(command.c_str()) != 0) return "failed: " + command;
    return compare(load_png(out.file(stem + ".png")), load_png(out.file(stem + "-repeat20.png")),
                   0);
}

TEST(SteadyFrames, EveryDemoSceneDrawsItsFirstPictureAgain) {
    const std::vector<std::string> scenes = scene_names();
    ASSERT_GE(scenes.size(), 15u);
    for (const std::string& scene : scenes)
        EXPECT_EQ(first_against_twentieth("--scene " + scene + " --frames 1", scene + "-000"), "")
            << scene;
}

TEST(SteadyFrames, EveryCaptureReplaysToItsFirstPictureAgain) {
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(VEXA_CAPTURE_DATA_DIR)) {
        if (entry.path().extension() != ".vxc") continue;
        const std::string name = entry.path().stem().string();
        EXPECT_EQ(first_against_twentieth("--replay " + entry.path().string(), name), "") << name;
        ++replayed;
    }
    EXPECT_GE(replayed, 15);
}

} // namespace
