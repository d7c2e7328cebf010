// Texture memory bookkeeping: which RDRAM address was loaded where, and the palette
#include "texture/texture_memory.h"

#include <cstring>

#include "state/rdp_reg.h"
#include "state/rdram.h"

LoadRingState LoadRing;
uint8_t TlutColors[256][4];
TlutChecksumState TlutChecksum;
uint8_t TlutBytes[kTlutBytes];

void append_load(uint32_t address, uint32_t tmem, const LoadShape& shape) {
    LoadRing.records[LoadRing.next & 7] = {address & kRdramMask, tmem, shape};
    LoadRing.next                       = (LoadRing.next + 1) & 7;
    texels_may_change();
}

const LoadRecord* last_load_into(uint32_t tmem) {
    uint32_t k = LoadRing.next;
    for (int probed = 0; probed < 8; ++probed) {
        k = (k - 1) & 7;
        if (LoadRing.records[k].tmem == tmem) return &LoadRing.records[k];
    }
    return nullptr;
}

bool resolve_tile_source(TileDescriptor& tile) {
    tile.source           = rdp_reg.texture_image.address & kRdramMask;
    const LoadRecord* rec = last_load_into(tile.tmem);
    if (!rec) return false;
    tile.source = rec->address & ~3u;
    // The load's misalignment, in texels of the tile's size.
    int32_t offset = rec->address & 3;
    if (tile.size == 2) offset >>= 1;
    if (tile.size == 3) offset = 0;
    tile.load_offset = offset;
    return true;
}

void reset_texture_memory() {
    LoadRing     = LoadRingState{};
    TlutChecksum = TlutChecksumState{};
    std::memset(TlutBytes, 0, sizeof TlutBytes);
    for (auto& c : TlutColors)
        c[0] = c[1] = c[2] = c[3] = 0;
}
