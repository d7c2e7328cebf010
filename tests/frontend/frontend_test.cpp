// vexa-rom's ROMs played by Debian's mupen64plus front end with the rsp-hle plug-in: the core's
// screenshots (the video plug-in's ReadScreen2) against vexa-host's frames of the same captures
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "capture/capture_file.h"
#include "dl_rdp.h"
#include "dl_texture.h"
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
    fs::remove(dir.file("swaps.txt"));
    EXPECT_EQ(run("LD_PRELOAD=" VEXA_SWAP_COUNT " VEXA_SWAP_COUNT_FILE=" + dir.file("swaps.txt") +
                  " timeout 120 " VEXA_MUPEN64PLUS " --noosd --nosaveoptions --configdir " +
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

// The swaps of the last front end that `play` ran in `dir`.
int swaps_of(const TempFolder& dir) { return std::atoi(read_file(dir.file("swaps.txt")).c_str()); }

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

// Pictures the game reads back. Image A (0x280000, filled with loud magenta in RDRAM) gets a
// dark blue background, a red and a green box; image B (0x200000) is the one shown. Captures:
// "draw" draws A and names B last, "copy" fills B grey and copies A onto it in strips of six
// lines by texture loads and rectangles, the left half in one-cycle mode, the right half in
// copy mode, and "both" does both in one task.
constexpr uint32_t kImageA = 0x280000, kImageB = 0x200000;

std::string picture_captures(const TempFolder& dir) {
    Capture base;
    std::string error;
    EXPECT_TRUE(load_capture(capture("rects"), &base, &error)) << error;
    Console console;
    for (uint32_t p = 0; p < 320 * 240; ++p)
        console.write_u16(kImageA + 2 * p, 0xF83F);
    DisplayList draw(console, 0x100000);
    draw.add({cmd::set_color_image(320, kImageA), cmd::set_depth_image(0x300000),
              cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
              cmd::set_fill_color(cmd::fill_color16(16, 24, 96)), cmd::fill_rect(0, 0, 319, 239),
              cmd::set_fill_color(cmd::fill_color16(240, 40, 40)), cmd::fill_rect(40, 40, 139, 119),
              cmd::set_fill_color(cmd::fill_color16(40, 240, 40)),
              cmd::fill_rect(180, 120, 279, 199), cmd::set_color_image(320, kImageB),
              cmd::end_dl()});
    DisplayList copy(console, 0x110000);
    copy.add({cmd::set_color_image(320, kImageB), cmd::set_cycle_type(3),
              cmd::set_fill_color(cmd::fill_color16(128, 128, 128)), cmd::fill_rect(0, 0, 319, 239),
              cmd::set_combine_keys(0, 0),
              tex::set_texture_image(tex::rgba, tex::b16, 320, kImageA),
              tex::set_tile(7, tex::rgba, tex::b16, 80, 0),
              tex::set_tile(0, tex::rgba, tex::b16, 80, 0)});
    for (uint32_t t = 0; t < 240; t += 6) {
        copy.add({tex::load_tile(7, 0, t, 320, 6), tex::set_tile_size(0, 0, t, 320, 6),
                  cmd::set_cycle_type(0)});
        for (const Command& c : cmd::tex_rect(0, t, 160, t + 6, 0, 0, t, 1, 1))
            copy.add(c);
        copy.add(cmd::set_cycle_type(2));
        for (const Command& c : cmd::tex_rect(160, t, 319, t + 5, 0, 160, t, 4, 1))
            copy.add(c);
    }
    copy.add(cmd::end_dl());
    DisplayList both(console, 0x120000);
    both.add({cmd::call_dl(0x100000), cmd::branch_dl(0x110000)});
    DisplayList empty(console, 0x130000);
    empty.add({cmd::end_dl()});
    std::fill(std::begin(base.header.registers), std::end(base.header.registers), 0u);
    for (const auto& [name, start] : {std::pair<const char*, uint32_t>{"draw", 0x100000},
                                      {"copy", 0x110000},
                                      {"both", 0x120000},
                                      {"empty", 0x130000}}) {
        base.header.dlist_start = start;
        EXPECT_TRUE(write_capture(dir.file(name) + ".vxc", base.header, console.rdram.data(),
                                  base.dmem.data(), &error))
            << error;
    }
    return dir.file("");
}

// The channels of the screenshot's pixel at console pixel (x, y) of a 320 x 240 picture.
const uint8_t* at(const Image& shot, int x, int y) {
    return &shot.rgba[4 * (static_cast<size_t>(y * shot.height / 240) * shot.width +
                           x * shot.width / 320)];
}

bool looks(const uint8_t* c, int r, int g, int b) {
    return std::abs(c[0] - r) < 40 && std::abs(c[1] - g) < 40 && std::abs(c[2] - b) < 40;
}

// A's boxes on B, as both modes copied them, and no magenta anywhere.
void expect_copied_picture(const TempFolder& dir, const std::vector<Image>& shots,
                           const std::string& what) {
    ASSERT_EQ(shots.size(), 2u) << what << log_of(dir);
    for (const Image& shot : shots) {
        EXPECT_TRUE(looks(at(shot, 90, 80), 240, 40, 40)) << what << ": the red box (one-cycle)";
        EXPECT_TRUE(looks(at(shot, 230, 160), 40, 240, 40)) << what << ": the green box (copy)";
        EXPECT_TRUE(looks(at(shot, 20, 220), 16, 24, 96)) << what << ": A's background";
        EXPECT_TRUE(looks(at(shot, 300, 20), 16, 24, 96)) << what << ": A's background";
        size_t magenta = 0;
        for (size_t p = 0; p < shot.rgba.size(); p += 4)
            magenta += looks(&shot.rgba[p], 255, 0, 255);
        EXPECT_EQ(magenta, 0u) << what;
    }
}

} // namespace

// A picture drawn earlier in the frame as a texture: in the task that drew it, in the frame's
// second task (a pause screen), and the CPU copying the frame into a buffer it shows, under the
// core's interpreter (which reports the CPU's reads) and under its dynamic recompiler (where
// only CopyFrameToRdram=always gives the CPU a picture). Without copies the magenta shows.
TEST(FrontEnd, EarlierPictureAsTexture) {
    TempFolder dir;
    const std::string caps = picture_captures(dir);
    const struct {
        const char* what;
        std::string rom, shots, options;
    } cases[] = {
        {"one task", caps + "both.vxc", "30,60", ""},
        {"two tasks", "--tasks 2 " + caps + "draw.vxc " + caps + "copy.vxc", "31,61", ""},
        {"CPU copy, interpreter", "--cpu-copies " + caps + "both.vxc", "30,60", ""},
        {"CPU copy, recompiler, always", "--cpu-copies " + caps + "both.vxc", "30,60",
         "--emumode 2 --set Video-Vexa[CopyFrameToRdram]=always"},
    };
    for (const auto& c : cases) {
        expect_copied_picture(dir, play(dir, c.rom, 0, VEXA_M64P_PLUGIN_PATH, c.shots, c.options),
                              c.what);
        fs::remove_all(dir.file("shots"));
    }
    const std::vector<Image> off = play(dir, caps + "both.vxc", 0, VEXA_M64P_PLUGIN_PATH, "30,60",
                                        "--set Video-Vexa[CopyFrameToRdram]=off");
    ASSERT_EQ(off.size(), 2u) << log_of(dir);
    EXPECT_TRUE(looks(at(off[0], 20, 220), 255, 0, 255)) << "off: RDRAM's magenta";
}

// The field's number the CPU wrote over its bars (vexa-rom --cpu-draws); -1 where the blocks are
// neither white nor black.
int cpu_field(const Image& shot) {
    int field = 0;
    for (int bit = 0; bit < 10; ++bit) {
        const uint8_t* c = at(shot, 16 + 32 * bit, 8);
        if (!looks(c, 255, 255, 255) && !looks(c, 0, 0, 0)) return -1;
        field |= looks(c, 255, 255, 255) << bit;
    }
    return field;
}

// The CPU draws colour bars and the field's number into the buffer the VI shows: two buffers in
// turn, or one that the VI keeps showing while tasks draw nothing, draw into another image
// (A) in every field or only in every 40th. The screenshots are the CPU's bars, and the second
// shows a later field than the first. With CopyFrameToRdram=off the VI's buffers are not
// followed: the window shows what the tasks drew.
TEST(FrontEnd, FramesTheCpuDraws) {
    TempFolder dir;
    const std::string caps = picture_captures(dir);
    const struct {
        const char* what;
        std::string rom, shots;
    } cases[] = {
        {"two buffers, a task every tenth field", "--task-every 10 " + caps + "draw.vxc", "2,4"},
        {"one buffer, tasks draw nothing", "--cpu-buffers 1 " + caps + "empty.vxc", "30,60"},
        {"one buffer, tasks draw A", "--cpu-buffers 1 " + caps + "draw.vxc", "30,60"},
        {"one buffer, a task every 40th field",
         "--cpu-buffers 1 --task-every 40 " + caps + "draw.vxc", "2,4"},
    };
    for (const auto& c : cases) {
        const std::vector<Image> shots =
            play(dir, "--cpu-draws " + c.rom, 0, VEXA_M64P_PLUGIN_PATH, c.shots);
        ASSERT_EQ(shots.size(), 2u) << c.what << log_of(dir);
        for (const Image& shot : shots)
            for (const auto& [x, r, g, b] : {std::array<int, 4>{40, 255, 0, 0},
                                             {120, 0, 255, 0},
                                             {200, 0, 0, 255},
                                             {280, 255, 255, 255}})
                EXPECT_TRUE(looks(at(shot, x, 120), r, g, b)) << c.what << ": the bar at x " << x;
        EXPECT_GE(cpu_field(shots[0]), 0) << c.what;
        EXPECT_GT(cpu_field(shots[1]), cpu_field(shots[0])) << c.what << ": a later field";
        fs::remove_all(dir.file("shots"));
    }
    const std::vector<Image> off =
        play(dir, "--cpu-draws --task-every 10 " + caps + "draw.vxc", 0, VEXA_M64P_PLUGIN_PATH,
             "2,4", "--set Video-Vexa[CopyFrameToRdram]=off");
    ASSERT_EQ(off.size(), 2u) << log_of(dir);
    EXPECT_TRUE(looks(at(off[1], 20, 220), 16, 24, 96)) << "off: A's background";
}

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

// Family 6's microcode has no text of its own: the sum of its code finds the family. The stand-in
// code sums to a sum the table gives family 6 (Diddy Kong Racing's), to one it does not know, and
// to family 0's beside an F3DEX 1.x text, where the INI entry wins over both.
TEST(FrontEnd, Family6ByTheSumOfItsCode) {
    TempFolder dir;
    const std::vector<Image> frames = replay(dir, {capture("family6")});
    expect_shots(dir, play(dir, "--ucode-sum 63BE08B3 " + capture("family6"), -1), frames);
    EXPECT_NE(log_of(dir).find("uses microcode family 6: its code sum 0x63BE08B3"),
              std::string::npos)
        << log_of(dir);
    fs::remove_all(dir.file("shots"));

    const std::vector<Image> black = play(dir, "--ucode-sum 0BADC0DE " + capture("family6"), -1);
    ASSERT_EQ(black.size(), 2u) << log_of(dir);
    for (const Image& shot : black) {
        size_t lit = 0;
        for (size_t p = 0; p < shot.rgba.size(); p += 4)
            lit += shot.rgba[p] + shot.rgba[p + 1] + shot.rgba[p + 2] > 12;
        EXPECT_EQ(lit, 0u) << "an unknown microcode draws nothing";
    }
    const std::string log = log_of(dir);
    const size_t named    = log.find("no microcode text (ucode_data");
    ASSERT_NE(named, std::string::npos) << log;
    EXPECT_NE(log.find("and code sum 0x0BADC0DE of ucode 0x", named), std::string::npos) << log;
    EXPECT_EQ(log.find("code sum 0x0BADC0DE", log.find("code sum 0x0BADC0DE") + 1),
              std::string::npos)
        << "once: " << log;
    fs::remove_all(dir.file("shots"));

    const std::string family1_text =
        "'RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.'";
    expect_shots(
        dir,
        play(dir, "--ucode-sum 006BD77F --ucode-text " + family1_text + " " + capture("family6"),
             6),
        frames);
}

#ifdef VEXA_GLIDE64MK2
// The plug-in whose table we use knows the ROM's microcode by the same sum: it draws the scene
// with its microcode for Diddy Kong Racing (the terrain, seen from another angle than ours), and
// for an unknown sum it reports the sum and shows no frame.
TEST(FrontEnd, Glide64mk2FindsTheSameMicrocode) {
    TempFolder dir;
    const std::vector<Image> shots =
        play(dir, "--ucode-sum 63BE08B3 " + capture("family6"), -1, VEXA_GLIDE64MK2);
    ASSERT_EQ(shots.size(), 2u) << log_of(dir);
    for (const Image& shot : shots) {
        size_t lit = 0;
        for (size_t p = 0; p < shot.rgba.size(); p += 4)
            lit += shot.rgba[p] + shot.rgba[p + 1] + shot.rgba[p + 2] > 60;
        EXPECT_GT(lit, shot.rgba.size() / 4 / 3) << "the terrain covers a third of the frame";
    }
    EXPECT_EQ(log_of(dir).find("uCode crc not found"), std::string::npos) << log_of(dir);
    fs::remove_all(dir.file("shots"));

    EXPECT_TRUE(
        play(dir, "--ucode-sum 0BADC0DE " + capture("family6"), -1, VEXA_GLIDE64MK2).empty());
    EXPECT_NE(log_of(dir).find("uCode crc not found"), std::string::npos) << log_of(dir);
    EXPECT_NE(log_of(dir).find("0badc0de"), std::string::npos) << log_of(dir);
}
#endif

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
        // One swap per frame of two tasks (every second task when skipping) and one before
        // the first task, when the VI shows the buffer no task has drawn yet.
        EXPECT_EQ(swaps_of(dir), skip ? 31 : 32) << (skip ? "skipping" : "every task");
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

// Two consecutive frames of the moving mesh, captured live, play in turn, a frame per field:
// the screenshots after each task from the 30th to the 37th show its own frame (none shown
// twice, none lost), and the front end swapped once per frame (and once before the first task,
// when the VI shows the buffer no task has drawn yet, from RDRAM).
TEST(FrontEnd, MovingSequence) {
    TempFolder dir;
    ASSERT_EQ(run("VEXA_CAPTURE=" + dir.file("caps") +
                  " VEXA_CAPTURE_FRAMES=2 " VEXA_HOST_PATH " --scene mesh --out " +
                  dir.file("live") + " --plugin " VEXA_PLUGIN_PATH " >/dev/null 2>&1"),
              0);
    const std::string first  = dir.file("caps/4A58455607000000-45-000.vxc");
    const std::string second = dir.file("caps/4A58455607000000-45-001.vxc");
    const std::vector<Image> shots =
        play(dir, first + " " + second, 0, VEXA_M64P_PLUGIN_PATH, "30,31,32,33,34,35,36,37");
    EXPECT_EQ(swaps_of(dir), 39) << "the 38 tasks up to the front end's stop, and one before";
    const std::vector<Image> frames = replay(dir, {first, second});
    ASSERT_NE(compare(frames[0], frames[1], 4), "") << "the mesh moves from frame to frame";
    ASSERT_EQ(shots.size(), 8u) << log_of(dir);
    for (size_t i = 0; i < shots.size(); ++i)
        EXPECT_EQ(compare(frames[i & 1], shots[i], 4), "") << "after task " << 30 + i;
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

#ifdef VEXA_RICE
namespace {

// The pack files under `folder` (any depth) by name, pictures loaded.
std::map<std::string, Image> pack_files(const std::string& folder) {
    std::map<std::string, Image> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; ++it) {
        const std::string name = it->path().filename().string();
        if (name.find("_all.png") != std::string::npos ||
            name.find("_ciByRGBA.png") != std::string::npos)
            files[name] = load_png(it->path().string());
    }
    return files;
}

// Plays the packs scene's ROM with `gfx` and the core's user data in `dir`/data, one shot.
Image play_packs(const TempFolder& dir, const std::string& gfx, const std::string& options) {
    fs::create_directories(dir.file("data")); // the core takes only a folder that exists
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    const std::vector<Image> shots =
        play(dir, capture("packs"), -1, gfx, "30", "--verbose " + options);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(shots.size(), 1u) << log_of(dir);
    return shots.empty() ? Image{} : shots[0];
}

// The share of the middle of quad n of the scene's 5 x 3 grid that differs between a frame
// without and with a pack (by more than filtering of neighbouring texels could make it).
double changed_share(const Image& before, const Image& after, int n) {
    if (before.rgba.size() != after.rgba.size() || before.width < 320) return 0;
    const double k = before.width / 320.0; // console pixels to screenshot pixels
    const int left = int(k * (160 + 1.6 * (-95 + 39 * (n % 5)) + 12));
    const int top  = int(k * (120 - 1.2 * (90 - 62 * (n / 5))) + 16);
    size_t changed = 0, all = 0;
    for (int y = top; y < top + int(k * 40); ++y)
        for (int x = left; x < left + int(k * 30); ++x, ++all) {
            const unsigned char *p = &before.rgba[4 * (size_t(y) * before.width + x)],
                                *q = &after.rgba[4 * (size_t(y) * before.width + x)];
            changed += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 24;
        }
    return double(changed) / double(all);
}

} // namespace

// Replacement packs against Rice, which reads and writes the same format: what Rice dumps of
// every texture the packs scene draws (every format, palettes 0, 1 and 5, block loads with and
// without dxt, a tile load at an odd origin, a drawing tile smaller than its load, rows of two
// bytes), we dump under the same names; our dump, every texture's red and blue swapped and green
// dropped (every second one twice as large), loads in Rice and in our plug-in and changes the
// same pixels of both frames; broken files in the pack give a message each and the game plays.
TEST(FrontEnd, TexturePacksAgainstRice) {
    TempFolder rice_dump, our_dump, rice_load, our_load;
    const std::string kRom = "VEXA CAPTURE REPLAY";
    const Image rice_before =
        play_packs(rice_dump, VEXA_RICE, "--set Video-Rice[DumpTexturesToFiles]=True");
    const Image our_before =
        play_packs(our_dump, VEXA_M64P_PLUGIN_PATH, "--set Video-Vexa[DumpTextures]=True");
    const auto rice_files = pack_files(rice_dump.file("data/mupen64plus/texture_dump/" + kRom));
    const auto our_files  = pack_files(our_dump.file("data/mupen64plus/texture_dump/" + kRom));
    ASSERT_EQ(our_files.size(), 15u) << "one file per texture drawn";
    for (const auto& [name, image] : our_files)
        EXPECT_TRUE(rice_files.count(name)) << name << " is not among Rice's dumps";
    for (const auto& [name, image] : rice_files) { // Rice's own: tiles no draw uses, the frame
        if (our_files.count(name)) continue;
        EXPECT_TRUE((image.width == 1 && image.height == 1) ||
                    (image.width == 320 && image.height == 240))
            << name << " (" << image.width << " x " << image.height << ") not dumped by us";
    }

    // The pack: every texture changed, half of them at twice the size.
    int n = 0;
    for (const TempFolder* dir : {&rice_load, &our_load}) {
        const std::string pack = dir->file("data/mupen64plus/hires_texture/" + kRom);
        fs::create_directories(pack + "/sub");
        for (const auto& [name, image] : our_files) {
            const int k = (n++ & 1) + 1, w = image.width * k, h = image.height * k;
            std::vector<unsigned char> out(size_t(4) * w * h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const unsigned char* p = &image.rgba[4 * ((y / k) * image.width + x / k)];
                    unsigned char* q       = &out[4 * (size_t(y) * w + x)];
                    q[0] = p[2], q[1] = 0, q[2] = p[0], q[3] = p[3];
                }
            stbi_write_png((pack + "/sub/" + name).c_str(), w, h, 4, out.data(), 4 * w);
        }
    }
    const Image rice_after =
        play_packs(rice_load, VEXA_RICE, "--set Video-Rice[LoadHiResTextures]=True");
    const Image our_after =
        play_packs(our_load, VEXA_M64P_PLUGIN_PATH, "--set Video-Vexa[LoadHiResTextures]=True");
    for (int quad = 0; quad < 15; ++quad) {
        EXPECT_GT(changed_share(rice_before, rice_after, quad), 0.5) << "Rice, quad " << quad;
        // Quad 9's clamped tile of a tile load is drawn by us as a band across its top: a
        // difference of drawing, not of the pack; what is drawn of it changes.
        EXPECT_GT(changed_share(our_before, our_after, quad), quad == 9 ? 0.25 : 0.5)
            << "ours, quad " << quad;
    }
    EXPECT_NE(log_of(our_load).find(std::to_string(our_files.size()) + " files indexed"),
              std::string::npos)
        << log_of(our_load);

    // Broken files: a drawn texture's PNG corrupt, another's _rgb with an _a of another size, a
    // file that is no pack file and one for another game.
    TempFolder broken;
    const std::string pack = broken.file("data/mupen64plus/hires_texture/" + kRom + "/");
    fs::create_directories(pack);
    std::vector<std::string> direct; // the textures of _all files
    for (const auto& [name, image] : our_files)
        if (name.find("_all.png") != std::string::npos) direct.push_back(name);
    ASSERT_GE(direct.size(), 2u);
    const std::string corrupt = direct[0], with_alpha = direct[1];
    const std::string stem = with_alpha.substr(0, with_alpha.size() - 8); // without _all.png
    write_file(pack + corrupt, "\x89PNG\r\n\x1a\n broken");
    stbi_write_png((pack + stem + "_rgb.png").c_str(), 1, 1, 4, "\xff\x00\x00\xff", 4);
    stbi_write_png((pack + stem + "_a.png").c_str(), 2, 1, 4, "\xff\xff\xff\xff\0\0\0\0", 8);
    write_file(pack + "readme.txt", "made for the tests");
    write_file(pack + "OTHER GAME#12345678#0#2_all.png", "");
    const Image shown =
        play_packs(broken, VEXA_M64P_PLUGIN_PATH, "--set Video-Vexa[LoadHiResTextures]=True");
    EXPECT_GT(share_within(our_before, shown, 4), 0.5) << "the game plays";
    const std::string log = log_of(broken);
    EXPECT_NE(log.find("3 files indexed"), std::string::npos) << log;
    for (const std::string& file : {corrupt, stem + "_a.png", std::string("readme.txt"),
                                    std::string("OTHER GAME#12345678#0#2_all.png")}) {
        const size_t first = log.find(file);
        EXPECT_NE(first, std::string::npos) << file << " named in the log";
        EXPECT_EQ(log.find(file, first + 1), std::string::npos) << file << " named once";
    }
}
#endif
