// vexa-rom's ROMs played by Debian's mupen64plus front end with the rsp-hle plug-in: the core's
// screenshots (the video plug-in's ReadScreen2) against vexa-host's frames of the same captures
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/capture_file.h"
#include "support/config_files.h"
#include "support/pictures.h"

namespace fs = std::filesystem;

namespace {

const std::string kCaptures = VEXA_CAPTURE_DATA_DIR;

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string capture(const std::string& name) { return kCaptures + "/" + name + ".vxc"; }

std::string log_of(const TempFolder& dir) { return read_file(dir.file("log.txt")); }

// Makes vexa-rom's ROM of `arguments` (options, then captures), writes the game's family into
// the plug-in's INI file when `family` >= 0 (the section as the plug-in names it: the header's
// checksums read as little-endian words of the cartridge's bytes, and the country), plays the
// ROM in the front end with the video plug-in `gfx` and returns the screenshots taken after
// the `shots` numbers of graphics tasks.
std::vector<Image> play(const TempFolder& dir, const std::string& arguments, int family,
                        const std::string& gfx   = VEXA_M64P_PLUGIN_PATH,
                        const std::string& shots = "30,60", const std::string& options = "") {
    const std::string rom = dir.file("replay.z64");
    EXPECT_EQ(run(VEXA_ROM_PATH " " + arguments + " " + rom + " >/dev/null"), 0);
    const std::string bytes = read_file(rom);
    char key[32]            = {};
    if (family >= 0 && bytes.size() > 0x40) {
        const uint8_t* h = reinterpret_cast<const uint8_t*>(bytes.data());
        std::snprintf(key, sizeof key, "%02X%02X%02X%02X%02X%02X%02X%02X-%02X", h[0x13], h[0x12],
                      h[0x11], h[0x10], h[0x17], h[0x16], h[0x15], h[0x14], h[0x3E]);
        write_file(dir.file("vexa_ogl.ini"),
                   "[" + std::string(key) + "]\nUCode=" + std::to_string(family) + "\n");
    }
    const std::string folder = dir.file("shots");
    fs::create_directories(folder);
    EXPECT_EQ(run("timeout 120 " VEXA_MUPEN64PLUS " --noosd --nosaveoptions --configdir " +
                  dir.path.string() + " --set Core[ScreenshotPath]=" + folder + " --gfx " + gfx +
                  " --rsp " VEXA_RSP_HLE " --audio dummy --input dummy --emumode 0 --testshots " +
                  shots + " " + options + " " + rom + " >" + dir.file("log.txt") + " 2>&1"),
              0)
        << log_of(dir);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    std::vector<Image> pictures;
    for (const std::string& f : files)
        pictures.push_back(load_png(f));
    return pictures;
}

// vexa-host's frame of each capture, replayed in order in one process.
std::vector<Image> replay(const TempFolder& dir, const std::vector<std::string>& captures,
                          const std::string& options = "") {
    std::string command =
        VEXA_HOST_PATH " --plugin " VEXA_PLUGIN_PATH " --out " + dir.file("host") + " " + options;
    for (const std::string& c : captures)
        command += " --replay " + c;
    EXPECT_EQ(run(command + " >/dev/null"), 0);
    std::vector<Image> frames;
    for (const std::string& c : captures)
        frames.push_back(load_png(dir.file("host/" + fs::path(c).stem().string() + ".png")));
    return frames;
}

// Both screenshots show `expected[i]` (the last of them for every later shot) within the
// capture tests' tolerance.
void expect_shots(const TempFolder& dir, const std::vector<Image>& shots,
                  const std::vector<Image>& expected) {
    ASSERT_EQ(shots.size(), 2u) << log_of(dir);
    for (size_t i = 0; i < shots.size(); ++i)
        EXPECT_EQ(compare(expected[std::min(i, expected.size() - 1)], shots[i], 4), "")
            << "screenshot " << i;
}

void expect_plays_like_vexa_host(const std::string& name, int family = -1) {
    TempFolder dir;
    const std::vector<Image> shots = play(dir, capture(name), family);
    expect_shots(dir, shots, replay(dir, {capture(name)}));
}

} // namespace

// Games name their microcode only by its text at the task's ucode_data: no INI entry needed.
TEST(FrontEnd, Family0WithoutIniEntry) { expect_plays_like_vexa_host("mesh"); }
TEST(FrontEnd, Family1WithoutIniEntry) { expect_plays_like_vexa_host("mesh-uc1"); }
TEST(FrontEnd, Family4WithoutIniEntry) { expect_plays_like_vexa_host("family4"); }
TEST(FrontEnd, Family7WithoutIniEntry) { expect_plays_like_vexa_host("sprites2d"); }

// The family-4 room loads S2DEX2 for its picture and its own microcode again: both texts come
// with the ROM's memory, and the room shows between the 3-D draws.
TEST(FrontEnd, RoomPictureWithoutIniEntry) {
    TempFolder dir;
    const std::vector<Image> shots = play(dir, capture("room2d"), -1);
    expect_shots(dir, shots, replay(dir, {capture("room2d")}));
    ASSERT_FALSE(shots.empty());
    const Image& s = shots[0];
    const unsigned char* p =
        &s.rgba[4 * (size_t(140 * s.height / 240) * s.width + 60 * s.width / 320)];
    EXPECT_TRUE(std::abs(p[0] - 152) < 5 && std::abs(p[1] - 120) < 5 && std::abs(p[2] - 128) < 5)
        << "the room's wall: " << int(p[0]) << ", " << int(p[1]) << ", " << int(p[2]);
}
TEST(FrontEnd, WithIniEntry) { expect_plays_like_vexa_host("textures", 0); }

