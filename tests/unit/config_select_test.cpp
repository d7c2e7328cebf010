// Microcode selection: the INI section of a ROM, the waiting loop and the save prompt
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <thread>

#include "config/config_dialog.h"
#include "config/config_template.h"
#include "config/ucode_select.h"
#include "host/plugin.h"
#include "support/config_files.h"
#include "support/test_host.h"

namespace {

// A ROM header as the host keeps it: cartridge byte i at offset i XOR 3.
struct HostHeader {
    uint8_t bytes[64] = {};
    void set(int offset, std::initializer_list<uint8_t> values) {
        for (uint8_t v : values)
            bytes[offset++ ^ 3] = v;
    }
    void set_name(const char* name) {
        for (int i = 0; name[i] && 0x20 + i < 64; ++i)
            bytes[(0x20 + i) ^ 3] = name[i];
    }
};

constexpr const char* kAskText = "Config your UCode\nChange to the GUI and click Config";

class UcodeSelection : public ::testing::Test {
  protected:
    HostFolder folder;
    ScriptedUi ui;
    HostHeader header;
    const char* key = "78563412F0DEBC9A-45";

    void SetUp() override {
        selected_ucode  = -1;
        ucode_chosen    = 0;
        config_dialog   = nullptr;
        prompt_round_ms = 0;
        header.set(0x10, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});
        header.set(0x3E, {0x45});
        header.set_name("TEST GAME 64");
        host.rom_header = header.bytes;
    }
    void TearDown() override {
        host.rom_header = nullptr;
        prompt_round_ms = 1000;
    }
    int32_t ini_ucode() {
        return platform_profile_read_int(key, "UCode", -100, folder.ini().c_str());
    }
    // The dialog, as the user opens it through the host and confirms `family`.
    void choose_in_dialog(int family) {
        open_config_dialog();
        ui.click(kIdFirstFamily + family);
        ui.click(kIdOk);
    }
};

TEST_F(UcodeSelection, SectionNameAndRomNameFromTheHeader) {
    EXPECT_EQ(rom_key(header_image(header.bytes)), "78563412F0DEBC9A-45");
    EXPECT_EQ(rom_name(header_image(header.bytes)), "TEST GAME 64");

    HostHeader other;
    other.set(0x10, {0x63, 0x5A, 0x2B, 0xFF, 0x00, 0x00, 0x00, 0x01});
    for (int i = 0x20; i < 64; ++i)
        other.bytes[i ^ 3] = 'A' + i % 26; // no zero: to the end
    other.set(0x3E, {0x4A});
    const HeaderImage image = header_image(other.bytes);
    EXPECT_EQ(rom_key(image), "FF2B5A6301000000-4A");
    EXPECT_EQ(rom_name(image).size(), 32u) << "up to the end of the 64 bytes";
    EXPECT_EQ(rom_key(header_image(nullptr)), "0000000000000000-00") << "no header: zeros";
    EXPECT_EQ(rom_name(header_image(nullptr)), "");

    EXPECT_EQ(ini_path(), folder.path.string() + "/Plugin//vexa_ogl.ini");
}

TEST_F(UcodeSelection, ConfiguredRomRunsWithoutABoxAndTheFileIsReadOnce) {
    write_file(folder.ini(),
               "[Other]\nUCode=1\n[78563412f0debc9a-45]\nName=TEST GAME 64\nUCode=3\n");
    EXPECT_EQ(select_ucode(), 3);
    EXPECT_TRUE(ui.shown.empty());
    write_file(folder.ini(), "[78563412F0DEBC9A-45]\nUCode=5\n");
    EXPECT_EQ(select_ucode(), 3) << "the file is not read again";
    std::filesystem::remove(folder.ini());
    EXPECT_EQ(select_ucode(), 3);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(UcodeSelection, ADialogChoiceBeforeTheFirstTaskNeedsNoFile) {
    choose_in_dialog(2);
    EXPECT_EQ(select_ucode(), 2);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.ini()));
}

TEST_F(UcodeSelection, MissingSectionAsksUntilTheDialogChooses) {
    write_file(folder.ini(), "; keep me\n[Other]\nUCode=1\n");
    ui.while_shown = [&](const ScriptedUi::Shown&) {
        if (ui.shown.size() == 2) {
            // The first round has marked the ROM as seen but not configured.
            EXPECT_EQ(ini_ucode(), -1);
            EXPECT_NE(read_file(folder.ini()).find("Name=TEST GAME 64\n"), std::string::npos);
        }
        if (ui.shown.size() == 3) choose_in_dialog(4);
    };
    const uint32_t waited_before = prompt_rounds_waited;
    EXPECT_EQ(select_ucode(), 4);
    ASSERT_EQ(ui.shown.size(), 3u) << "OK in the box without the dialog shows it again";
    EXPECT_EQ(prompt_rounds_waited, waited_before) << "an answered box comes back at once";
    for (const auto& box : ui.shown) {
        EXPECT_EQ(box.text, kAskText);
        EXPECT_EQ(box.caption, "Vexa ogl");
        EXPECT_EQ(box.icon, MessageIcon::none);
        EXPECT_EQ(box.buttons, MessageButtons::ok);
    }
    EXPECT_EQ(ini_ucode(), -1) << "the choice is saved only when RomClosed is answered Yes";
    EXPECT_EQ(read_file(folder.ini()),
              "; keep me\n[Other]\nUCode=1\n[78563412F0DEBC9A-45]\nName=TEST GAME 64\nUCode=-1\n");
    EXPECT_EQ(ucode_chosen.load(), 1);
}

