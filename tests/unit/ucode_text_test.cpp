// The microcode family from the identification text in the task's microcode data
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "config/ucode_text.h"
#include "console.h"

namespace {

TEST(UcodeText, FamilyOfEachText) {
    const struct {
        const char* text;
        int32_t family;
    } cases[] = {
        {"RSP SW Version: 2.0D, 04-01-96", 0},
        {"RSP SW Version: 2.0H, 02-12-97", 0},
        {"RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.", 1},
        {"RSP Gfx ucode F3DLX       1.21 Yoshitaka Yasumoto 1996 Nintendo.", 1},
        {"RSP Gfx ucode F3DLP.Rej   1.21 Yoshitaka Yasumoto 1996 Nintendo.", 1},
        {"RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.", 4},
        {"RSP Gfx ucode F3DEX.NoN   xbus 2.05  Yoshitaka Yasumoto 1998 Nintendo.", 4},
        {"RSP Gfx ucode F3DZEX.NoN  fifo 2.06H Yoshitaka Yasumoto 1998 Nintendo.", 4},
        {"RSP Gfx ucode L3DEX2      fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.", 4},
        {"RSP Gfx ucode S2DEX  1.07 Yoshitaka Yasumoto Nintendo.", 7},
        {"RSP Gfx ucode S2DEX       fifo 2.05  Yoshitaka Yasumoto 1998 Nintendo.", 8},
        {"RSP Gfx ucode S2DEX       xbus 2.08  Yoshitaka Yasumoto 1999 Nintendo.", 8},
        // Names and versions that name no family of ours.
        {"RSP Gfx[Safe] S2DEX       fifo 2.05  Yoshitaka Yasumoto 1998 Nintendo.", -1},
        {"RSP Gfx ucode S2DEX       3.00", -1},
        {"RSP Gfx ucode F3DZEX.NoN  fifo 1.00 Yoshitaka Yasumoto 1998 Nintendo.", -1},
        {"RSP Gfx ucode F3DLP.Rej   0.95 Yoshitaka Yasumoto 1996 Nintendo.", -1},
        {"RSP Gfx ucode F3DEX       3.00", -1},
        {"RSP Gfx ucode F3DEX2 1997", -1}, // the name's digit and a year are no version
        {"RSP SW Version: 1.0", -1},
        {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(family_of_ucode_text(c.text), c.family) << c.text;
}

// A text written at console address `at` (bytes at a XOR 3, as the console stores them).
struct Memory {
    std::vector<uint8_t> rdram = std::vector<uint8_t>(Console::kRdramSize);
    void put(uint32_t at, const char* text) {
        for (size_t i = 0; i < std::strlen(text); ++i)
            rdram[(at + i) ^ 3] = static_cast<uint8_t>(text[i]);
    }
};

TEST(UcodeText, SearchStaysInsideTheDataAndRdram) {
    const char fast3d[] = "RSP SW Version: 2.0D, 04-01-96";
    const uint32_t top  = Console::kRdramSize - (sizeof fast3d - 1); // text ends at the top
    const struct {
        const char* what;
        uint32_t text_at, address, size, rdram_size;
        const char* found;
    } cases[] = {
        {"text inside the data", 0x1F0130, 0x1F0000, 0x800, 0x800000, fast3d},
        {"text ending at the top of RDRAM", top, top - 0x10, 0x800, 0x800000, fast3d},
        {"address with segment bits", 0x1F0130, 0x801F0000, 0x800, 0x800000, fast3d},
        {"size 0 reads nothing", 0x1F0130, 0x1F0000, 0, 0x800000, ""},
        {"size 4 GB stops at RDRAM's end", top, 0x7F0000, 0xFFFFFFFF, 0x800000, fast3d},
        {"text past the data's end", 0x1F0900, 0x1F0000, 0x800, 0x800000, ""},
        {"text cut by the data's end", 0x1F07F0, 0x1F0000, 0x800, 0x800000, ""},
        {"data beyond a 4 MB RDRAM", 0x5F0130, 0x5F0000, 0x800, 0x400000, ""},
        {"RDRAM size beyond 8 MB counts as 8 MB", top, top, 0x800, 0xFFFFFFFF, fast3d},
    };
    for (const auto& c : cases) {
        Memory m;
        m.put(c.text_at, fast3d);
        EXPECT_EQ(find_ucode_text(m.rdram.data(), c.rdram_size, c.address, c.size), c.found)
            << c.what;
    }
}

TEST(UcodeText, TextEndsAtTheFirstUnprintableByteAndIsTrimmed) {
    Memory m;
    m.put(0x1000, "RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.   ");
    m.rdram[(0x1000 + 68) ^ 3] = 0;
    m.put(0x1000 + 69, "tail");
    std::vector<uint8_t> dmem(0x1000);
    const uint32_t address = 0xF80, size = 0x800;
    std::memcpy(&dmem[kTaskUcodeData], &address, 4);
    std::memcpy(&dmem[kTaskUcodeDataSize], &size, 4);
    const UcodeText found = identify_ucode(dmem.data(), m.rdram.data(), Console::kRdramSize);
    EXPECT_EQ(found.text, "RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.");
    EXPECT_EQ(found.family, 1);
}

} // namespace
