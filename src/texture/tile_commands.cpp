// Tile descriptors and texture loads
#include "texture/tile_commands.h"

#include <algorithm>
#include <cstdlib>

#include "framebuffer/color_images.h"
#include "state/bits.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_cache.h"
#include "texture/texture_memory.h"
#include "texture/tile_fields.h"

TileCoordFactorPair TileCoordFactor[8];

static TileDescriptor& name_tile(uint32_t t) {
    rdp_reg.current_tile_index = t;
    rdp_reg.current_tile       = t;
    return rdp_reg.tiles[t];
}

// 0xFD
void rdp_set_texture_image() {
    const uint32_t cmd0 = rdp_reg.cmd0;
    TextureImage& image = rdp_reg.texture_image;
    image.format        = image_format(cmd0);
    image.size          = image_size(cmd0);
    image.width         = image_width(cmd0);
    image.address       = translate_address(rdp_reg.cmd1);
}

// 0xF5
void rdp_set_tile() {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    const uint32_t t  = tile_number(cmd1);
    TileDescriptor& d = rdp_reg.tiles[t];
    d.format          = image_format(cmd0);
    d.size            = image_size(cmd0);
    d.line            = tile_line(cmd0);
    d.tmem            = tile_tmem(cmd0);
    d.palette         = tile_palette(cmd1);
    d.clamp_t         = tile_clamp_t(cmd1);
    d.mirror_t        = tile_mirror_t(cmd1);
    d.mask_t          = tile_mask_t(cmd1);
    d.shift_t         = tile_shift_t(cmd1);
    d.clamp_s         = tile_clamp_s(cmd1);
    d.mirror_s        = tile_mirror_s(cmd1);
    d.mask_s          = tile_mask_s(cmd1);
    d.shift_s         = tile_shift_s(cmd1);
    d.source          = rdp_reg.texture_image.address & kRdramMask;
    name_tile(t);
    if (t == 0) refresh_draw_factors(); // its shift and wrap

    // The row length comes in 64-bit words: 16, 8, 4 or 2 texels each.
    d.line = static_cast<uint16_t>(d.line << (4 - d.size));

    // A render tile at another TMEM address than the last load sees that load there too.
    if (t != 7) {
        const LoadRecord& last = LoadRing.records[(LoadRing.next - 1) & 7];
        if (last.tmem != d.tmem) append_load(last.address, d.tmem, last.shape);
    }
}

// The shift of one axis as a factor: right by 1 to 10, left by 5 to 1 for 11 to 15.
static float shift_factor(uint32_t shift) {
    shift &= 15;
    return shift < 11 ? 1.0f / static_cast<float>(1u << shift)
                      : static_cast<float>(1u << (16 - shift));
}

static TileAxisMap axis_map(uint32_t shift, uint32_t corner, uint32_t side) {
    const float texels = static_cast<float>(side);
    return {shift_factor(shift) / texels, static_cast<float>(corner) * 0.25f / texels};
}

TileTextureMap tile_texture_map(const TileDescriptor& d) {
    const TileTextureSides sides = tile_texture_sides(d);
    return {axis_map(d.shift_s, d.corner_s, sides.w << sides.mirror_s),
            axis_map(d.shift_t, d.corner_t, sides.h << sides.mirror_t)};
}

static TileCoordFactorPair scaled_factors(const TileDescriptor& d, float scale_s, float scale_t) {
    const TileTextureMap m = tile_texture_map(d);
    return {scale_t * m.t.per_texel, scale_s * m.s.per_texel, m.t.corner, m.s.corner};
}

static void compute_coord_factors(const TileDescriptor& d, TileCoordFactorPair& f) {
    f = scaled_factors(d, d.scale_s, d.scale_t);
}

// The draw samples tile 0 with entry 0. On the console the TEXTURE scale applies at the vertex
// and the tile's size at the rasteriser, so entry 0 follows both whatever their order: the SDK's
// texture loads set the tile's size before the TEXTURE command that goes with it.
void refresh_draw_factors() { compute_coord_factors(rdp_reg.tiles[0], TileCoordFactor[0]); }

