// Texel decoding: console texture formats to RGBA8, and the texel transforms of the recipes
#pragma once
#include <cstdint>

// One converted texel, in the byte order GL_RGBA / GL_UNSIGNED_BYTE expects.
struct Texel {
    uint8_t r, g, b, a;
};

// Converts columns s0..s1 of rows t0..t1 (both inclusive) of the texels at RDRAM offset
// `source` into `target`, row after row. Reads past the end of RDRAM give zero bytes.
using TexelConverter = void (*)(uint32_t source, Texel* target, int32_t s0, int32_t s1, int32_t t0,
                                int32_t t1);

// Converters by format * 4 + size; formats 5 to 7 decode like 0 to 2, by size alone.
constexpr int kConverterCount = 32;
extern const TexelConverter TexelConverters[kConverterCount];

inline TexelConverter converter_for(uint32_t format, uint32_t size) {
    return TexelConverters[((format & 7) << 2) | (size & 3)];
}

// Set by the cache before a conversion: texels from one source row to the next.
extern int32_t texel_line;
// Set by the cache before a conversion: the palette number (0..15) of the tile converted, which
// 4-bit indexed texels read.
extern uint32_t texel_palette;

// The texel area textures are assembled in before upload.
constexpr uint32_t kStagingTexels = 1u << 20;
extern Texel TexelStaging[kStagingTexels];

// The texel steps of recipes derived from the combiner formula: kTexelSteps with any of the
// step bits, applied in this order.
constexpr uint32_t kTexelSteps       = 0x1000;
constexpr uint32_t kTexelSquare      = 0x1;  // RGB times itself
constexpr uint32_t kTexelInvert      = 0x2;  // RGB 255 - RGB
constexpr uint32_t kTexelWhite       = 0x4;  // RGB 255
constexpr uint32_t kTexelAlphaOpaque = 0x8;  // alpha 255
constexpr uint32_t kTexelScale       = 0x10; // each channel times its byte of texture_color

// With any mode: the texels' alpha made opaque after it, for draws whose combiner reads no
// texel alpha.
constexpr uint32_t kTextureAlphaOpaque = 0x2000;

// Rewrites the first `count` texels of TexelStaging with the transform `mode` (unknown modes
// leave them as they are). Returns 1.
int apply_texture_mode(uint32_t mode, uint32_t count);
