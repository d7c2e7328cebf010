// Field access on command words, and colour bytes
#pragma once
#include <cstdint>

// The float nearest to 1/255 (bits 0x3B808081): colour bytes to 0..1.
constexpr float kInv255 = 1.0f / 255.0f;

// The n-bit field of word w that starts at bit lo.
constexpr uint32_t field(uint32_t w, int lo, int n) { return (w >> lo) & ((1u << n) - 1u); }

// The low 16 bits of w as a signed number.
constexpr int32_t sext16(uint32_t w) { return static_cast<int16_t>(w & 0xFFFF); }

// The low 8 bits of w as a signed number.
constexpr int32_t sext8(uint32_t w) { return static_cast<int8_t>(w & 0xFF); }

constexpr uint32_t opcode(uint32_t cmd0) { return cmd0 >> 24; }

// An RGBA 5-5-5-1 pixel (16-bit textures and colour images): red in bits 11..15, green in
// 6..10, blue in 1..5, alpha in bit 0.
struct Rgba5551 {
    uint32_t r, g, b, a;
};
constexpr Rgba5551 split_rgba5551(uint32_t v) {
    return {field(v, 11, 5), field(v, 6, 5), field(v, 1, 5), field(v, 0, 1)};
}
