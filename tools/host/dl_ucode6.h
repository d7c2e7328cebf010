// Family-6 geometry commands and their records: matrix slots, 10-byte vertices, triangle
// lists and runs in place. Commands numbered as in family 0 are family 0's builders.
#pragma once
#include <cstdint>

#include "console.h"
#include "dl_builder.h"
#include "dl_ucode0.h"

namespace uc6 {

using uc0::clear_geometry_mode;
using uc0::cycle_type;
using uc0::moveword;
using uc0::pop_matrix;
using uc0::render_mode;
using uc0::segment;
using uc0::set_geometry_mode;
using uc0::texture;
using uc0::viewport;

// Stores the matrix at address in slot 0..2.
constexpr Command load_matrix(uint32_t slot, uint32_t address) {
    return cmd::word(0x01, ((slot & 3) << 22) | 64, address);
}

// The vertex command's selector of each slot; slot 3 gives selector 3, which keeps the projection.
constexpr uint32_t slot_selector(uint32_t slot) {
    return slot == 0 ? 1 : slot == 1 ? 0 : slot == 2 ? 2 : 3;
}
// count (1..32) 10-byte records into vtx[0..], with the matrix of `slot` as the projection.
constexpr Command load_vertices(uint32_t count, uint32_t slot, uint32_t address) {
    return cmd::word(
        0x04, (((count - 1) & 0x1F) << 19) | (slot_selector(slot) << 15) | (count * 10), address);
}
// count 16-byte triangle records.
constexpr Command triangles(uint32_t count, uint32_t address) {
    return cmd::word(0x05, (count & 0xFFF) << 4, address);
}
// Runs the `count byte` commands at an RDRAM offset in place (1..128; 0 and 129..255 run one).
constexpr Command run_in_place(uint32_t count_byte, uint32_t address) {
    return cmd::word(0x07, (count_byte & 0xFF) << 16, address);
}

inline void write_vertex(Console& c, uint32_t address, int16_t x, int16_t y, int16_t z, uint8_t r,
                         uint8_t g, uint8_t b, uint8_t a) {
    c.write_u16(address, static_cast<uint16_t>(x));
    c.write_u16(address + 2, static_cast<uint16_t>(y));
    c.write_u16(address + 4, static_cast<uint16_t>(z));
    c.write_u8(address + 6, r);
    c.write_u8(address + 7, g);
    c.write_u8(address + 8, b);
    c.write_u8(address + 9, a);
}

// A triangle record: the corners in bytes 1..3, the other bytes zero.
inline void write_triangle(Console& c, uint32_t address, uint8_t v0, uint8_t v1, uint8_t v2) {
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u8(address + i, 0);
    c.write_u8(address + 1, v0);
    c.write_u8(address + 2, v1);
    c.write_u8(address + 3, v2);
}

} // namespace uc6
