// Tile descriptors and texture loads
#pragma once
#include <cstdint>

#include "state/tile_types.h"

// How the console's texture unit finds a tile's texel: the coordinate in texels (after the
// TEXTURE scale) is taken in the tile's shift, the tile's upper-left corner is subtracted, and
// the mask, mirror and clamp act from there. The texture the cache builds for a tile starts at
// that corner (its texels start at the tile's TMEM address, wherever the window lies), so a
// texture coordinate is (coordinate in the shift - corner) / the texture's side:
// texels x per_texel - corner. Triangles, texture rectangles, backgrounds and sprites all map
// their coordinates through it.
struct TileAxisMap {
    float per_texel; // the shift over the texture's side
    float corner;    // the corner over the texture's side
    float at(float texels) const { return texels * per_texel - corner; }
};
struct TileTextureMap {
    TileAxisMap s, t;
};
TileTextureMap tile_texture_map(const TileDescriptor& d);

// Texture-coordinate factors of a tile: the draw's coordinate is s x `s` - `s_corner` (t
// likewise), s as the vertex carries it (the TEXTURE scale is in the factor).
struct TileCoordFactorPair {
    float t;        // T factor
    float s;        // S factor
    float t_corner; // the tile's upper-left corner in texture coordinates
    float s_corner;
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
