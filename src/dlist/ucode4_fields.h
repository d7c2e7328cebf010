// Family 4 command-word fields, shared by the interpreter and the disassembler
#pragma once
#include <cstdint>

#include "dlist/ucode0_fields.h"
#include "state/bits.h"

namespace ucode4 {

// Vertex and triangle indices are given doubled: the 7 bits above the low bit of a byte.
// TRI1, TRI2 and QUAD (0x05 to 0x07) hold one triangle per word in bytes 2, 1 and 0.
inline uint32_t vertex_index(uint32_t w, int byte_lo) { return field(w, byte_lo + 1, 7); }

// LOADVTX (0x01): count vertices ending before entry end.
inline uint32_t vtx_count(uint32_t cmd0) { return field(cmd0, 12, 7); }
inline uint32_t vtx_end(uint32_t cmd0) { return vertex_index(cmd0, 0); }

// LOADMTX (0xDA): bit 0 no push, bit 1 load (else multiply), bit 2 projection.
inline uint32_t mtx_params(uint32_t cmd0) { return field(cmd0, 0, 8); }
constexpr uint32_t kMtxNoPush     = 0x01;
constexpr uint32_t kMtxLoad       = 0x02;
constexpr uint32_t kMtxProjection = 0x04;

// GEOMETRYMODE (0xD9): the bits to keep; cmd1 holds the bits to set.
inline uint32_t geometry_keep(uint32_t cmd0) { return field(cmd0, 0, 24); }

// MOVEWORD (0xDB).
inline uint32_t moveword_index(uint32_t cmd0) { return field(cmd0, 16, 8); }
inline uint32_t moveword_offset(uint32_t cmd0) { return field(cmd0, 0, 16); }
constexpr uint32_t kMoveWordMatrix   = 0;
constexpr uint32_t kMoveWordNumLight = 2;
constexpr uint32_t kMoveWordSegment  = 6;
constexpr uint32_t kMoveWordFog      = 8;
constexpr uint32_t kMoveWordLightCol = 10;
constexpr uint32_t kMoveWordForceMtx = 12;
// NUMLIGHT counts 24 bytes per light record.
inline uint32_t numlight_count(uint32_t cmd1) { return field(cmd1, 0, 8) / 24; }

// MOVEMEM (0xDC): the record kind, and for lights the byte offset into the light area, whose
// first two 24-byte slots hold no lights.
inline uint32_t movemem_index(uint32_t cmd0) { return field(cmd0, 0, 8); }
inline uint32_t movemem_offset(uint32_t cmd0) { return field(cmd0, 8, 8) * 8; }
constexpr uint32_t kMoveMemMatrixSlot = 2;
constexpr uint32_t kMoveMemViewport   = 8;
constexpr uint32_t kMoveMemLight      = 10;
constexpr uint32_t kMoveMemMatrix     = 14;
constexpr uint32_t kFirstLightOffset  = 48;
constexpr uint32_t kLightSlotSize     = 24;

// TEXTURE (0xD7) and MOVEWORD LIGHTCOL keep family 0's fields.
using uc0_fields::lightcol_light;
using uc0_fields::lightcol_main;
using uc0_fields::texture_on;
using uc0_fields::texture_scale_s;
using uc0_fields::texture_scale_t;
using uc0_fields::texture_tile;

// DISPLAYLIST (0xDE): 0 call, 1 branch.
inline uint32_t dl_kind(uint32_t cmd0) { return field(cmd0, 16, 8); }

// SETOTHERMODE_L and _H (0xE2, 0xE3) carry 32 - shift - length and length - 1; the shift is
// negative (no field) for nonsense pairs.
inline int32_t othermode_shift(uint32_t cmd0) {
    return 31 - static_cast<int32_t>(field(cmd0, 8, 8)) - static_cast<int32_t>(field(cmd0, 0, 8));
}

} // namespace ucode4