TileCoordFactorPair draw_coord_factors(uint32_t tile) {
    if ((tile & 7) == 0) return TileCoordFactor[0];
    const TileDescriptor& scaled = rdp_reg.tiles[0];
    return scaled_factors(rdp_reg.tiles[tile & 7], scaled.scale_s, scaled.scale_t);
}

// The TEXTURE scale of tile 0 is in units of 1/(32 x 65535); S / 64 texels span a generated
// coordinate's range, which the tile then maps as any other coordinate.
TileCoordFactorPair generated_coord_factors(uint32_t tile) {
    constexpr float kGeneratedTexels = 32.0f * 65535.0f / 64.0f;
    const TileDescriptor& scaled     = rdp_reg.tiles[0];
    return scaled_factors(rdp_reg.tiles[tile & 7], scaled.scale_s * kGeneratedTexels,
                          scaled.scale_t * kGeneratedTexels);
}

// A masked axis repeats every 2^mask texels: the tile holds no more than that.
static void cut_to_masks(TileDescriptor& d) {
    if (d.mask_s != 0 && d.width > (1 << d.mask_s)) {
        d.width   = 1 << d.mask_s;
        d.clamp_s = 0;
    }
    if (d.mask_t != 0 && d.height > (1 << d.mask_t)) {
        d.height  = 1 << d.mask_t;
        d.clamp_t = 0;
    }
}

// 0xF2
void rdp_set_tile_size() {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    const int32_t uls = upper_s(cmd0), ult = upper_t(cmd0);
    const int32_t lrs = lower_s(cmd1), lrt = lower_t(cmd1);
    rdp_reg.current_tile = tile_number(cmd1);
    TileDescriptor& d    = rdp_reg.tiles[rdp_reg.current_tile];

    d.width    = (std::abs(lrs - uls) + 4) >> 2;
    d.height   = (std::abs(lrt - ult) + 4) >> 2;
    d.uls      = static_cast<int16_t>(uls >> 2);
    d.ult      = static_cast<int16_t>(ult >> 2);
    d.lrs      = static_cast<int16_t>((lrs + 2) >> 2);
    d.lrt      = static_cast<int16_t>((lrt + 2) >> 2);
    d.corner_s = static_cast<uint16_t>(uls);
    d.corner_t = static_cast<uint16_t>(ult);
    if (d.lrs == d.uls) ++d.lrs;
    if (d.lrt == d.ult) ++d.lrt;

    cut_to_masks(d);
    compute_coord_factors(d, TileCoordFactor[rdp_reg.current_tile_index & 7]);
    refresh_draw_factors();
}

// The upper-left corner of a load as the load commands measure it: in texels times the size
// code of the image (0 to 3), not in bytes.
static int32_t load_corner(const TileDescriptor& d) {
    const TextureImage& image = rdp_reg.texture_image;
    return (d.ult * static_cast<int32_t>(image.width) + d.uls) * image.size;
}

// What both load commands do first: name the tile, point it at the texture image and take
// the upper-left corner and lower s of the load.
static TileDescriptor& start_load(uint32_t cmd0, uint32_t cmd1) {
    TileDescriptor& d = name_tile(tile_number(cmd1));
    d.source          = rdp_reg.texture_image.address & kRdramMask;
    d.uls             = static_cast<int16_t>(upper_s(cmd0) >> 2);
    d.ult             = static_cast<int16_t>(upper_t(cmd0) >> 2);
    d.lrs             = static_cast<int16_t>((lower_s(cmd1) + 2) >> 2);
    d.corner_s        = static_cast<uint16_t>(upper_s(cmd0));
    d.corner_t        = static_cast<uint16_t>(upper_t(cmd0));
    return d;
}

// What a load took, for the names of replacement textures.
static LoadShape load_shape(LoadKind kind, uint32_t cmd0, uint32_t cmd1) {
    const TextureImage& image = rdp_reg.texture_image;
    return {kind,
            image.size,
            static_cast<uint16_t>(kind == LoadKind::block ? cmd1 & 0xFFF : 0),
            image.address & kRdramMask,
            image.width,
            static_cast<int16_t>(upper_s(cmd0) >> 2),
            static_cast<int16_t>(upper_t(cmd0) >> 2),
            static_cast<int16_t>(lower_s(cmd1) >> 2),
            static_cast<int16_t>(lower_t(cmd1) >> 2)};
}

