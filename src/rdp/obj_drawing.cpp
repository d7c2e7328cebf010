// What the 2-D microcodes draw: backgrounds from an image in RDRAM, and sprites from texture
// memory, as screen-space textured quads in the RDP state the display list set
#include "rdp/obj_drawing.h"

#include <algorithm>
#include <cmath>

#include "rdp/rectangles.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_memory.h"
#include "texture/tile_commands.h"

namespace {

// A piece of the background is drawn from one texture of at most this many texels a side
// and 65,536 texels in all (what the texture cache converts), its sides powers of two so
// that no texel is resampled.
constexpr int32_t kPieceSide   = 256;
constexpr int32_t kPieceTexels = 65536;
// At most this many wrapped stretches per axis: the frame shows at most one picture.
constexpr int kMostStretches = 4;
// At most this many pieces are built for one background (4 million texels); a picture of
// 4095 x 4095 texels shrunk onto a large colour image would otherwise need 256 of them, each
// converted anew, for one command of a hostile list.
constexpr int kMostPieces = 64;

int32_t power_of_two_from(int32_t lowest, int32_t n, int32_t highest) {
    int32_t p = lowest;
    while (p < n && p < highest)
        p <<= 1;
    return p;
}

// One axis of the mapping from screen to image: the texel under screen position p is
// sigma0 + (p - screen) * scale, shifted so that each pixel centre falls on the texel the
// pixel shows (see sample_bias).
struct Axis {
    float screen, sigma0, scale;
    float at(float sigma) const { return screen + (sigma - sigma0) / scale; }
};

struct Span {
    float lo, hi; // texel positions; every pixel's sample lies inside
};

Axis make_axis(float screen, float first, float scale) {
    return {screen, first + sample_bias(scale) - 0.5f * scale, scale};
}

// The texels that the `pixels` pixels from the axis' screen start take, within the frame.
Span sampled(const Axis& a, float first, float pixels) {
    const float bias = sample_bias(a.scale);
    float lo         = std::floor(first + bias);
    float hi         = std::floor(first + bias + (pixels - 1.0f) * a.scale) + 1.0f;
    lo               = std::max(lo, a.sigma0);
    hi               = std::min(hi, a.sigma0 + pixels * a.scale);
    return {lo, hi};
}

// The first texel `first` brought into 0 .. side - 1 by whole sides; returns the sides taken.
float wrap_into(float* first, float scale, int32_t side) {
    const float sides = std::floor(std::floor(*first + sample_bias(scale)) / float(side));
    *first -= sides * float(side);
    return sides;
}

// The texture image as the texture cache reads a tile's rows; put back after drawing.
struct ImageScope {
    TextureImage saved = rdp_reg.texture_image;
    ImageScope(uint8_t format, uint8_t size, uint32_t width) {
        rdp_reg.texture_image.format = format;
        rdp_reg.texture_image.size   = size;
        rdp_reg.texture_image.width  = width;
    }
    ~ImageScope() { rdp_reg.texture_image = saved; }
};

// Render tile 0 over `width` x `height` texels from `source`, clamped, rows `line` texels apart.
void point_tile(uint8_t format, uint8_t size, uint8_t palette, uint32_t line, uint32_t tmem,
                int32_t width, int32_t height) {
    TileDescriptor& d = rdp_reg.tiles[0];
    d.format          = format;
    d.size            = size;
    d.palette         = palette;
    d.line            = static_cast<uint16_t>(line);
    d.tmem            = static_cast<uint16_t>(tmem & 0x1FF);
    d.clamp_s = d.clamp_t = 1;
    d.mirror_s = d.mirror_t = 0;
    d.mask_s = d.mask_t = 0;
    d.shift_s = d.shift_t = 0;
    d.width               = width;
    d.height              = height;
    d.uls = d.ult = 0;
    d.corner_s = d.corner_t = 0;
    d.lrs                   = static_cast<int16_t>(width - 1);
    d.lrt                   = static_cast<int16_t>(height - 1);
    d.load_offset           = 0;
    rdp_reg.current_tile    = 0;
    refresh_draw_factors();
}

struct BgDraw {
    const BgPicture& picture;
    float frame_x, drawn_w; // for the mirror
    bool flip;
    int32_t piece_w, piece_h;
    float screen_w, screen_h;
    mutable int pieces_left = kMostPieces;

    // Image columns [c0, c1) and rows [r0, r1), shown where the axes put texel positions
    // c + col_shift and r + row_shift.
    void draw_stretch(const Axis& ax, float c0, float c1, float col_shift, const Axis& ay, float r0,
                      float r1, float row_shift) const {
        const int32_t first_x = static_cast<int32_t>(std::floor(c0 / float(piece_w)));
        const int32_t first_y = static_cast<int32_t>(std::floor(r0 / float(piece_h)));
        for (int32_t py = first_y; float(py * piece_h) < r1; ++py)
            for (int32_t px = first_x; float(px * piece_w) < c1; ++px)
                draw_piece(ax, c0, c1, col_shift, ay, r0, r1, row_shift, px, py);
    }

