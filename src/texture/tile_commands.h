// Tile descriptors and texture loads
#pragma once
#include <cstdint>

// Texture-coordinate factors of a tile: the draw multiplies s and t by them.
struct TileCoordFactorPair {
    float t; // T factor
    float s; // S factor
};
extern TileCoordFactorPair TileCoordFactor[8];

// Entry 0 from tile 0's scale, size, shift and wrap as they are now.
void refresh_draw_factors();
// The factors a draw samples a tile with: tile 0's TEXTURE scale (the vertices' coordinates
// are one for all tiles) over the tile's own size, shift and wrap. Entry 0 for tile 0.
TileCoordFactorPair draw_coord_factors(uint32_t tile);
// Factors of generated coordinates (0..1 from the normal) for a tile as it is now.
TileCoordFactorPair generated_coord_factors(uint32_t tile = 0);

void rdp_load_tlut();         // 0xF0
void rdp_set_tile_size();     // 0xF2
void rdp_load_block();        // 0xF3
void rdp_load_tile();         // 0xF4
void rdp_set_tile();          // 0xF5
void rdp_set_texture_image(); // 0xFD
