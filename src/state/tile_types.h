// Tile descriptors and the texture image named by SETTEXTUREIMAGE
#pragma once
#include <cstdint>

struct TextureImage {
    uint8_t format;   // image format code 0..7
    uint8_t size;     // texel size code 0..3 (4, 8, 16, 32 bits)
    uint32_t width;   // image width in texels, 1..4096
    uint32_t address; // RDRAM byte offset (segment-translated)
};

struct TileDescriptor {
    uint8_t format;     // image format code, from SETTILE
    uint8_t size;       // texel size code, from SETTILE
    uint16_t line;      // row length in texels (SETTILE converts from 64-bit words)
    uint16_t tmem;      // TMEM address in 64-bit words, 0..511
    uint8_t palette;    // palette number 0..15
    uint8_t clamp_t;    // 0 or 1
    uint8_t mirror_t;   // 0 or 1
    uint8_t mask_t;     // 0..15
    uint8_t shift_t;    // 0..15
    uint8_t clamp_s;    // 0 or 1
    uint8_t mirror_s;   // 0 or 1
    uint8_t mask_s;     // 0..15
    uint8_t shift_s;    // 0..15
    int32_t width;      // tile width in texels
    int32_t height;     // tile height in texels
    uint8_t texture_on; // on byte of the microcode's TEXTURE command
    float scale_s;      // TEXTURE command S scale
    float scale_t;      // TEXTURE command T scale
    uint32_t source; // RDRAM byte offset of the tile's texels (kept as an offset, never a pointer)
    int32_t load_offset;        // offset of the image start within the tile's converted texels
    int16_t uls, ult, lrs, lrt; // tile rectangle in whole texels
    // The upper-left corner in quarter texels (10.2) as SETTILESIZE or a load gave it: the
    // texture unit subtracts it from every coordinate.
    uint16_t corner_s, corner_t;
};

constexpr int kTileCount = 8;
