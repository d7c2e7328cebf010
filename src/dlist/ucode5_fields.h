// Command-word fields of microcode family 5's own commands (the others are family 0's)
#pragma once
#include <cstdint>

#include "state/bits.h"

// LOADVTX (0x04): count 1..16 records of 12 bytes into vtx[first..first + count - 1].
inline uint32_t uc5_vtx_first(uint32_t cmd0) { return field(cmd0, 16, 4); }
inline uint32_t uc5_vtx_count(uint32_t cmd0) { return field(cmd0, 20, 4) + 1; }

// LOADMTX (0x01): bit 0 projection, bit 1 load (else multiply), bit 2 push.
inline uint32_t uc5_matrix_param(uint32_t cmd0) { return field(cmd0, 16, 4); }

// TRI2 (0xB1): four candidate triangles of 4-bit indices; triangle k (0..3) takes its first two
// corners from byte k of cmd1 (high nibble first) and its third from nibble k of cmd0.
constexpr int kUc5Triangles = 4;
inline uint32_t uc5_tri_first(uint32_t cmd1, int k) { return field(cmd1, 8 * k + 4, 4); }
inline uint32_t uc5_tri_second(uint32_t cmd1, int k) { return field(cmd1, 8 * k, 4); }
inline uint32_t uc5_tri_third(uint32_t cmd0, int k) { return field(cmd0, 4 * k, 4); }

// The texture-table entry of a vertex's reference c: s is half-word k of the table, t k + 1.
inline uint32_t uc5_texcoord_entry(uint32_t c) { return (c ^ 0x100) >> 1; }
