// The terrain scene's textures and words, shared with the test that computes its pixels
#pragma once
#include <cstdint>

namespace terrain {

struct Rgb {
    uint32_t r, g, b;
};

// 16 x 16 texels in 4 x 4 cells; the values are exact in RGBA 5-5-5-1.
inline Rgb grass(uint32_t s, uint32_t t) {
    return ((s / 4 + t / 4) & 1) ? Rgb{40, 120, 40} : Rgb{248, 200, 40};
}
inline Rgb rock(uint32_t s, uint32_t) { return (s / 4) & 1 ? Rgb{72, 72, 200} : Rgb{200, 72, 40}; }
inline uint32_t ice(uint32_t s, uint32_t t) { return ((s / 4 + t / 4) & 1) ? 64 : 255; }

constexpr Rgb kBackground          = {32, 48, 96};
constexpr uint32_t kTerrainKey0    = 0x34A2C12; // (TEXEL1 - TEXEL0) x ENV_ALPHA + TEXEL0
constexpr uint32_t kTerrainKey1    = 0x1FFE4F0; // COMBINED x SHADE, alpha COMBINED
constexpr uint32_t kEnvAlpha[3]    = {0, 128, 255};
constexpr uint8_t kShade           = 224;
constexpr uint32_t kIceCombine0    = 0xFC262A04;
constexpr uint32_t kIceCombine1    = 0x1F5893F8;
constexpr uint32_t kIceRenderMode  = 0xC81049D8; // fog by shade alpha, then a translucent surface
constexpr uint32_t kIceEnvAlpha    = 0x80;
constexpr uint32_t kIcePrimLodFrac = 0x60;

} // namespace terrain
