// The texture cache: OpenGL textures of tile 0, found by a hash of their texels
#include "texture/texture_cache.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/settings.h"
#include "state/host_state.h"
#include "state/othermode.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_memory.h"
#include "texture/texture_pack.h"

TextureCacheEntry TextureCache[kTextureNames];
uint32_t next_name   = 1;
uint32_t oldest_name = 1;
TileTexels tile_texels[8];
Texel ScaledTexels[kScaledTexels];
uint32_t textures_built;

constexpr uint32_t kLiveNames    = 512; // names live before the oldest are evicted
constexpr uint32_t kEvictedNames = 32;  // names evicted at a time
constexpr uint32_t kStagedTexels = 65536;
constexpr int64_t kLargestArea   = 0x1FFF00;
constexpr uint32_t kHashedTexels = 65536;

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F // OpenGL 1.2; the Windows headers stop at 1.1
#endif

// The console clamps a coordinate to the tile, so its edge texel repeats. GL_CLAMP samples the
// border colour at and beyond the edge under linear filtering, black blended into the edge
// texels; only OpenGL 1.2 clamps to the edge.
static GLint clamp_wrap = GL_CLAMP;
// The context's largest texture side (at least 64 on any OpenGL); textures are scaled to it.
static uint32_t max_texture_side = 512;

int clamp_wrap_for(const char* version) {
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return GL_CLAMP;
    return major > 1 || (major == 1 && minor >= 2) ? GL_CLAMP_TO_EDGE : GL_CLAMP;
}

