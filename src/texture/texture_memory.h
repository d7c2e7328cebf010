// Texture memory bookkeeping: which RDRAM address was loaded where, and the palette
#pragma once
#include <cstdint>

#include "state/tile_types.h"

// One texture load: RDRAM data that went to a TMEM address.
struct LoadRecord {
    uint32_t address; // RDRAM byte offset of the loaded data
    uint32_t tmem;    // TMEM address in 64-bit words
};

// The last eight loads; `next` is the slot the next load takes.
struct LoadRingState {
    LoadRecord records[8];
    uint32_t next; // 0..7, never reset
};
extern LoadRingState LoadRing;

// The palette as LOADTLUT converts it, 256 colours of red, green, blue, alpha, in host
// half-word order (entry i holds console entry i XOR 1 for a word-aligned palette).
extern uint8_t TlutColors[256][4];

struct TlutChecksumState {
    uint32_t block[16]; // weighted sum of each 16-colour palette
    uint32_t total;     // weighted sum of all 256 colours
};
extern TlutChecksumState TlutChecksum;

// Appends a load at the ring's next slot, overwriting the oldest.
void append_load(uint32_t address, uint32_t tmem);

// Points the tile's source at the last load into its TMEM address, or at the texture image
// when none matches. Returns true when a load matched.
bool resolve_tile_source(TileDescriptor& tile);

// Ring, palette and checksums as at library load.
void reset_texture_memory();
