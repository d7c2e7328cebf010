// Replacement packs at texture creation
#include "texture/texture_pack.h"

#include <algorithm>

#include "pack/pack_checksum.h"
#include "pack/pack_store.h"
#include "state/host_state.h"
#include "state/rdram.h"
#include "texture/texel_convert.h"
#include "texture/texture_memory.h"

// The largest texture side a pack names (TMEM holds 4096 texels of 8 bits).
constexpr uint32_t kLargestNamedSide = 4096;
// The largest replacement side kept: with both mirrors it still fits the staging area.
constexpr uint32_t kReplacementSide = 512;

// A tile whose texels go through the palette: colour-indexed, and the 4- and 8-bit RGBA and
// YUV ones the decoders read as indices.
static bool indexed(const TileDescriptor& d) {
    return d.format == 2 || (d.format <= 1 && d.size <= 1);
}

// A block load is read as the drawing tile lays it out: the tile's size (the whole mask where
// it repeats), rows one line (or one dxt step) apart.
static PackWindow block_window(const TileDescriptor& d, const LoadShape& s) {
    uint32_t w = uint32_t(std::max(d.width, 1));
    uint32_t h = uint32_t(std::max(d.height, 1));
    if (d.mask_s && (!d.clamp_s || w > (1u << d.mask_s))) w = 1u << d.mask_s;
    if (d.mask_t && (!d.clamp_t || h > (1u << d.mask_t))) h = 1u << d.mask_t;
    const uint32_t words = s.dxt ? 2048u / s.dxt : uint32_t(d.line) >> (4 - d.size);
    return {s.image, w, h, d.size, words << (d.size == 3 ? 4 : 3)};
}

// A tile load is read in the image: the loaded rectangle, or the drawing tile where that is
// smaller.
static PackWindow tile_window(const TileDescriptor& d, const LoadShape& s) {
    uint32_t w = uint32_t(std::max(s.lrs - s.uls + 1, 1));
    uint32_t h = uint32_t(std::max(s.lrt - s.ult + 1, 1));
    if (d.width > 0 && uint32_t(d.width) < w) w = uint32_t(d.width);
    if (d.height > 0 && uint32_t(d.height) < h) h = uint32_t(d.height);
    const uint32_t pitch = (s.image_width << s.size) >> 1;
    const uint32_t left  = ((uint32_t(std::max<int16_t>(s.uls, 0)) << d.size) + 1) >> 1;
    return {s.image + uint32_t(std::max<int16_t>(s.ult, 0)) * pitch + left, w, h, d.size, pitch};
}

bool texture_pack_key(const TileDescriptor& d, PackKey* key) {
    const LoadRecord* load = last_load_into(d.tmem);
    if (!host.rdram || !load || load->shape.kind == LoadKind::none) return false;
    const PackWindow window = load->shape.kind == LoadKind::block ? block_window(d, load->shape)
                                                                  : tile_window(d, load->shape);
    // A mask of 15 would name 32768 texels a side: far beyond the 4 KB of TMEM.
    if (window.width > kLargestNamedSide || window.rows > kLargestNamedSide) return false;
    const PackMemory rdram = {host.rdram, kRdramSize};
    *key                   = {pack_texture_checksum(rdram, window), d.format, d.size, false, 0};
    if (indexed(d)) {
        // A 4-bit texture's palette is read 32 entries a palette number in.
        const uint32_t entries = pack_largest_index(rdram, window) + 1;
        const uint32_t first   = d.size == 0 ? d.palette * 32u * 2u : 0;
        key->indexed           = true;
        key->palette_crc       = pack_palette_checksum({TlutBytes, kTlutBytes}, first, entries);
    }
    return true;
}

// The replacement into the staging area, its sides halved until it fits.
static void stage_replacement(const PackImage& image, uint32_t* width, uint32_t* height) {
    uint32_t step = 1;
    while (image.width / step > kReplacementSide || image.height / step > kReplacementSide)
        step *= 2;
    const uint32_t w = std::max(image.width / step, 1u), h = std::max(image.height / step, 1u);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* p        = &image.rgba[(size_t(y) * step * image.width + x * step) * 4];
            TexelStaging[y * w + x] = {p[0], p[1], p[2], p[3]};
        }
    *width  = w;
    *height = h;
}

bool texture_pack_swap(const TileDescriptor& d, uint32_t* width, uint32_t* height) {
    if (!pack_dumping() && !pack_loading()) return false;
    PackKey key;
    if (!texture_pack_key(d, &key)) return false;
    if (pack_dumping())
        pack_dump(key, reinterpret_cast<const uint8_t*>(TexelStaging), *width, *height);
    const PackImage* image = pack_find(key);
    if (!image) return false;
    stage_replacement(*image, width, height);
    return true;
}