void choose_clamp_wrap() {
    clamp_wrap = clamp_wrap_for(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    max_texture_side = side >= 64 ? std::min<uint32_t>(uint32_t(side), 512) : 512;
}

// The palette checksum a colour-indexed tile's key includes.
static uint32_t palette_checksum(const TileDescriptor& d) {
    if (d.format != 2) return 0;
    if (d.size == 0) return TlutChecksum.block[d.palette & 0xF];
    if (d.size == 1) return TlutChecksum.total;
    return 0;
}

// A host byte at an RDRAM offset as it lies in memory, or 0 past the end of RDRAM.
static uint32_t host_byte(uint32_t a) { return a < kRdramSize ? host.rdram[a] : 0; }

static uint32_t rotate_right(uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }

// The sparse hash of `texels` texels' bytes from `source`: four bytes of every 52, in host
// order.
static uint32_t sampled_bytes(uint32_t source, int64_t texels) {
    static constexpr uint32_t kHashedBytes[] = {0, 5, 10, 15};
    uint32_t h                               = 0;
    const uint32_t blocks                    = static_cast<uint32_t>((texels + 12) / 13);
    for (uint32_t k = 0; k < blocks; ++k) {
        const uint32_t at = source + 52 * k;
        for (uint32_t offset : kHashedBytes)
            h += rotate_right(h, 7) ^ host_byte(at + offset);
    }
    return h;
}

// The tile hash. With `reuse` the sampled bytes of the tile's last look are taken again while
// nothing may have changed them: the same source and size, and no load, copy-back or task
// since (texel_epoch).
static uint32_t hash_of(uint32_t tile, bool reuse) {
    TileDescriptor& d = rdp_reg.tiles[tile & 7];
    TileTexels& kept  = tile_texels[tile & 7];
    resolve_tile_source(d);
    if (!host.rdram) return kHashNoSource;
    const int64_t n = static_cast<int64_t>(d.width) * d.height;
    if (n > kHashedTexels || n < 0) return kHashTooLarge;
    const bool same = reuse && kept.hashed && kept.hashed_epoch == texel_epoch &&
                      kept.hashed_source == d.source && kept.hashed_width == d.width &&
                      kept.hashed_height == d.height;
    if (!same) {
        kept.hashed_bytes  = sampled_bytes(d.source, n);
        kept.hashed_epoch  = texel_epoch;
        kept.hashed_source = d.source;
        kept.hashed_width  = d.width;
        kept.hashed_height = d.height;
        kept.hashed        = true;
    }
    return d.source ^ kept.hashed_bytes ^ palette_checksum(d);
}

uint32_t tile_hash(uint32_t tile) { return hash_of(tile, false); }

// Texels from one source row to the next: the image's width (twice that for a 4-bit tile of an
// 8-bit image), or the tile's where the image is two texels wide or less.
static int32_t source_line(const TileDescriptor& d) {
    const TextureImage& image = rdp_reg.texture_image;
    int32_t line              = static_cast<int32_t>(image.width);
    if (image.size == d.size + 1 && d.size == 0) line *= 2;
    line = std::abs(line);
    return line <= 2 ? std::abs(d.width) : line;
}

static TexelKey texel_key(const TileDescriptor& d, uint32_t hash) {
    return {hash,
            palette_checksum(d),
            uint32_t(d.format) << 8 | uint32_t(d.size) << 4 | d.palette,
            d.width,
            d.height,
            source_line(d)};
}

// Converts the tile's texels for `key` unless they are already there.
static void convert_for(uint32_t tile, const TexelKey& key) {
    TileDescriptor& d = rdp_reg.tiles[tile & 7];
    TileTexels& area  = tile_texels[tile & 7];
    if (key.hash == kHashNoSource || key.hash == kHashTooLarge || d.width < 0) return;
    if (area.converted && key == area.converted_key) return;

    texel_line    = key.line;
    texel_palette = d.palette;
    // height + 1 rows: the row after the tile enters the image when load_offset is not 0.
    if (d.width > 0) {
        const int32_t rows_that_fit = static_cast<int32_t>(kTileTexels / d.width);
        const int32_t last_row      = std::min(d.height, rows_that_fit - 1);
        converter_for(d.format, d.size)(d.source, area.texels, 0, d.width - 1, 0, last_row);
    }
    area.converted_key = key;
    area.converted     = true;
}

uint32_t convert_tile(uint32_t tile) {
    const TileDescriptor& d = rdp_reg.tiles[tile & 7];
    const uint32_t hash     = tile_hash(tile);
    if (hash == kHashNoSource) return hash;
    if (d.width < 0) return kHashNegativeWidth;
    if (hash == kHashTooLarge) return hash;
    convert_for(tile, texel_key(d, hash));
    return hash;
}

// 65,536 texels from the tile's texels, `load_offset` texels in; outside the area, zeros.
// Only the first `used` of them are staged: nothing after the texture's own texels is read.
static void stage_texels(const Texel* texels, int32_t load_offset, uint32_t used) {
    const int64_t count = std::min(used, kStagedTexels);
    const int64_t first = std::max<int64_t>(load_offset, 0);
    const int64_t last  = std::min<int64_t>(int64_t(load_offset) + count, kTileTexels);
    std::memset(TexelStaging, 0, static_cast<size_t>(count) * sizeof(Texel));
    if (first < last)
        std::memcpy(TexelStaging + (first - load_offset), texels + first,
                    static_cast<size_t>(last - first) * sizeof(Texel));
}

// Each row followed by itself reversed, built in ScaledTexels and copied back.
static void mirror_s(uint32_t w, uint32_t h) {
    for (uint32_t y = 0; y < h; ++y) {
        const Texel* row = TexelStaging + y * w;
        Texel* out       = ScaledTexels + y * 2 * w;
        for (uint32_t x = 0; x < w; ++x)
            out[x] = out[2 * w - 1 - x] = row[x];
    }
    std::memcpy(TexelStaging, ScaledTexels, size_t(2) * w * h * sizeof(Texel));
}

// The image followed by its texels in reverse order, last texel first.
static void mirror_t(uint32_t w, uint32_t h) {
    const uint32_t n = w * h;
    for (uint32_t i = 0; i < n; ++i)
        TexelStaging[n + i] = TexelStaging[n - 1 - i];
}

static uint32_t power_of_two_side(uint32_t n) {
    uint32_t p = 1;
    while (p < n && p < max_texture_side)
        p <<= 1;
    return p;
}

static void upload(uint32_t w, uint32_t h) {
    const uint32_t w2 = power_of_two_side(w), h2 = power_of_two_side(h);
    if (w2 == w && h2 == h) {
        glTexImage2D(GL_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, TexelStaging);
        return;
    }
    gluScaleImage(GL_RGBA, w, h, GL_UNSIGNED_BYTE, TexelStaging, w2, h2, GL_UNSIGNED_BYTE,
                  ScaledTexels);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, w2, h2, 0, GL_RGBA, GL_UNSIGNED_BYTE, ScaledTexels);
}

// Once 512 names are live, the 32 oldest are deleted; names run from 1 to 4095. Near the wrap
// the window of deleted names can reach the texture just built: that one is kept for its draw.
static void advance_names() {
    const uint32_t built = next_name;
    ++next_name;
    if (next_name >= ((oldest_name + kLiveNames) & 0xFFF) && next_name >= oldest_name) {
        uint32_t end = oldest_name + kEvictedNames;
        if (end >= 4095) end = kTextureNames;
        for (uint32_t name = oldest_name; name < end; ++name) {
            if (name == built) continue;
            std::memset(&TextureCache[name], 0xFF, sizeof TextureCache[name]);
            const GLuint gl_name = name;
            glDeleteTextures(1, &gl_name);
        }
        oldest_name += kEvictedNames;
        if (oldest_name >= kTextureNames) oldest_name = 1;
    }
    if (next_name >= kTextureNames) next_name = 1;
}