    void draw_piece(const Axis& ax, float c0, float c1, float col_shift, const Axis& ay, float r0,
                    float r1, float row_shift, int32_t px, int32_t py) const {
        const float left = float(px * piece_w), top = float(py * piece_h);
        const float s0 = std::max(c0, left), s1 = std::min(c1, left + float(piece_w));
        const float t0 = std::max(r0, top), t1 = std::min(r1, top + float(piece_h));
        if (s1 <= s0 || t1 <= t0) return;
        float x0 = ax.at(s0 + col_shift), x1 = ax.at(s1 + col_shift);
        const float y0 = ay.at(t0 + row_shift), y1 = ay.at(t1 + row_shift);
        if (flip) {
            x0 = 2.0f * frame_x + drawn_w - x0;
            x1 = 2.0f * frame_x + drawn_w - x1;
        }
        if (std::max(x0, x1) <= 0 || std::min(x0, x1) >= screen_w || y1 <= 0 || y0 >= screen_h)
            return;
        if (pieces_left <= 0) return;
        --pieces_left;

        const uint64_t texel = uint64_t(py * piece_h) * uint64_t(picture.width) + uint64_t(left);
        const uint32_t bytes = static_cast<uint32_t>((texel << picture.size) >> 1);
        append_load((picture.address + bytes) & kRdramMask, 0);
        point_tile(picture.format, picture.size, picture.palette,
                   static_cast<uint32_t>(picture.width), 0, piece_w, piece_h);
        const TileTextureMap m = tile_texture_map(rdp_reg.tiles[0]);
        const float u0 = m.s.at(s0 - left), u1 = m.s.at(s1 - left);
        const float v0 = m.t.at(t0 - top), v1 = m.t.at(t1 - top);
        const TexCorner corners[4] = {
            {x1, y1, u1, v1}, {x0, y1, u0, v1}, {x0, y0, u0, v0}, {x1, y0, u1, v0}};
        draw_textured_corners(corners);
    }
};

} // namespace

void draw_background(const BgPicture& picture, const BgPlacement& at) {
    const int32_t W = picture.width, H = picture.height;
    if (W < 1 || H < 1 || W > kBgLargestSide || H > kBgLargestSide) return;
    if (!(at.scale_s > 0.0f) || !(at.scale_t > 0.0f)) return;
    if (picture.size > 3) return;
    // The frame shows at most one picture.
    const float drawn_w = std::floor(std::min(at.w, float(W) / at.scale_s));
    const float drawn_h = std::floor(std::min(at.h, float(H) / at.scale_t));
    if (drawn_w < 1.0f || drawn_h < 1.0f) return;

    const float screen_w  = rdp_reg.color_image_width;
    const int32_t piece_w = power_of_two_from(16, W, kPieceSide);
    const int32_t piece_h = power_of_two_from(1, H, std::min(kPieceSide, kPieceTexels / piece_w));
    const BgDraw draw{picture, at.x,    drawn_w,  at.flip_s,
                      piece_w, piece_h, screen_w, screen_w * 0.75f};
    const ImageScope image(picture.format, picture.size, static_cast<uint32_t>(W));

    // Past the right edge a line goes on with the next line of the image.
    float s = at.s, t = at.t;
    t += wrap_into(&s, at.scale_s, W);
    const Axis ax   = make_axis(at.x, s, at.scale_s);
    const Span cols = sampled(ax, s, drawn_w);
    const int first = static_cast<int>(std::floor(cols.lo / float(W)));
    for (int k = first; k < first + kMostStretches && float(k) * float(W) < cols.hi; ++k) {
        const float c0 = std::max(cols.lo, float(k) * float(W)) - float(k) * float(W);
        const float c1 = std::min(cols.hi, float(k + 1) * float(W)) - float(k) * float(W);
        if (c1 <= c0) continue;
        // Past the last line the image starts again at its first.
        float row = t + float(k);
        wrap_into(&row, at.scale_t, H);
        const Axis ay     = make_axis(at.y, row, at.scale_t);
        const Span rows   = sampled(ay, row, drawn_h);
        const int first_m = static_cast<int>(std::floor(rows.lo / float(H)));
        for (int m = first_m; m < first_m + kMostStretches && float(m) * float(H) < rows.hi; ++m) {
            const float r0 = std::max(rows.lo, float(m) * float(H)) - float(m) * float(H);
            const float r1 = std::min(rows.hi, float(m + 1) * float(H)) - float(m) * float(H);
            if (r1 > r0)
                draw.draw_stretch(ax, c0, c1, float(k) * float(W), ay, r0, r1, float(m) * float(H));
        }
    }
}

void set_sprite_tile(const SpriteTexture& texture) {
    const uint32_t line = uint32_t(texture.line_words) << (4 - (texture.size & 3));
    const int32_t w     = std::max(1, static_cast<int32_t>(std::ceil(texture.width)));
    const int32_t h     = std::max(1, static_cast<int32_t>(std::ceil(texture.height)));
    point_tile(texture.format, texture.size & 3, texture.palette & 0xF, line, texture.tmem,
               std::min(w, 1024), std::min(h, 1024));
}

void draw_sprite(const SpriteCorner (&corners)[4]) {
    const TileDescriptor& d = rdp_reg.tiles[0];
    // Rows lie `line` texels apart in texture memory, whatever the last load's image said.
    const ImageScope image(d.format, d.size, d.line);
    const TileTextureMap m = tile_texture_map(d);
    TexCorner quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i].x, corners[i].y, m.s.at(corners[i].s), m.t.at(corners[i].t)};
    draw_textured_corners(quad);
}
