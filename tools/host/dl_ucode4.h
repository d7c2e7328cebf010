// Family-4 geometry commands; the records they point at are written as for family 0
#pragma once
#include <cstdint>

#include "dl_builder.h"
#include "dl_ucode0.h"

namespace uc4 {

// LOADMTX params.
constexpr uint32_t kNoPush     = 0x01;
constexpr uint32_t kLoad       = 0x02;
constexpr uint32_t kProjection = 0x04;

// geometry_mode bits of this family (lighting and texture generation as in family 0).
constexpr uint32_t kZBuffer     = 0x00000001;
constexpr uint32_t kShade       = 0x00000004;
constexpr uint32_t kCullFront   = 0x00000200;
constexpr uint32_t kCullBack    = 0x00000400;
constexpr uint32_t kFog         = 0x00010000;
constexpr uint32_t kLighting    = 0x00020000;
constexpr uint32_t kTextureGen  = 0x00040000;
constexpr uint32_t kShadeSmooth = 0x00200000;

// othermode shifts.
constexpr uint32_t kRenderModeShift = 3;
constexpr uint32_t kCycleTypeShift  = 20;

// A vertex index as the commands carry it: doubled.
constexpr uint32_t vi(uint32_t index) { return (index & 0x7F) << 1; }

// count (0..127) vertices into vtx[end - count .. end - 1].
constexpr Command loadvtx_end(uint32_t count, uint32_t end, uint32_t address) {
    return cmd::word(0x01, ((count & 0x7F) << 12) | vi(end), address);
}
// count vertices into vtx[first..].
constexpr Command loadvtx(uint32_t first, uint32_t count, uint32_t address) {
    return loadvtx_end(count, first + count, address);
}
constexpr uint32_t tri_bits(uint32_t a, uint32_t b, uint32_t c) {
    return (vi(a) << 16) | (vi(b) << 8) | vi(c);
}
constexpr Command tri1(uint32_t a, uint32_t b, uint32_t c) {
    return cmd::word(0x05, tri_bits(a, b, c), 0);
}
constexpr Command tri2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
    return cmd::word(0x06, tri_bits(a, b, c), tri_bits(d, e, f));
}
// The quadrangle a b c d as the triangles (a, b, c) and (d, a, c), the order of the other
// families' QUAD.
constexpr Command quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return cmd::word(0x07, tri_bits(a, b, c), tri_bits(d, a, c));
}
constexpr Command rdphalf_1(uint32_t address) { return cmd::word(0xE1, 0, address); }
// Calls the list named by the last RDPHALF_1 (the depth comparison is not made).
constexpr Command branchz(uint32_t vertex, uint32_t z) {
    return cmd::word(0x04, vi(vertex) * 5 << 12 | vi(vertex), z);
}
constexpr Command texture(uint32_t tile, uint32_t on, uint32_t scale_s, uint32_t scale_t) {
    return cmd::word(0xD7, (tile << 8) | on, (scale_s << 16) | scale_t);
}
// Pops one model-view matrix (64 bytes).
constexpr Command pop_matrix() { return cmd::word(0xD8, 0x380002, 64); }
constexpr Command geometry_mode(uint32_t keep, uint32_t set) { return cmd::word(0xD9, keep, set); }
constexpr Command set_geometry_mode(uint32_t bits) { return geometry_mode(0xFFFFFF, bits); }
constexpr Command clear_geometry_mode(uint32_t bits) { return geometry_mode(~bits, 0); }
constexpr Command matrix(uint32_t params, uint32_t address) {
    return cmd::word(0xDA, (0x38 << 16) | params, address);
}
constexpr Command moveword(uint32_t index, uint32_t offset, uint32_t value) {
    return cmd::word(0xDB, (index << 16) | offset, value);
}
// n directional lights: the console counts 24 bytes per light record.
constexpr Command num_lights(uint32_t n) { return moveword(0x02, 0, n * 24); }
constexpr Command segment(uint32_t n, uint32_t base) { return moveword(0x06, n * 4, base); }
// Colour word 0xRRGGBB00 of light n; main picks rgba, otherwise rgba_copy.
constexpr Command light_color(uint32_t n, bool main, uint32_t rgba) {
    return moveword(0x0A, n * 0x2000 + (main ? 0x400 : 0), rgba);
}
constexpr Command movemem(uint32_t index, uint32_t offset_byte, uint32_t address) {
    return cmd::word(0xDC, (offset_byte << 8) | index, address);
}
constexpr Command viewport(uint32_t address) { return movemem(0x08, 0, address); }
// Light n sits at byte 48 + 24 n of the light area; the command gives it in 8-byte units.
constexpr Command light(uint32_t n, uint32_t address) {
    return movemem(0x0A, (48 + 24 * n) / 8, address);
}
constexpr Command call_dl(uint32_t address) { return cmd::word(0xDE, 0x000000, address); }
constexpr Command branch_dl(uint32_t address) { return cmd::word(0xDE, 0x010000, address); }
constexpr Command end_dl() { return cmd::word(0xDF, 0, 0); }
constexpr Command noop() { return cmd::word(0xE0, 0, 0); }
// The field of `length` bits at `shift` from value's same bits.
constexpr Command set_othermode_l(uint32_t shift, uint32_t length, uint32_t bits) {
    return cmd::word(0xE2, ((32 - shift - length) << 8) | (length - 1), bits);
}
constexpr Command set_othermode_h(uint32_t shift, uint32_t length, uint32_t bits) {
    return cmd::word(0xE3, ((32 - shift - length) << 8) | (length - 1), bits);
}
constexpr Command render_mode(uint32_t flags) {
    return set_othermode_l(kRenderModeShift, 29, flags);
}
constexpr Command cycle_type(uint32_t type) {
    return set_othermode_h(kCycleTypeShift, 2, type << 20);
}

} // namespace uc4
