// Command-word fields of microcode family 6's own commands
#pragma once
#include <cstdint>

#include "state/bits.h"

constexpr uint32_t kUc6NoSlot = 3;

// LOADMTX (0x01): the slot 0..2 the matrix is stored in; 3 names none.
inline uint32_t uc6_matrix_slot(uint32_t cmd0) { return field(cmd0, 22, 2); }

// LOADVTX (0x04): count 1..32 records of 10 bytes, always into vtx[0..count - 1], and the
// slot whose matrix becomes the projection: selector 0 picks slot 1, 1 slot 0, 2 slot 2, 3 none.
inline uint32_t uc6_vtx_count(uint32_t cmd0) { return field(cmd0, 19, 5) + 1; }
inline uint32_t uc6_vtx_slot(uint32_t cmd0) {
    static const uint8_t kSlotOfSelector[4] = {1, 0, 2, kUc6NoSlot};
    return kSlotOfSelector[field(cmd0, 15, 2)];
}

// DMATRI (0x05, 0xB1): triangle records of 16 bytes.
inline uint32_t uc6_tri_count(uint32_t cmd0) { return field(cmd0, 4, 12); }

// DL_INMEM (0x07): the count byte is signed and counted down with 8-bit wrap-around after each
// command until it is no longer positive: 1..127 run that many, 128 runs 128, 0 and 129..255
// run one.
inline uint32_t uc6_run_commands(uint32_t cmd0) {
    const uint32_t count = field(cmd0, 16, 8);
    return count >= 1 && count <= 128 ? count : 1;
}
