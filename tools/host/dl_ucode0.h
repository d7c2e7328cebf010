// Family-0 geometry commands and the records they point at (matrices, vertices, lights)
#pragma once
#include <cmath>
#include <cstdint>

#include "console.h"
#include "dl_builder.h"

namespace uc0 {

// MATRIX params.
constexpr uint32_t kProjection = 0x01;
constexpr uint32_t kLoad       = 0x02;
constexpr uint32_t kPush       = 0x04;

// geometry_mode bits.
constexpr uint32_t kZBuffer     = 0x00000001;
constexpr uint32_t kFog         = 0x00010000;
constexpr uint32_t kShade       = 0x00000004;
constexpr uint32_t kShadeSmooth = 0x00000200;
constexpr uint32_t kCullFront   = 0x00001000;
constexpr uint32_t kCullBack    = 0x00002000;
constexpr uint32_t kLighting    = 0x00020000;
constexpr uint32_t kTextureGen  = 0x00040000;

// othermode shifts and render-mode flags.
constexpr uint32_t kRenderModeShift = 3;
constexpr uint32_t kCycleTypeShift  = 20;
constexpr uint32_t kZCompare        = 0x10;
constexpr uint32_t kZUpdate         = 0x20;
constexpr uint32_t kZDecal          = 0xC00;

constexpr Command matrix(uint32_t param, uint32_t address) {
    return cmd::word(0x01, (param << 16) | 64, address);
}
constexpr Command movemem(uint32_t index, uint32_t address) {
    return cmd::word(0x03, (index << 16) | 16, address);
}
constexpr Command viewport(uint32_t address) { return movemem(0x80, address); }
constexpr Command light(uint32_t n, uint32_t address) { return movemem(0x86 + 2 * n, address); }
// Loads count (1..16) vertices into vtx[first..]; first is 0..15, so 30 is the last entry.
constexpr Command vertex(uint32_t first, uint32_t count, uint32_t address) {
    return cmd::word(0x04, (((count - 1) & 0xF) << 20) | ((first & 0xF) << 16) | (count * 16),
                     address);
}
constexpr Command sprite2d(uint32_t address) { return cmd::word(0x09, 0, address); }
constexpr Command line3d(uint32_t a, uint32_t b) {
    return cmd::word(0xB5, 0, ((a * 10) << 16) | ((b * 10) << 8));
}
constexpr Command clear_geometry_mode(uint32_t bits) { return cmd::word(0xB6, 0, bits); }
constexpr Command set_geometry_mode(uint32_t bits) { return cmd::word(0xB7, 0, bits); }
constexpr Command set_othermode_l(uint32_t shift, uint32_t length, uint32_t bits) {
    return cmd::word(0xB9, (shift << 8) | length, bits);
}
constexpr Command set_othermode_h(uint32_t shift, uint32_t length, uint32_t bits) {
    return cmd::word(0xBA, (shift << 8) | length, bits);
}
constexpr Command render_mode(uint32_t flags) {
    return set_othermode_l(kRenderModeShift, 29, flags);
}
constexpr Command cycle_type(uint32_t type) {
    return set_othermode_h(kCycleTypeShift, 2, type << 20);
}
constexpr Command texture(uint32_t tile, uint32_t on, uint32_t scale_s, uint32_t scale_t) {
    return cmd::word(0xBB, (tile << 8) | on, (scale_s << 16) | scale_t);
}
constexpr Command moveword(uint32_t index, uint32_t offset, uint32_t value) {
    return cmd::word(0xBC, (offset << 8) | index, value);
}
// n directional lights; the ambient light is record n.
constexpr Command num_lights(uint32_t n) { return moveword(0x02, 0, 0x80000000u + 32 * (n + 1)); }
constexpr Command segment(uint32_t n, uint32_t base) { return moveword(0x06, n * 4, base); }
// The fog factors as the SDK computes them from the depths (0..1000) where fog starts and is
// whole: multiplier 128000 / (max - min), offset (500 - min) x 256 / (max - min). A range
// with max <= min has no factors: the word 0, no fog.
constexpr uint32_t fog_factors(int min, int max) {
    if (max <= min) return 0;
    const int multiplier = 128000 / (max - min), offset = (500 - min) * 256 / (max - min);
    return (uint32_t(multiplier) & 0xFFFF) << 16 | (uint32_t(offset) & 0xFFFF);
}
constexpr Command fog_position(int min, int max) {
    return moveword(0x08, 0, fog_factors(min, max));
}
// Colour word 0xRRGGBB00 of light n; main picks rgba, otherwise rgba_copy.
constexpr Command light_color(uint32_t n, bool main, uint32_t rgba) {
    return moveword(0x0A, n * 0x20 + (main ? 4 : 0), rgba);
}
constexpr Command pop_matrix() { return cmd::word(0xBD, 0, 0); }
constexpr Command tri1(uint32_t a, uint32_t b, uint32_t c) {
    return cmd::word(0xBF, 0, ((a * 10) << 16) | ((b * 10) << 8) | (c * 10));
}

// Shade-only combiner (both cycles: shade colour, shade alpha).
constexpr Command combine_shade() { return {0xFCFFFFFF, 0xFFFE793C}; }

// Float matrices in the console's row-vector order (translation in m[12..14]).
struct Mat {
    float m[16];
};

inline Mat identity() { return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }
inline Mat translation(float x, float y, float z) {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}};
}
inline Mat scaling(float s) { return {{s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1}}; }
inline Mat rotation_x(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return {{1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}};
}
inline Mat rotation_y(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return {{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
}
inline Mat rotation_z(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return {{c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}
// A then B, for row vectors: p x A x B.
inline Mat then(const Mat& A, const Mat& B) {
    Mat R{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                R.m[4 * i + j] += A.m[4 * i + k] * B.m[4 * k + j];
    return R;
}
// The projection of glFrustum for a vertical field of view, in the same element order.
inline Mat perspective(float fovy_degrees, float aspect, float near_z, float far_z) {
    const float f = 1.0f / std::tan(fovy_degrees * 3.14159265f / 360.0f);
    Mat p{};
    p.m[0]  = f / aspect;
    p.m[5]  = f;
    p.m[10] = (far_z + near_z) / (near_z - far_z);
    p.m[11] = -1.0f;
    p.m[14] = 2.0f * far_z * near_z / (near_z - far_z);
    return p;
}

// 16.16 fixed point: 16 integer halves, then 16 fraction halves, in element order.
inline void write_matrix(Console& c, uint32_t address, const Mat& m) {
    for (uint32_t k = 0; k < 16; ++k) {
        const auto v = static_cast<int32_t>(std::lround(m.m[k] * 65536.0f));
        c.write_u16(address + 2 * k, static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16));
        c.write_u16(address + 32 + 2 * k, static_cast<uint16_t>(v & 0xFFFF));
    }
}

// A console vertex; with lighting r, g, b carry the normal as signed bytes.
inline void write_vertex(Console& c, uint32_t address, int16_t x, int16_t y, int16_t z, int16_t s,
                         int16_t t, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    c.write_u16(address, static_cast<uint16_t>(x));
    c.write_u16(address + 2, static_cast<uint16_t>(y));
    c.write_u16(address + 4, static_cast<uint16_t>(z));
    c.write_u16(address + 6, 0);
    c.write_u16(address + 8, static_cast<uint16_t>(s));
    c.write_u16(address + 10, static_cast<uint16_t>(t));
    c.write_u8(address + 12, r);
    c.write_u8(address + 13, g);
    c.write_u8(address + 14, b);
    c.write_u8(address + 15, a);
}

// A light record: colour, the same colour again, direction as signed bytes (127 = 1.0).
inline void write_light(Console& c, uint32_t address, uint8_t r, uint8_t g, uint8_t b, int8_t dx,
                        int8_t dy, int8_t dz) {
    const uint8_t bytes[16] = {r,
                               g,
                               b,
                               0,
                               r,
                               g,
                               b,
                               0,
                               static_cast<uint8_t>(dx),
                               static_cast<uint8_t>(dy),
                               static_cast<uint8_t>(dz)};
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u8(address + i, bytes[i]);
}

// A viewport of scale (sx, sy) and translation (tx, ty) console pixels.
inline void write_viewport(Console& c, uint32_t address, int sx, int sy, int tx, int ty) {
    const int16_t words[8] = {int16_t(sx * 4), int16_t(sy * 4), 511, 0,
                              int16_t(tx * 4), int16_t(ty * 4), 511, 0};
    for (uint32_t i = 0; i < 8; ++i)
        c.write_u16(address + 2 * i, static_cast<uint16_t>(words[i]));
}

} // namespace uc0
