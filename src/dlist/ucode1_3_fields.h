// Field accessors of the command words of families 1, 2 and 3 where they differ from family 0,
// shared with the disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"

// Family 1: wider vertex loads and triangle indices given times two.
namespace uc1_fields {

constexpr uint32_t vtx_first(uint32_t cmd0) { return field(cmd0, 17, 7); }             // 0..127
constexpr uint32_t vtx_count(uint32_t cmd0) { return (field(cmd0, 0, 16) + 1) >> 10; } // 0..64
constexpr uint32_t tri_index(uint32_t w, int lo) { return field(w, lo + 1, 7); }       // byte / 2
// QUAD takes 8 bits one above each byte, so each index also takes the next byte's low bit.
constexpr uint32_t quad_index(uint32_t w, int lo) { return field(w, lo + 1, 8); }
constexpr uint32_t numlight_count(uint32_t cmd1) { return field(cmd1, 5, 7) - 1; }

} // namespace uc1_fields

// Family 2: indices given times five.
namespace uc2_fields {

constexpr uint32_t vtx_first(uint32_t cmd0) { return field(cmd0, 16, 6); }       // 0..63
constexpr uint32_t vtx_count(uint32_t cmd0) { return field(cmd0, 0, 16) >> 9; }  // 0..127
constexpr uint32_t tri_index(uint32_t w, int lo) { return field(w, lo, 8) / 5; } // 0..51

// MATRIX, the viewport and look-at records, DISPLAYLIST and SPRITE2D reach only 4 MB.
constexpr uint32_t kAddressMask = 0x3FFFFF;

} // namespace uc2_fields

// Family 3: triangles as family 1.
namespace uc3_fields {

constexpr uint32_t vtx_first(uint32_t cmd0) { return field(cmd0, 17, 6); }             // 0..63
constexpr uint32_t vtx_count(uint32_t cmd0) { return (field(cmd0, 0, 16) + 1) / 520; } // 0..126
using uc1_fields::tri_index;

} // namespace uc3_fields
