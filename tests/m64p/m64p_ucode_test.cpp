// Inside Debian's core the family comes from the INI file or the microcode's text, never from
// a dialog; an unknown microcode gives one message and an empty frame, and the task returns
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core_host.h"
#include "dl_builder.h"
#include "dl_rdp.h"
#include "host_ini.h"

namespace {

constexpr uint32_t kList       = 0x100000;
constexpr uint8_t kDpInterrupt = 0x20;

// One core and one plug-in for the suite, as one emulator session runs game after game.
class M64pUcode : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(core().start(&error)) << error;
        ASSERT_TRUE(core().attach(VEXA_M64P_PLUGIN_PATH, &plugin(), &error)) << error;
    }
    static void TearDownTestSuite() {
        core().detach(&plugin());
        core().stop();
    }
    static CoreHost& core() {
        static CoreHost c;
        return c;
    }
    static VideoPlugin& plugin() {
        static VideoPlugin p;
        return p;
    }
    static Console& console() {
        static Console* c = new Console;
        return *c;
    }

    std::string ini_path() const { return core().config_dir() + "/vexa_ogl.ini"; }

    // A game whose task draws a full-screen fill rectangle with the given microcode data.
    void open_game(const char* name, uint32_t crc) {
        std::filesystem::remove(ini_path());
        core().messages.clear();
        Console& c = console();
        c.set_rom_header(crc, 0x00000016u, 0x45, name);
        ASSERT_TRUE(plugin().InitiateGFX(core().gfx_info(c, registers)));
        ASSERT_TRUE(plugin().RomOpen());
        DisplayList dl(c, kList);
        dl.add({cmd::set_color_image(320, 0x200000), cmd::set_scissor(0, 0, 320, 240),
                cmd::set_cycle_type(3), cmd::set_fill_color(0x80808080u),
                cmd::fill_rect(0, 0, 319, 239), cmd::full_sync(), cmd::end_dl()});
    }
    void TearDown() override { plugin().RomClosed(); }

    // Runs one frame (two tasks) with the task header pointing at `address` and `size`, the
    // code at `code`.
    void run_frame(uint32_t address = kUcodeDataAddress, uint32_t size = kUcodeDataSize,
                   uint32_t code = 0) {
        Console& c = console();
        for (int task = 0; task < 2; ++task) {
            c.mi_interrupt = 0;
            c.set_task(kList);
            std::memcpy(&c.dmem[0xFD0], &code, 4);
            std::memcpy(&c.dmem[0xFD8], &address, 4);
            std::memcpy(&c.dmem[0xFDC], &size, 4);
            plugin().ProcessDList();
            EXPECT_EQ(c.mi_interrupt, kDpInterrupt) << "the core is signalled either way";
        }
    }
    void write_text(uint32_t address, const char* text) {
        for (uint32_t a = 0; a < kUcodeDataSize; ++a)
            console().write_u8(kUcodeDataAddress + a, 0);
        for (uint32_t i = 0; text[i]; ++i)
            console().write_u8(address + i, static_cast<uint8_t>(text[i]));
    }
    // Whether the fill rectangle is in the frame (else it is the cleared black).
    bool drew() {
        unsigned char rgba[4] = {};
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return rgba[0] != 0;
    }
    // The plug-in's lines in the log, one string per message.
    std::vector<CoreMessage> plugin_messages() const {
        std::vector<CoreMessage> lines;
        for (const CoreMessage& m : core().messages)
            if (m.text.rfind("Video-Vexa: ", 0) == 0) lines.push_back(m);
        return lines;
    }

    VideoRegisters registers;
};

TEST_F(M64pUcode, FamilyFromEachMicrocodeText) {
    const struct {
        const char* text;
        int family;
    } cases[] = {
        {"RSP SW Version: 2.0D, 04-01-96", 0},
        {"RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.", 1},
        {"RSP Gfx ucode F3DLX.Rej   1.21 Yoshitaka Yasumoto 1996 Nintendo.", 1},
        {"RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.", 4},
        {"RSP Gfx ucode F3DZEX.NoN  fifo 2.06H Yoshitaka Yasumoto 1998 Nintendo.", 4},
        {"RSP Gfx ucode L3DEX2      fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.", 4},
        {"RSP Gfx ucode S2DEX  1.07 Yoshitaka Yasumoto Nintendo.", 7},
        {"RSP Gfx ucode S2DEX       fifo 2.05  Yoshitaka Yasumoto 1998 Nintendo.", 8},
    };
    for (const auto& c : cases) {
        open_game("TEXT GAME", 0x11110000u);
        write_text(kUcodeDataAddress + 0x130, c.text);
        run_frame();
        run_frame();
        const auto lines = plugin_messages();
        ASSERT_EQ(lines.size(), 1u) << c.text;
        EXPECT_EQ(lines[0].level, M64MSG_INFO);
        EXPECT_EQ(lines[0].text, "Video-Vexa: \"TEXT GAME\" uses microcode family " +
                                     std::to_string(c.family) + ": its microcode text is \"" +
                                     c.text +
                                     "\"; code sum 0x00000000 of ucode 0x00000000, "
                                     "no known microcode's");
        if (c.family == 0) {
            EXPECT_TRUE(drew()) << "family 0 drew the fill";
        }
        plugin().RomClosed();
    }
}

