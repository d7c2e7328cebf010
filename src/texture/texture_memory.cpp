// Texture memory bookkeeping: which RDRAM address was loaded where, and the palette
#include "texture/texture_memory.h"

#include "state/rdp_reg.h"
#include "state/rdram.h"

LoadRingState LoadRing;
uint8_t TlutColors[256][4];
TlutChecksumState TlutChecksum;

void append_load(uint32_t address, uint32_t tmem) {
    LoadRing.records[LoadRing.next & 7] = {address & kRdramMask, tmem};
    LoadRing.next                       = (LoadRing.next + 1) & 7;
}

bool resolve_tile_source(TileDescriptor& tile) {
    tile.source = rdp_reg.texture_image.address & kRdramMask;
    uint32_t k  = LoadRing.next;
    for (int probed = 0; probed < 8; ++probed) {
        k                     = (k - 1) & 7;
        const LoadRecord& rec = LoadRing.records[k];
        if (rec.tmem != tile.tmem) continue;
        tile.source = rec.address & ~3u;
        // The load's misalignment, in texels of the tile's size.
        int32_t offset = rec.address & 3;
        if (tile.size == 2) offset >>= 1;
        if (tile.size == 3) offset = 0;
        tile.load_offset = offset;
        return true;
    }
    return false;
}

void reset_texture_memory() {
    LoadRing     = LoadRingState{};
    TlutChecksum = TlutChecksumState{};
    for (auto& c : TlutColors)
        c[0] = c[1] = c[2] = c[3] = 0;
}