// A value that names no family counts as not configured: the user is asked.
TEST_F(UcodeSelection, ValuesThatNameNoFamilyAreNotConfigured) {
    struct Case {
        const char* value;
        int32_t expected; // the family used; -1: the box is shown (the dialog then picks 6)
        // Digits wrap at 32 bits as GetPrivateProfileIntA reads them: 2^32 + 1 is 1.
    } cases[]      = {{"9", -1}, {"8", 8},   {"-2", -1}, {"99", -1}, {"4294967297", 1}, {"abc", -1},
                      {"", -1},  {"-1", -1}, {"0", 0},   {"6", 6},   {" 3 ", 3},        {"5 games", 5}};
    ui.while_shown = [&](const ScriptedUi::Shown&) { choose_in_dialog(6); };
    for (const Case& k : cases) {
        selected_ucode = -1;
        ui.shown.clear();
        write_file(folder.ini(), std::string("[78563412F0DEBC9A-45]\nUCode=") + k.value + "\n");
        const int32_t used = select_ucode();
        if (k.expected == -1) {
            EXPECT_EQ(used, 6) << "UCode=" << k.value;
            EXPECT_EQ(ui.shown.size(), 1u) << "UCode=" << k.value;
            EXPECT_EQ(ini_ucode(), -1) << "UCode=" << k.value;
        } else {
            EXPECT_EQ(used, k.expected) << "UCode=" << k.value;
            EXPECT_TRUE(ui.shown.empty()) << "UCode=" << k.value;
        }
    }
}

// Without a display no box can be shown: the loop then waits a round between boxes, the
// host's user-interface thread ends the wait, and the waiting task thread does not spin.
TEST_F(UcodeSelection, ADialogOnAnotherThreadEndsTheWait) {
    prompt_round_ms              = 100;
    ui.answer                    = MessageAnswer::not_shown;
    const uint32_t waited_before = prompt_rounds_waited;
    std::thread ui_thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        choose_in_dialog(5);
    });
    timespec cpu0, cpu1;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
    const auto start     = std::chrono::steady_clock::now();
    const int32_t family = select_ucode();
    const auto waited    = std::chrono::steady_clock::now() - start;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
    ui_thread.join();

    EXPECT_EQ(family, 5);
    const double cpu_ms = (cpu1.tv_sec - cpu0.tv_sec) * 1e3 + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e6;
    EXPECT_LT(cpu_ms, 100.0) << "the waiting loop sleeps between rounds";
    EXPECT_GE(ui.shown.size(), 3u);
    EXPECT_LE(ui.shown.size(), 5u) << "one box per round of 100 ms";
    EXPECT_EQ(prompt_rounds_waited - waited_before, ui.shown.size()) << "a round per box";
    EXPECT_LT(waited, std::chrono::milliseconds(500)) << "the choice is taken within a round";
}

TEST_F(UcodeSelection, RomClosedAsksOnlyAfterTheDialogsOk) {
    const std::string before = "[78563412F0DEBC9A-45]\nName=TEST GAME 64\nUCode=-1\n[B]\nx=1\n";
    write_file(folder.ini(), before);
    save_ucode_prompt();
    EXPECT_TRUE(ui.shown.empty()) << "no dialog use, no question";

    open_config_dialog();
    ui.click(kIdFirstFamily + 2);
    ui.click(kIdCancel);
    save_ucode_prompt();
    EXPECT_TRUE(ui.shown.empty()) << "a cancelled dialog chose nothing";

    choose_in_dialog(4);
    ui.answer = MessageAnswer::no;
    save_ucode_prompt();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Do ya want to Save your selected UCode ??");
    EXPECT_EQ(ui.shown[0].caption, "UCode");
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::question);
    EXPECT_EQ(ui.shown[0].buttons, MessageButtons::yes_no);
    EXPECT_EQ(read_file(folder.ini()), before) << "No leaves the file byte for byte";

    ui.answer = MessageAnswer::yes;
    save_ucode_prompt();
    EXPECT_EQ(read_file(folder.ini()),
              "[78563412F0DEBC9A-45]\nName=TEST GAME 64\nUCode=4\n[B]\nx=1\n");
    save_ucode_prompt();
    EXPECT_EQ(ui.shown.size(), 3u) << "every RomClosed asks again";
    EXPECT_EQ(selected_ucode.load(), 4);
    EXPECT_EQ(ucode_chosen.load(), 1);
}

TEST_F(UcodeSelection, SaveCreatesTheSectionOfAnUnseenRom) {
    choose_in_dialog(0);
    ui.answer = MessageAnswer::yes;
    save_ucode_prompt();
    EXPECT_EQ(read_file(folder.ini()), "[78563412F0DEBC9A-45]\nName=TEST GAME 64\nUCode=0\n");
}

} // namespace