// The INI entry wins over the text; the file lives in the core's user configuration folder.
TEST_F(M64pUcode, IniEntryOverridesTheText) {
    open_game("INI GAME", 0x22220000u);
    std::string error;
    ASSERT_TRUE(save_family_choice_in(ini_path(), console().rom_header, 0, &error)) << error;
    write_text(kUcodeDataAddress, "RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto");
    run_frame();
    const auto lines = plugin_messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Video-Vexa: \"INI GAME\" uses microcode family 0: UCode=0 in "
                             "section [00002222160000"
                             "00-45] of " +
                                 ini_path());
    EXPECT_TRUE(drew());
}

TEST_F(M64pUcode, UnknownMicrocodeGivesOneMessageAndAnEmptyFrame) {
    const struct {
        const char* what;
        const char* text;
        uint32_t address, size, code;
        const char* found;
    } cases[] = {
        {"unknown text", "RSP Gfx ucode S2DEX       3.00 Yoshitaka Yasumoto 2001 Nintendo.",
         kUcodeDataAddress, kUcodeDataSize, 0,
         "the microcode text \"RSP Gfx ucode S2DEX       3.00 Yoshitaka Yasumoto 2001 "
         "Nintendo.\" (ucode_data 0x007F0000, 2048 bytes) and code sum 0x00000000 of ucode "
         "0x00000000"},
        {"no text", "", kUcodeDataAddress, kUcodeDataSize, 0,
         "no microcode text (ucode_data 0x007F0000, 2048 bytes) and code sum 0x00000000 of ucode "
         "0x00000000"},
        {"size 0", "RSP SW Version: 2.0D", kUcodeDataAddress, 0, 0,
         "no microcode text (ucode_data 0x007F0000, 0 bytes) and code sum 0x00000000 of ucode "
         "0x00000000"},
        {"top of RDRAM, size 4 GB", "", 0x7FFFF8, 0xFFFFFFFF, 0x7FF400,
         "no microcode text (ucode_data 0x007FFFF8, 4294967295 bytes) and code sum 0x00000000 of "
         "ucode 0x007FF400"},
        {"code running past RDRAM", "", kUcodeDataAddress, kUcodeDataSize, 0x7FF408,
         "no microcode text (ucode_data 0x007F0000, 2048 bytes) and no code sum (ucode "
         "0x007FF408 lies outside RDRAM)"},
    };
    for (const auto& c : cases) {
        open_game("ODD GAME", 0x33330000u);
        write_text(kUcodeDataAddress, c.text);
        const auto start = std::chrono::steady_clock::now();
        for (int frame = 0; frame < 5; ++frame)
            run_frame(c.address, c.size, c.code);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
            << c.what << ": nothing waits";
        EXPECT_FALSE(drew()) << c.what << ": nothing drawn";
        const auto lines = plugin_messages();
        ASSERT_EQ(lines.size(), 1u) << c.what << ": one message for the game";
        EXPECT_EQ(lines[0].level, M64MSG_ERROR);
        const std::string expected = std::string("Video-Vexa: \"ODD GAME\": ") + c.found +
                                     " name no microcode family known to this plug-in, so "
                                     "nothing is drawn. Set the game's family (0 to 8) as "
                                     "UCode=<family> in section [0000333316000000-45] of " +
                                     ini_path();
        EXPECT_EQ(lines[0].text, expected) << c.what;
        // The section is there for the user to fill in.
        std::ifstream ini(ini_path());
        std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("[0000333316000000-45]"), std::string::npos) << text;
        EXPECT_NE(text.find("UCode=-1"), std::string::npos) << text;
        plugin().RomClosed();
    }
}

// A new microcode in the same game is examined again; the next game chooses afresh.
TEST_F(M64pUcode, ChoosesAgainForANewMicrocodeAndANewGame) {
    open_game("LATE GAME", 0x44440000u);
    write_text(kUcodeDataAddress, "no text yet");
    run_frame();
    write_text(kUcodeDataAddress + 0x400, "RSP SW Version: 2.0H, 02-12-97");
    run_frame(kUcodeDataAddress + 0x400, 0x400);
    EXPECT_TRUE(drew());
    const auto lines = plugin_messages();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, M64MSG_ERROR);
    EXPECT_NE(lines[1].text.find("uses microcode family 0"), std::string::npos);
    plugin().RomClosed();

    open_game("NEXT GAME", 0x55550000u);
    write_text(kUcodeDataAddress, "RSP Gfx ucode S2DEX       3.00");
    run_frame();
    EXPECT_FALSE(drew()) << "the previous game's family is not kept";
}

} // namespace
