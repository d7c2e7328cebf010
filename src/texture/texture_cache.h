// The texture cache: OpenGL textures of tile 0, found by a hash of their texels
#pragma once
#include <cstdint>

#include "config/settings.h"
#include "state/tile_types.h"
#include "texture/texel_convert.h"

// What decides a tile's converted texels: where they are read and how many, in which format.
// The tile's window does not: its texels start at its TMEM address wherever the window lies.
struct TexelKey {
    uint32_t hash;        // tile hash: the source's offset, its sampled bytes, palette_sum
    uint32_t palette_sum; // palette checksum in the tile hash
    uint32_t layout;      // format, size and palette number
    int32_t width;        // texels a row
    int32_t height;       // rows
    int32_t line;         // texels from one source row to the next
    bool operator==(const TexelKey& o) const {
        return hash == o.hash && palette_sum == o.palette_sum && layout == o.layout &&
               width == o.width && height == o.height && line == o.line;
    }
};

// One built texture, indexed by its OpenGL name (1..4095; entry 0 is never used).
struct TextureCacheEntry {
    TexelKey texels;
    uint32_t wrap;       // both axes' clamp, mirror and mask
    int32_t load_offset; // where the image starts in the converted texels
    uint32_t mode;       // texture_mode when built
    uint32_t color;      // texture_color when built
    int32_t next;        // name of the entry built after this one, or -1
    int32_t filter;      // GL_NEAREST or GL_LINEAR as last set on the texture; 0 before
};

constexpr uint32_t kTextureNames = 4096;
extern TextureCacheEntry TextureCache[kTextureNames];
extern uint32_t next_name;   // name of the next texture built, 1..4095
extern uint32_t oldest_name; // first entry of the chain

// Converted texels of each tile, beside its descriptor.
constexpr uint32_t kTileTexels = 1u << 20;
struct TileTexels {
    Texel texels[kTileTexels]; // row after row, `width` texels a row
    TexelKey converted_key;    // what `texels` holds now
    bool converted;            // false until the first conversion
    // The sampled bytes of the tile's last look, kept for the next bind while nothing may
    // have changed them.
    uint32_t hashed_epoch, hashed_source, hashed_bytes;
    int32_t hashed_width, hashed_height;
    bool hashed;
};
extern TileTexels tile_texels[8];

// The texture the cache builds for a tile: its texels from the tile's TMEM address on, `w` x
// `h` of them (one at least, no more than the staging area), followed on an axis that mirrors
// (unclamped, and while the mirror fits its buffers) by their mirror image.
struct TileTextureSides {
    uint32_t w, h;
    bool mirror_s, mirror_t;
};
TileTextureSides tile_texture_sides(const TileDescriptor& d);

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
// current texel transform to the active texture unit; 0 when refused. bound_texture_name is
// the name it bound last, so that nobody asks OpenGL.
int bind_texture(uint32_t tile = 0);
extern uint32_t bound_texture_name;

// The OpenGL filter a draw samples with: the game's choice under TextureFilter=auto (the nearest
// texel for G_TF_POINT and in copy mode, which never filters; bilinear for G_TF_BILERP and
// G_TF_AVERAGE), else the one the player forces.
int texture_filter_for(TextureFilter setting, uint32_t othermode_h, uint32_t cycle_type);

// The wrap mode of clamped tiles for an OpenGL version string: GL_CLAMP_TO_EDGE from 1.2 on,
// GL_CLAMP before. choose_clamp_wrap() takes it from the current context.
int clamp_wrap_for(const char* version);
void choose_clamp_wrap();

// The cache as at library load (names and entries; textures already made are not deleted).
void reset_texture_cache();
