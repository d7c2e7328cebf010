// Tile descriptors and texture loads
#include "texture/tile_commands.h"

TileCoordFactorPair TileCoordFactor[8];

void rdp_load_tlut() {}
void rdp_set_tile_size() {}
void rdp_load_block() {}
void rdp_load_tile() {}
void rdp_set_tile() {}
void rdp_set_texture_image() {}
