// Replacement packs at texture creation: the pack name of tile 0's texture, its dump, and the
// replacement that takes the place of its texels
#pragma once
#include <cstdint>

#include "pack/pack_names.h"
#include "state/tile_types.h"

// The name a pack gives the texture of tile `d` as loaded now; false when no load put its
// texels where the tile reads.
bool texture_pack_key(const TileDescriptor& d, PackKey* key);

// Run by the texture cache when it builds a texture, with the tile's texels staged (`*width` x
// `*height` of them in TexelStaging): dumps them when dumping, and puts the pack's replacement
// there instead when one is found, with its own sides (no larger than the staging area and
// the mirrors allow). True when replaced.
bool texture_pack_swap(const TileDescriptor& d, uint32_t* width, uint32_t* height);
