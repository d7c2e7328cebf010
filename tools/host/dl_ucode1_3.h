// Geometry commands of families 1, 2 and 3 where their encoding differs from family 0's; the
// other commands are written with the family-0 builders (dl_ucode0.h)
#pragma once
#include <cstdint>

#include "dl_builder.h"

// Family 1: indices are given times two; QUAD is at 0xB5.
namespace uc1 {

constexpr uint32_t index_bytes(uint32_t a, uint32_t b, uint32_t c) {
    return ((a * 2) << 16) | ((b * 2) << 8) | (c * 2);
}
// count (0..64) vertices into vtx[first..] with first 0..127.
constexpr Command vertex(uint32_t first, uint32_t count, uint32_t address) {
    return cmd::word(0x04, ((first & 0x7F) << 17) | (((count << 10) - 1) & 0xFFFF), address);
}
constexpr Command tri1(uint32_t a, uint32_t b, uint32_t c) {
    return cmd::word(0xBF, 0, index_bytes(a, b, c));
}
constexpr Command tri2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
    return cmd::word(0xB1, index_bytes(a, b, c), index_bytes(d, e, f));
}
// Triangles (a, b, c) and (d, a, c); a is 0..127, the others 0..255.
constexpr Command quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return cmd::word(0xB5, 0,
                     (a << 25) | ((b & 0xFF) << 17) | ((c & 0xFF) << 9) | ((d & 0xFF) << 1));
}

} // namespace uc1

// Family 2: indices are given times five (0..51); QUAD is at 0xB5.
namespace uc2 {

constexpr uint32_t index_bytes(uint32_t a, uint32_t b, uint32_t c) {
    return ((a * 5) << 16) | ((b * 5) << 8) | (c * 5);
}
// count (0..127) vertices into vtx[first..] with first 0..63.
constexpr Command vertex(uint32_t first, uint32_t count, uint32_t address) {
    return cmd::word(0x04, ((first & 0x3F) << 16) | ((count << 9) & 0xFFFF), address);
}
constexpr Command tri1(uint32_t a, uint32_t b, uint32_t c) {
    return cmd::word(0xBF, 0, index_bytes(a, b, c));
}
constexpr Command tri2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
    return cmd::word(0xB1, index_bytes(a, b, c), index_bytes(d, e, f));
}
constexpr Command quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return cmd::word(0xB5, 0, ((a * 5) << 24) | index_bytes(b, c, d));
}

} // namespace uc2

// Family 3: triangles as family 1; 0xB5 is family 0's LINE3D.
namespace uc3 {

// count (0..126) vertices into vtx[first..] with first 0..63.
constexpr Command vertex(uint32_t first, uint32_t count, uint32_t address) {
    return cmd::word(0x04, ((first & 0x3F) << 17) | ((count * 520) & 0xFFFF), address);
}
using uc1::tri1;
using uc1::tri2;

} // namespace uc3

// The vertex command of family 1, 2 or 3.
constexpr Command family_vertex(int family, uint32_t first, uint32_t count, uint32_t address) {
    return family == 1   ? uc1::vertex(first, count, address)
           : family == 2 ? uc2::vertex(first, count, address)
                         : uc3::vertex(first, count, address);
}
