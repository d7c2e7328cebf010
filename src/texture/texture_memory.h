// Texture memory bookkeeping: which RDRAM address was loaded where, and the palette
#pragma once
#include <cstdint>

#include "state/tile_types.h"

// What a load took from the texture image, in whole texels of the image's size.
enum class LoadKind : uint8_t { none, block, tile };
struct LoadShape {
    LoadKind kind;
    uint8_t size;         // texel size code of the image
    uint16_t dxt;         // LOADBLOCK's row step, 0 when the tile's line gives it
    uint32_t image;       // RDRAM byte offset of the image
    uint32_t image_width; // texels
    int16_t uls, ult, lrs, lrt;
};

// One texture load: RDRAM data that went to a TMEM address.
struct LoadRecord {
    uint32_t address; // RDRAM byte offset of the loaded data
    uint32_t tmem;    // TMEM address in 64-bit words
    LoadShape shape;  // how it was loaded (an alias keeps its load's)
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

// The palette area of TMEM as the loads left it: 16-bit entries in the host's order, copied as
// they lie in RDRAM, at the entry their TMEM address names (512 entries, the upper half of
// TMEM one a 64-bit word, twice over for the palettes read past its end).
constexpr uint32_t kTlutBytes = 1024;
extern uint8_t TlutBytes[kTlutBytes];

// Appends a load at the ring's next slot, overwriting the oldest.
void append_load(uint32_t address, uint32_t tmem, const LoadShape& shape = {});
// The most recent load into a TMEM address, or null.
const LoadRecord* last_load_into(uint32_t tmem);

// Points the tile's source at the last load into its TMEM address, or at the texture image
// when none matches. Returns true when a load matched.
bool resolve_tile_source(TileDescriptor& tile);

// Ring, palette and checksums as at library load.
void reset_texture_memory();
