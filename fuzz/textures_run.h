// One fuzz input through the tile and load commands, the texel converters and the cache
#pragma once
#include <algorithm>
#include <cstdint>

#include "console.h"
#include "fuzz_input.h"
#include "fuzz_state.h"
#include "state/rdp_reg.h"
#include "texture/texel_convert.h"
#include "texture/texture_cache.h"
#include "texture/tile_commands.h"

// RDRAM for this target is the same noise for every input: the addresses, sizes and palettes
// are what the input chooses.
inline void fill_texture_rdram(Console& console) {
    uint32_t x = 0x9E3779B9;
    for (uint8_t& b : console.rdram) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
}

// Texel transforms the recipes ask for, and one that no recipe names.
constexpr uint32_t kFuzzTextureModes[] = {0, 1, 2, 6, 0x40, 0x41, 0x43, 0x44, 0x46, 0x80, 0x200, 7};

// An input is a list of 13-byte steps: a selector byte and three little-endian words.
struct TextureStep {
    uint8_t selector;
    uint32_t w0, w1, w2;
};

inline void run_texture_command(uint32_t op, const TextureStep& s, void (*handler)()) {
    rdp_reg.cmd0 = (op << 24) | (s.w0 & 0xFFFFFF);
    rdp_reg.cmd1 = s.w1;
    handler();
}

// A converter called directly as the cache would, with a hostile source, row length and
// rectangle. What can go wrong is where the reads land, and the corner and row length alone
// reach every address: the rectangle is at most 64 x 64 texels, so that a step stays cheap.
inline void run_converter(const TextureStep& s) {
    const int32_t s0             = static_cast<int32_t>((s.w0 >> 8) & 0xFFF);
    const int32_t t0             = static_cast<int32_t>(s.w0 >> 20);
    const int32_t width          = 1 + static_cast<int32_t>(s.w2 & 0x3F);
    const int32_t height         = 1 + static_cast<int32_t>((s.w2 >> 10) & 0x3F);
    texel_line                   = static_cast<int32_t>(s.w2 >> 19);
    const TexelConverter convert = TexelConverters[s.w0 & 31];
    convert(s.w1, tile_texels[1].texels, s0, s0 + width - 1, t0, t0 + height - 1);
}

inline void run_texture_step(const TextureStep& s) {
    switch (s.selector % 10) {
    case 0: run_texture_command(0xFD, s, rdp_set_texture_image); break;
    case 1: run_texture_command(0xF5, s, rdp_set_tile); break;
    case 2: run_texture_command(0xF2, s, rdp_set_tile_size); break;
    case 3: run_texture_command(0xF3, s, rdp_load_block); break;
    case 4: run_texture_command(0xF4, s, rdp_load_tile); break;
    case 5: run_texture_command(0xF0, s, rdp_load_tlut); break;
    case 6:
        rdp_reg.texture_mode  = kFuzzTextureModes[s.w2 % std::size(kFuzzTextureModes)];
        rdp_reg.texture_color = s.w1;
        rdp_reg.prim_color    = s.w0;
        rdp_reg.env_color     = s.w2;
        bind_texture();
        break;
    case 7: convert_tile(s.w1 & 7); break;
    case 8: run_converter(s); break;
    case 9: rdp_reg.segments[s.w0 & 0xF] = s.w1; break;
    }
}

constexpr size_t kTextureStepBytes = 13;
constexpr size_t kMaxTextureSteps  = 64;

inline void run_texture_input(const uint8_t* data, size_t size) {
    reset_fuzz_state();
    for (size_t i = 0; i + kTextureStepBytes <= size && i < kMaxTextureSteps * kTextureStepBytes;
         i += kTextureStepBytes) {
        const uint8_t* p = data + i;
        run_texture_step({p[0], read_le32(p + 1), read_le32(p + 5), read_le32(p + 9)});
    }
}
