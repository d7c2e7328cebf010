// The microcode family from the microcode's own identification text, for hosts without a dialog
#include "config/ucode_text.h"

#include <cstring>

#include "config/ucode_sum.h"
#include "state/rdram.h"

namespace {

constexpr char kFast3dText[] = "RSP SW Version: 2.0";
constexpr char kGfxText[]    = "RSP Gfx ucode ";

// Names of the "RSP Gfx ucode" texts (a name may carry a suffix: "F3DEX.NoN", "L3DEX2") and
// their family by major version; -1 where that version names no family of ours.
struct GfxName {
    const char* prefix;
    int32_t family_v1;
    int32_t family_v2;
};
constexpr GfxName kGfxNames[] = {
    {"F3DEX", 1, 4},  {"F3DLX", 1, 4}, {"F3DLP", 1, 4}, {"F3DZEX", -1, 4},
    {"L3DEX", -1, 4}, {"S2DEX", 7, 8}, // the 2-D microcodes, with family 1's and family 4's
                                       // numbering
};

bool starts_with(const std::string& s, size_t at, const char* prefix) {
    return s.compare(at, std::strlen(prefix), prefix) == 0;
}

bool printable(uint8_t c) { return c >= 0x20 && c < 0x7F; }

// The first "<digits>.<digit>" word after the name, as in "1.23" or "fifo 2.08"; -1 if none.
int32_t major_version(const std::string& text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || (i > 0 && text[i - 1] != ' ')) continue;
        size_t end = i;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end + 1 < text.size() && text[end] == '.' && text[end + 1] >= '0' &&
            text[end + 1] <= '9' && end - i <= 2)
            return std::stoi(text.substr(i, end - i));
    }
    return -1;
}

} // namespace

std::string find_ucode_text(const uint8_t* rdram, uint32_t rdram_size, uint32_t address,
                            uint32_t size) {
    if (!rdram) return {};
    const uint32_t start = address & kRdramMask;
    if (rdram_size > kRdramSize) rdram_size = kRdramSize;
    rdram_size &= ~3u; // whole words: the byte swizzle stays inside them
    if (start >= rdram_size) return {};
    const uint32_t end = size < rdram_size - start ? start + size : rdram_size;
    auto byte_at       = [&](uint32_t a) { return rdram[a ^ 3]; };
    auto matches       = [&](uint32_t a, const char* text) {
        for (; *text; ++text, ++a)
            if (a >= end || byte_at(a) != static_cast<uint8_t>(*text)) return false;
        return true;
    };
    for (uint32_t a = start; a < end; ++a) {
        if (byte_at(a) != 'R' || !(matches(a, kFast3dText) || matches(a, kGfxText))) continue;
        std::string text;
        for (uint32_t b = a; b < end && printable(byte_at(b)) && text.size() < kUcodeTextMax; ++b)
            text.push_back(static_cast<char>(byte_at(b)));
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    }
    return {};
}

int32_t family_of_ucode_text(const std::string& text) {
    if (starts_with(text, 0, kFast3dText)) return 0;
    if (!starts_with(text, 0, kGfxText)) return -1;
    size_t name = std::strlen(kGfxText);
    while (name < text.size() && text[name] == ' ')
        ++name;
    for (const GfxName& g : kGfxNames) {
        if (!starts_with(text, name, g.prefix)) continue;
        switch (major_version(text, name + std::strlen(g.prefix))) {
        case 1: return g.family_v1;
        case 2: return g.family_v2;
        default: return -1;
        }
    }
    return -1;
}

UcodeIdentity identify_ucode(const uint8_t* dmem, const uint8_t* rdram, uint32_t rdram_size) {
    UcodeIdentity found{};
    std::memcpy(&found.code, dmem + kTaskUcode, 4);
    std::memcpy(&found.address, dmem + kTaskUcodeData, 4);
    std::memcpy(&found.size, dmem + kTaskUcodeDataSize, 4);
    found.summed      = sum_ucode(rdram, rdram_size, found.code, &found.sum);
    found.sum_family  = found.summed ? family_of_ucode_sum(found.sum) : -1;
    found.text        = find_ucode_text(rdram, rdram_size, found.address, found.size);
    found.text_family = family_of_ucode_text(found.text);
    found.family      = found.sum_family >= 0 ? found.sum_family : found.text_family;
    return found;
}
