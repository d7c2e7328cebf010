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
const std::string kVexa     = VEXA_M64P_PLUGIN_PATH;

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string capture(const std::string& name) { return kCaptures + "/" + name + ".vxc"; }

// vexa-rom's ROM of the captures, with its options first; empty when vexa-rom failed.
std::string make_rom(const TempFolder& dir, const std::string& arguments) {
    const std::string rom = dir.file("replay.z64");
    const int status =
        run(std::string(VEXA_ROM_PATH) + " " + arguments + " " + rom + " >/dev/null");
    return status == 0 ? rom : "";
}

// Writes the game's microcode family into the plug-in's INI file, under the section the
// plug-in gives the ROM: the header's two checksums as it reads them (little-endian words of
// the cartridge's bytes) and the country.
void write_ini_entry(const TempFolder& dir, const std::string& rom, int family) {
    const std::string bytes = read_file(rom);
    auto word               = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
        return v;
    };
    char key[32];
    std::snprintf(key, sizeof key, "%08X%08X-%02X", word(0x10), word(0x14),
                  static_cast<uint8_t>(bytes[0x3E]));
    write_file(dir.file("vexa_ogl.ini"),
               "[" + std::string(key) + "]\nUCode=" + std::to_string(family) + "\n");
}

// Plays the ROM in the front end, the screenshots taken after the given numbers of graphics
// tasks, and returns the screenshots in order.
std::vector<std::string> play(const TempFolder& dir, const std::string& rom, const std::string& gfx,
                              const std::string& shots, const std::string& options = "") {
    const std::string folder = dir.file("shots");
    fs::create_directories(folder);
    const std::string command =
        "timeout 120 " VEXA_MUPEN64PLUS " --noosd --nosaveoptions --configdir " +
        dir.path.string() + " --set Core[ScreenshotPath]=" + folder + " --gfx " + gfx +
        " --rsp " VEXA_RSP_HLE " --audio dummy --input dummy --emumode 0 --testshots " + shots +
        " " + options + " " + rom + " >" + dir.file("log.txt") + " 2>&1";
    EXPECT_EQ(run(command), 0) << read_file(dir.file("log.txt"));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// vexa-host's frame of each capture, replayed in order in one process.
std::vector<Image> replay(const TempFolder& dir, const std::vector<std::string>& captures) {
    std::string command = VEXA_HOST_PATH " --plugin " VEXA_PLUGIN_PATH " --out " + dir.file("host");
    for (const std::string& c : captures)
        command += " --replay " + c;
    EXPECT_EQ(run(command + " >/dev/null"), 0);
    std::vector<Image> frames;
    for (const std::string& c : captures)
        frames.push_back(load_png(dir.file("host/" + fs::path(c).stem().string() + ".png")));
    return frames;
}

// The ROM of one capture shows vexa-host's frame of it at both screenshots; `ini_family` >= 0
// writes the game's family into the plug-in's INI file first.
void expect_plays_like_vexa_host(const std::string& name, int ini_family = -1) {
    TempFolder dir;
    const std::string rom = make_rom(dir, capture(name));
    ASSERT_FALSE(rom.empty());
    if (ini_family >= 0) write_ini_entry(dir, rom, ini_family);
    const std::vector<std::string> shots = play(dir, rom, kVexa, "30,60");
    ASSERT_EQ(shots.size(), 2u) << read_file(dir.file("log.txt"));
    const Image expected = replay(dir, {capture(name)})[0];
    for (const std::string& shot : shots)
        EXPECT_EQ(compare(expected, load_png(shot), 4), "") << shot;
}

} // namespace

// Games name their microcode only by its text at the task's ucode_data: no INI entry needed.
TEST(FrontEnd, Family0WithoutIniEntry) { expect_plays_like_vexa_host("mesh"); }
TEST(FrontEnd, Family1WithoutIniEntry) { expect_plays_like_vexa_host("mesh-uc1"); }
TEST(FrontEnd, Family4WithoutIniEntry) { expect_plays_like_vexa_host("family4"); }
TEST(FrontEnd, WithIniEntry) { expect_plays_like_vexa_host("textures", 0); }

// A frame of two tasks: the rectangles scene, then the textures scene clipped to the right
// half. The frame shows the first's left half beside the second's right half.
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
    const std::string rom = make_rom(dir, "--tasks 2 " + capture("rects") + " " + right_half);
    ASSERT_FALSE(rom.empty());
    write_ini_entry(dir, rom, 0);
    const std::vector<std::string> shots = play(dir, rom, kVexa, "30,60");
    std::vector<Image> frames            = replay(dir, {capture("rects"), right_half});
    Image& expected                      = frames[0];
    for (int y = 0; y < expected.height; ++y)
        for (int x = expected.width / 2; x < expected.width; ++x)
            for (int c = 0; c < 4; ++c)
                expected.rgba[4 * (y * expected.width + x) + c] =
                    frames[1].rgba[4 * (y * expected.width + x) + c];
    ASSERT_EQ(shots.size(), 2u) << read_file(dir.file("log.txt"));
    for (const std::string& shot : shots)
        EXPECT_EQ(compare(expected, load_png(shot), 4), "") << shot;
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
    const std::string rom    = make_rom(dir, first + " " + second);
    ASSERT_FALSE(rom.empty());
    write_ini_entry(dir, rom, 0);
    const std::vector<std::string> shots = play(dir, rom, kVexa, "30,61");
    const std::vector<Image> frames      = replay(dir, {first, second});
    ASSERT_NE(compare(frames[0], frames[1], 4), "") << "the mesh moves from frame to frame";
    ASSERT_EQ(shots.size(), 2u) << read_file(dir.file("log.txt"));
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(compare(frames[i], load_png(shots[i]), 4), "") << shots[i];
}

#ifdef VEXA_RICE
// Rice, another video plug-in of the ecosystem, plays the same ROM with its own settings and
// shows the same scene: its own shading and edges leave 3.6% of the pixels more than 4 levels
// off; the background alone would be 84% of the frame.
TEST(FrontEnd, RicePlaysTheRom) {
    TempFolder dir;
    const std::string rom = make_rom(dir, capture("lit-mesh"));
    ASSERT_FALSE(rom.empty());
    const std::vector<std::string> shots = play(dir, rom, VEXA_RICE, "30,60");
    ASSERT_EQ(shots.size(), 2u) << read_file(dir.file("log.txt"));
    const Image expected = replay(dir, {capture("lit-mesh")})[0];
    for (const std::string& shot : shots)
        EXPECT_GT(share_within(expected, load_png(shot), 4), 0.95) << shot;
}
#endif
