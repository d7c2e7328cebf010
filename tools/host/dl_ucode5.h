// Family-5 geometry commands and their records: 12-byte vertices and the texture-coordinate
// table. Commands numbered as in family 0 are family 0's builders.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>

#include "console.h"
#include "dl_builder.h"
#include "dl_ucode0.h"

namespace uc5 {

using uc0::clear_geometry_mode;
using uc0::cycle_type;
using uc0::light;
using uc0::light_color;
using uc0::moveword;
using uc0::num_lights;
using uc0::pop_matrix;
using uc0::render_mode;
using uc0::segment;
using uc0::set_geometry_mode;
using uc0::set_othermode_h;
using uc0::set_othermode_l;
using uc0::texture;
using uc0::viewport;

// LOADMTX params: bit 0 projection, bit 1 load, bit 2 push (family 0's MATRIX params).
using uc0::kLoad;
using uc0::kProjection;
using uc0::kPush;

constexpr Command load_matrix(uint32_t param, uint32_t address) {
    return cmd::word(0x01, ((param & 0xF) << 16) | 64, address);
}
// count (1..16) 12-byte records into vtx[first..]; first is 0..15.
constexpr Command load_vertices(uint32_t first, uint32_t count, uint32_t address) {
    return cmd::word(0x04, (((count - 1) & 0xF) << 20) | ((first & 0xF) << 16) | (count * 12),
                     address);
}
// RSP_RESERVED2: where the texture-coordinate table lies.
constexpr Command texcoord_table(uint32_t address) { return cmd::word(0x07, 0, address); }

using Triangle = std::array<uint32_t, 3>;

// Up to four triangles of vertices 0..15; none may be (0, 0, 0), which stands for no triangle.
constexpr Command tri2(std::initializer_list<Triangle> triangles) {
    uint32_t w0 = 0, w1 = 0, k = 0;
    for (const Triangle& t : triangles) {
        w1 |= (((t[0] & 0xF) << 4) | (t[1] & 0xF)) << (8 * k);
        w0 |= (t[2] & 0xF) << (4 * k);
        ++k;
    }
    return cmd::word(0xB1, w0, w1);
}

// The texture-table reference of a vertex whose s and t are half-words k and k + 1.
constexpr uint16_t texcoord_ref(uint32_t k) { return static_cast<uint16_t>((2 * k) ^ 0x100); }

// s and t as the table's half-words k and k + 1, which are host half-words, not console ones.
inline void write_texcoords(Console& c, uint32_t table, uint32_t k, int16_t s, int16_t t) {
    c.write_u16((table + 2 * k) ^ 2, static_cast<uint16_t>(s));
    c.write_u16((table + 2 * k + 2) ^ 2, static_cast<uint16_t>(t));
}

// A 12-byte vertex at a 4-aligned address: position, texture-table reference, and colour or
// (with lighting) the normal as signed bytes.
inline void write_vertex(Console& c, uint32_t address, int16_t x, int16_t y, int16_t z,
                         uint16_t texref, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    c.write_u16(address, static_cast<uint16_t>(x));
    c.write_u16(address + 2, static_cast<uint16_t>(y));
    c.write_u16(address + 4, static_cast<uint16_t>(z));
    c.write_u16(address + 6, texref);
    c.write_u8(address + 8, r);
    c.write_u8(address + 9, g);
    c.write_u8(address + 10, b);
    c.write_u8(address + 11, a);
}

} // namespace uc5