TileTextureSides tile_texture_sides(const TileDescriptor& d) {
    TileTextureSides sides;
    sides.w = std::min(static_cast<uint32_t>(std::max(d.width, 1)), kStagingTexels);
    sides.h = std::min(static_cast<uint32_t>(std::max(d.height, 1)), kStagingTexels / sides.w);
    const uint64_t texels = uint64_t(sides.w) * sides.h;
    sides.mirror_s        = d.mirror_s && !d.clamp_s && 2 * texels <= kScaledTexels;
    sides.mirror_t = d.mirror_t && !d.clamp_t && (2 * texels << sides.mirror_s) <= kStagingTexels;
    return sides;
}

// Both axes' clamp, mirror and mask, as one word of the key.
static uint32_t wrap_bits(const TileDescriptor& d) {
    const uint32_t s = d.mask_s * 4u + d.clamp_s * 2u + d.mirror_s;
    const uint32_t t = d.mask_t * 4u + d.clamp_t * 2u + d.mirror_t;
    return s | t << 8;
}

uint32_t bound_texture_name;

int texture_filter_for(TextureFilter setting, uint32_t othermode_h, uint32_t cycle_type) {
    switch (setting) {
    case TextureFilter::bilinear: return GL_LINEAR;
    case TextureFilter::nearest: return GL_NEAREST;
    default: break;
    }
    const bool bilerp = (othermode_h & kTextureFilterBilerp) && cycle_type != kCycleCopy;
    return bilerp ? GL_LINEAR : GL_NEAREST;
}

// One texture may be drawn both ways in a frame: the filter is the texture object's, set when
// the draw wants another than it had.
static void filter_bound_texture(uint32_t name) {
    const GLint filter =
        texture_filter_for(player_settings.texture_filter, rdp_reg.othermode_h, rdp_reg.cycle_type);
    if (TextureCache[name].filter == filter) return;
    TextureCache[name].filter = filter;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

int bind_texture(uint32_t tile) {
    tile &= 7;
    TileDescriptor& d  = rdp_reg.tiles[tile];
    const TexelKey key = texel_key(d, hash_of(tile, true));
    const int32_t w    = std::abs(d.lrs - d.uls) + 1;
    const int32_t h    = std::abs(d.lrt - d.ult) + 1;
    if (int64_t(w) * h > kLargestArea) return 0;

    const uint32_t wrap = wrap_bits(d);
    const uint32_t mode = rdp_reg.texture_mode, color = rdp_reg.texture_color;

    uint32_t last = 0; // the last entry the walk visited
    if (next_name != 1) {
        uint32_t name = oldest_name;
        for (uint32_t steps = 0; steps < kTextureNames && name >= 1 && name < kTextureNames;
             ++steps) {
            const TextureCacheEntry& e = TextureCache[name];
            last                       = name;
            if (e.texels == key && e.wrap == wrap && e.load_offset == d.load_offset &&
                e.mode == mode && e.color == color) {
                glBindTexture(GL_TEXTURE_2D, name);
                bound_texture_name = name;
                filter_bound_texture(name);
                return 1;
            }
            if (e.next == -1) break;
            name = static_cast<uint32_t>(e.next);
        }
    }

    ++textures_built;
    convert_for(tile, key);
    const uint32_t name = next_name;
    TextureCache[name]  = {key, wrap, d.load_offset, mode, color, -1, 0};
    glBindTexture(GL_TEXTURE_2D, name);
    bound_texture_name = name;

    const TileTextureSides sides = tile_texture_sides(d);
    uint32_t tw = sides.w, th = sides.h;
    stage_texels(tile_texels[tile].texels, d.load_offset, tw * th);
    texture_pack_swap(d, &tw, &th);
    if (mode != 0) apply_texture_mode(mode, tw * th);
    if (last != 0 && last != name) TextureCache[last].next = static_cast<int32_t>(name);

    if (d.clamp_s) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, clamp_wrap);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        // A replacement is at most 512 texels a side: its mirrors fit too.
        if (sides.mirror_s && uint64_t(2) * tw * th <= kScaledTexels) {
            mirror_s(tw, th);
            tw *= 2;
        }
    }
    if (d.clamp_t) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, clamp_wrap);
    } else {
        if (sides.mirror_t && uint64_t(2) * tw * th <= kStagingTexels) {
            mirror_t(tw, th);
            th *= 2;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    filter_bound_texture(name);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    upload(tw, th);

    advance_names();
    rdp_reg.texture_mode  = 0;
    rdp_reg.texture_color = 0;
    return 1;
}

void reset_texture_cache() {
    std::memset(TextureCache, 0, sizeof TextureCache);
    next_name   = 1;
    oldest_name = 1;
    for (TileTexels& t : tile_texels)
        t.converted = t.hashed = false;
}