// The bytes of the texture image a load reads from `first_texel` on, `texels` of them: a colour
// image drawn there is copied back into RDRAM first.
static void before_load(uint32_t first_texel, uint32_t texels) {
    const TextureImage& image = rdp_reg.texture_image;
    before_rdram_read(image.address + ((first_texel << image.size) >> 1),
                      std::max<uint32_t>(1, (texels << image.size) >> 1));
}

// 0xF3
void rdp_load_block() {
    // Its lower s counts texels (the last one loaded), not quarters.
    before_load(0, upper_s(rdp_reg.cmd0) + lower_s(rdp_reg.cmd1) + 1);
    TileDescriptor& d = start_load(rdp_reg.cmd0, rdp_reg.cmd1);
    // The block has no lower t; the tile's own is rescaled like the others.
    d.lrt         = static_cast<int16_t>((d.lrt + 2) >> 2);
    d.load_offset = load_corner(d);
    append_load(rdp_reg.texture_image.address, d.tmem,
                load_shape(LoadKind::block, rdp_reg.cmd0, rdp_reg.cmd1));
    if (tile_number(rdp_reg.cmd1) == 0) refresh_draw_factors(); // its new rectangle
}

// 0xF4
void rdp_load_tile() {
    before_load(upper_t(rdp_reg.cmd0) / 4 * rdp_reg.texture_image.width,
                (lower_t(rdp_reg.cmd1) / 4 - upper_t(rdp_reg.cmd0) / 4 + 1) *
                    rdp_reg.texture_image.width);
    TileDescriptor& d = start_load(rdp_reg.cmd0, rdp_reg.cmd1);
    d.lrt             = static_cast<int16_t>((lower_t(rdp_reg.cmd1) + 2) >> 2);
    d.width           = d.lrs - d.uls + 1;
    d.height          = d.lrt - d.ult + 1;
    cut_to_masks(d);
    const int32_t corner = load_corner(d);
    d.load_offset        = corner;
    append_load(rdp_reg.texture_image.address + corner, d.tmem,
                load_shape(LoadKind::tile, rdp_reg.cmd0, rdp_reg.cmd1));
    if (tile_number(rdp_reg.cmd1) == 0) refresh_draw_factors(); // its new rectangle
}

// The TLUT entries a LOADTLUT writes, as they lie in RDRAM, at the entry its tile's TMEM
// address names in the palette half of TMEM.
static void copy_tlut_bytes() {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    const int32_t first = upper_s(cmd0) >> 2, last = lower_s(cmd1) >> 2;
    const uint32_t tmem = rdp_reg.tiles[tile_number(cmd1)].tmem;
    const uint32_t at   = 2 * ((tmem >= 256 ? tmem - 256 : tmem) & 0x1FF);
    const uint32_t base = rdp_reg.texture_image.address & kRdramMask;
    for (int32_t i = 0; i <= last - first && at + 2 * uint32_t(i) + 1 < kTlutBytes; ++i)
        for (uint32_t b = 0; b < 2; ++b)
            TlutBytes[at + 2 * i + b] = read_host_u8(base + 2 * uint32_t(i) + b);
}

// 0xF0
void rdp_load_tlut() {
    if (!host.rdram) return;
    before_rdram_read(rdp_reg.texture_image.address, 512);
    copy_tlut_bytes();
    TlutChecksum        = TlutChecksumState{};
    const uint32_t base = rdp_reg.texture_image.address;
    for (uint32_t i = 0; i < 256; ++i) {
        // Host half-word order: the texel decoders undo the pairing with index XOR 1.
        const uint32_t v = read_host_u16(base + 2 * i);
        TlutChecksum.total += v * (i + 1);
        TlutChecksum.block[i >> 4] += v * ((i & 15) + 1);
        uint8_t* c = TlutColors[i];
        c[0]       = ((v >> 11) & 0x1F) << 3;
        c[1]       = ((v >> 6) & 0x1F) << 3;
        c[2]       = ((v >> 1) & 0x1F) << 3;
        c[3]       = (v & 1) ? 255 : 0;
    }
}
