// The microcode family from the identification text in the task's microcode data and from the
// sum of its code
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "config/ucode_sum.h"
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
    const UcodeIdentity found = identify_ucode(dmem.data(), m.rdram.data(), Console::kRdramSize);
    EXPECT_EQ(found.text, "RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.");
    EXPECT_EQ(found.family, 1);
}

// The stand-in microcode of vexa-rom's ROMs: console words 0x9E3779B9 * (k + 1). The other
// plug-in whose table we use reports its sum as f6f71580.
void put_stand_in(std::vector<uint8_t>& rdram, uint32_t at) {
    for (uint32_t k = 0; k < kUcodeSumBytes / 4; ++k) {
        const uint32_t word = 0x9E3779B9u * (k + 1);
        std::memcpy(&rdram[at + 4 * k], &word, 4); // the host's RDRAM holds words whole
    }
}

TEST(UcodeSum, SumStaysInsideRdram) {
    const uint32_t top = Console::kRdramSize - kUcodeSumBytes;
    const struct {
        const char* what;
        uint32_t code_at, address, rdram_size;
        bool summed;
    } cases[] = {
        {"code inside RDRAM", 0x1F0000, 0x1F0000, 0x800000, true},
        {"code ending at the top of RDRAM", top, top, 0x800000, true},
        {"code running 8 bytes past RDRAM", top, top + 8, 0x800000, false},
        {"code at 8 MB is not wrapped to 0", 0, 0x800000, 0x800000, false},
        {"segment bits drop out", 0x1F0000, 0x801F0000, 0x800000, true},
        {"the low three bits drop out", 0x1F0000, 0x1F0007, 0x800000, true},
        {"code ending at the top of a 4 MB RDRAM", 0x3FF400, 0x3FF400, 0x400000, true},
        {"code beyond a 4 MB RDRAM", 0x3FF400, 0x400000, 0x400000, false},
        {"code running past a 4 MB RDRAM", 0x3FF400, 0x3FF800, 0x400000, false},
        {"RDRAM size beyond 8 MB counts as 8 MB", top, top, 0xFFFFFFFF, true},
        {"RDRAM of unknown size", 0x1F0000, 0x1F0000, 0, false},
    };
    for (const auto& c : cases) {
        // Exactly the RDRAM the host has: a read past it is a sanitizer finding.
        std::vector<uint8_t> rdram(std::min<uint32_t>(c.rdram_size, Console::kRdramSize));
        if (c.code_at + kUcodeSumBytes <= rdram.size()) put_stand_in(rdram, c.code_at);
        uint32_t sum      = 0x5EED;
        const bool summed = sum_ucode(rdram.data(), c.rdram_size, c.address, &sum);
        EXPECT_EQ(summed, c.summed) << c.what;
        EXPECT_EQ(sum, c.summed ? 0xF6F71580u : 0x5EEDu) << c.what;
    }
    uint32_t sum = 0;
    EXPECT_FALSE(sum_ucode(nullptr, Console::kRdramSize, 0, &sum)) << "no RDRAM";
}

// The table as transcribed, and the other plug-in's numbers we draw with a family of ours.
TEST(UcodeSum, KnownSumsGiveTheirFamilies) {
    ASSERT_EQ(kKnownUcodeSumCount, 145u);
    for (uint32_t i = 1; i < kKnownUcodeSumCount; ++i)
        EXPECT_LT(kKnownUcodeSums[i - 1].sum, kKnownUcodeSums[i].sum) << "sorted, no sum twice";
    const struct {
        uint32_t sum;
        int32_t family;
    } cases[] = {
        {0x006BD77F, 0},  {0xFB816260, 1},  {0x03044B84, 4},  {0x5B5D3763, 2},
        {0x63BE08B3, 6},  {0x0D7CBFFB, 6},  {0x1EA9E30F, 7},  {0x47D46E86, 5},
        {0x5B5D36E3, -1}, {0xBA86CB1D, -1}, {0x0BF36D36, -1}, {0x1F120BBB, -1}, // 4, 8, 9, 21
        {0x0D7BBFFB, -1}, {0xF6F71580, -1}, {0x00000000, -1}, {0xFFFFFFFF, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(family_of_ucode_sum(c.sum), c.family) << std::hex << c.sum;
}

// A known sum wins over the text, which a microcode of another family may share.
TEST(UcodeSum, SumBeforeText) {
    Memory m;
    m.put(0x1F1030, "RSP SW Version: 2.0D, 04-01-96");
    put_stand_in(m.rdram, 0x1F0000);
    uint32_t last = 0;
    std::memcpy(&last, &m.rdram[0x1F0000 + kUcodeSumBytes - 4], 4);
    last += 0x63BE08B3u - 0xF6F71580u; // the code of a family-6 microcode
    std::memcpy(&m.rdram[0x1F0000 + kUcodeSumBytes - 4], &last, 4);
    std::vector<uint8_t> dmem(0x1000);
    const uint32_t header[4] = {0x1F0000, 0x1000, 0x1F1000, 0x800}; // ucode, size, data, size
    std::memcpy(&dmem[kTaskUcode], header, sizeof header);
    const UcodeIdentity found = identify_ucode(dmem.data(), m.rdram.data(), Console::kRdramSize);
    EXPECT_TRUE(found.summed);
    EXPECT_EQ(found.sum, 0x63BE08B3u);
    EXPECT_EQ(found.text_family, 0);
    EXPECT_EQ(found.family, 6);
}

} // namespace
