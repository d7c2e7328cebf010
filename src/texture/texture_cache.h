// The texture cache: OpenGL textures of tile 0, found by a hash of their texels
#pragma once
#include <cstdint>

#include "texture/texel_convert.h"

// One built texture, indexed by its OpenGL name (1..4095; entry 0 is never used).
struct TextureCacheEntry {
    uint32_t hash;        // tile hash combined with the S wrap settings
    uint32_t mode;        // texture_mode when built
    uint32_t color;       // texture_color when built
    int32_t start;        // texel index of the tile's upper-left corner in the image
    int32_t next;         // name of the entry built after this one, or -1
    uint32_t palette_sum; // palette checksum in the tile hash
    int32_t area;         // texels of the tile rectangle
};

constexpr uint32_t kTextureNames = 4096;
extern TextureCacheEntry TextureCache[kTextureNames];
extern uint32_t next_name;   // name of the next texture built, 1..4095
extern uint32_t oldest_name; // first entry of the chain

// Converted texels of each tile, beside its descriptor.
constexpr uint32_t kTileTexels = 1u << 20;
struct TileTexels {
    Texel texels[kTileTexels]; // row after row, `width` texels a row
    uint32_t converted_hash;   // hash of what `texels` holds now
    bool converted;            // false until the first conversion
};
extern TileTexels tile_texels[8];

// The target of power-of-two scaling and the scratch area of the S mirror.
constexpr uint32_t kScaledTexels = 1u << 19;
extern Texel ScaledTexels[kScaledTexels];

// Results of tile_hash and convert_tile for tiles that cannot be hashed.
constexpr uint32_t kHashNoSource      = 0xFFFFFFFF;
constexpr uint32_t kHashTooLarge      = 0xFFFFFFFE;
constexpr uint32_t kHashNegativeWidth = 0xFFFFFFFD;

// Textures built (cache misses) since load; the interpreter cuts off a task that builds
// too many.
extern uint32_t textures_built;

// The sparse hash of a tile's texels in RDRAM (the tile's source is resolved first).
uint32_t tile_hash(uint32_t tile);
// Converts the tile's texels unless they are already converted; returns the tile hash.
uint32_t convert_tile(uint32_t tile);
// Binds the texture for a tile (the draw's tile 0, or tile 1 as its second texture) and the
// current texel transform to the active texture unit; 0 when refused.
int bind_texture(uint32_t tile = 0);

// The wrap mode of clamped tiles for an OpenGL version string: GL_CLAMP_TO_EDGE from 1.2 on,
// GL_CLAMP before. choose_clamp_wrap() takes it from the current context.
int clamp_wrap_for(const char* version);
void choose_clamp_wrap();

// The cache as at library load (names and entries; textures already made are not deleted).
void reset_texture_cache();