// A frame of two tasks: the rectangles scene, then the textures scene clipped to the right
// half. The frame shows the first's left half beside the second's right half; nothing is
// cleared between the tasks of a frame, so where vexa-host's frame of the second is black
// (drawn black, or the clear where it drew nothing) either black or the first shows. With
// SkipEveryOtherTask only the second task is drawn, each on a cleared frame: vexa-host's.
TEST(FrontEnd, FrameOfTwoTasks) {
    TempFolder dir;
    Capture right;
    std::string error;
    ASSERT_TRUE(load_capture(capture("textures"), &right, &error)) << error;
    uint32_t* scissor = reinterpret_cast<uint32_t*>(&right.rdram[0x100010]);
    ASSERT_EQ(scissor[0], 0xED000000u) << "the scene's SETSCISSOR (0,0)-(320,240)";
    scissor[0]                   = 0xED280000; // (160,0)-(320,240)
    const std::string right_half = dir.file("right-half.vxc");
    ASSERT_TRUE(
        write_capture(right_half, right.header, right.rdram.data(), right.dmem.data(), &error));
    const std::vector<Image> frames = replay(dir, {capture("rects"), right_half});
    for (const bool skip : {false, true}) {
        // The core counts tasks and takes a screenshot at the next frame shown (at the next
        // drawn task when skipping); at the last count it stops first unless a frame is shown
        // before the next VI. Every task drawn, one shot is of an odd frame, drawn into the
        // ROM's second buffer, where the rectangles scene's depth image moves with it.
        const std::vector<Image> shots =
            play(dir, "--tasks 2 " + capture("rects") + " " + right_half, 0, VEXA_M64P_PLUGIN_PATH,
                 skip ? "29,60" : "31,61", skip ? "--set Video-Vexa[SkipEveryOtherTask]=True" : "");
        ASSERT_EQ(shots.size(), 2u) << log_of(dir);
        for (const Image& actual : shots) {
            ASSERT_EQ(actual.rgba.size(), frames[0].rgba.size());
            Image expected = skip ? frames[1] : frames[0];
            for (int y = 0; y < expected.height && !skip; ++y)
                for (int x = expected.width / 2; x < expected.width; ++x) {
                    const size_t p   = 4 * (y * expected.width + x);
                    const auto black = [](const uint8_t* c) { return c[0] + c[1] + c[2] <= 12; };
                    if (!black(&frames[1].rgba[p]) || black(&actual.rgba[p]))
                        std::copy_n(&frames[1].rgba[p], 4, &expected.rgba[p]);
                }
            EXPECT_EQ(compare(expected, actual, 4), "") << (skip ? "skipping" : "every task");
        }
        fs::remove_all(dir.file("shots"));
    }
}

// Two consecutive frames of the moving mesh, captured live, play in turn: the screenshots
// after an even and an odd number of tasks show each its own frame.
TEST(FrontEnd, MovingSequence) {
    TempFolder dir;
    ASSERT_EQ(run("VEXA_CAPTURE=" + dir.file("caps") +
                  " VEXA_CAPTURE_FRAMES=2 " VEXA_HOST_PATH " --scene mesh --out " +
                  dir.file("live") + " --plugin " VEXA_PLUGIN_PATH " >/dev/null 2>&1"),
              0);
    const std::string first  = dir.file("caps/4A58455607000000-45-000.vxc");
    const std::string second = dir.file("caps/4A58455607000000-45-001.vxc");
    const std::vector<Image> shots =
        play(dir, first + " " + second, 0, VEXA_M64P_PLUGIN_PATH, "30,61");
    const std::vector<Image> frames = replay(dir, {first, second});
    ASSERT_NE(compare(frames[0], frames[1], 4), "") << "the mesh moves from frame to frame";
    expect_shots(dir, shots, frames);
}

#ifdef VEXA_RICE
// Rice, another video plug-in of the ecosystem, plays the same ROM with its own settings and
// shows the same scene: its own shading and edges leave 3.6% of the pixels more than 4 levels
// off; the background alone would be 84% of the frame.
TEST(FrontEnd, RicePlaysTheRom) {
    TempFolder dir;
    const std::vector<Image> shots = play(dir, capture("lit-mesh"), -1, VEXA_RICE);
    const Image expected           = replay(dir, {capture("lit-mesh")})[0];
    ASSERT_EQ(shots.size(), 2u) << log_of(dir);
    for (const Image& shot : shots)
        EXPECT_GT(share_within(expected, shot, 4), 0.95);
}
#endif

// The front end's --resolution reaches the window through [Video-General].
TEST(FrontEnd, ResolutionOption) {
    TempFolder dir;
    const std::vector<Image> shots =
        play(dir, capture("mesh"), -1, VEXA_M64P_PLUGIN_PATH, "30,60", "--resolution 800x600");
    ASSERT_EQ(shots.size(), 2u) << log_of(dir);
    for (const Image& shot : shots) {
        EXPECT_EQ(shot.width, 800);
        EXPECT_EQ(shot.height, 600);
    }
}

// In a 1280 x 720 window the default 4:3 shape leaves bars: the screenshot is the picture
// without them, as vexa-host draws it in a window of its size. The setting is in the
// configuration file with its description.
TEST(FrontEnd, ScreenshotOfTheFourByThreePicture) {
    TempFolder dir;
    const std::vector<Image> shots =
        play(dir, capture("wide"), -1, VEXA_M64P_PLUGIN_PATH, "30,60", "--resolution 1280x720");
    expect_shots(dir, shots, replay(dir, {capture("wide")}, "--size 960x720"));
    const std::string cfg = read_file(dir.file("mupen64plus.cfg"));
    for (const char* line : {"AspectRatio = \"4:3\"", "# The picture's shape in a window"})
        EXPECT_NE(cfg.find(line), std::string::npos) << line << " in\n" << cfg;
}
