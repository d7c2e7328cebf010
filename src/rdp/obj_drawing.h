// What the 2-D microcodes draw: backgrounds from an image in RDRAM, and sprites from texture
// memory, as screen-space textured quads in the RDP state the display list set
#pragma once
#include <cstdint>

// An image in RDRAM, a linear raster of `width` x `height` texels.
struct BgPicture {
    uint32_t address; // RDRAM offset
    uint8_t format, size, palette;
    int32_t width, height;
};

// Where the picture goes: the frame on screen, the texel shown at its upper-left, the texels
// per pixel, and the mirror left to right.
struct BgPlacement {
    float x, y, w, h;
    float s, t;
    float scale_s, scale_t;
    bool flip_s;
};

// Largest image side the 2-D microcodes can name (10.2 fields).
constexpr int32_t kBgLargestSide = 4095;

// Draws the picture into the frame, limited to one picture's size. Past the right edge a
// line continues on the next line of the image; past the last line it starts again at the
// first. The image is drawn in pieces that the texture cache keeps, each at most 256 texels
// a side, so any image size is drawn without scaling its texels.
void draw_background(const BgPicture& picture, const BgPlacement& placement);

// A sprite's texture as it sits in texture memory, and its size in texels.
struct SpriteTexture {
    uint8_t format, size, palette;
    uint16_t line_words; // texture line in 64-bit words
    uint16_t tmem;       // in 64-bit words
    float width, height; // texels
};

// Points render tile 0 at the sprite's texture, clamped, its size the sprite's.
void set_sprite_tile(const SpriteTexture& texture);

// Draws tile 0 (set by set_sprite_tile) through four screen corners, each with its texel
// position (s, t); the texture is read row by row as it lies in texture memory.
struct SpriteCorner {
    float x, y, s, t;
};
void draw_sprite(const SpriteCorner (&corners)[4]);

// Where the pixel of an axis, `scale` texels per pixel, takes its texel: the first pixel's
// texel s lies at s + sample_bias(scale) inside it, so that both nearest and bilinear
// sampling give whole texels at 1:1 and when shrinking, and the pixel centre's texel when
// enlarging.
inline float sample_bias(float scale) { return 0.5f * (scale < 1.0f ? scale : 1.0f); }

// The texel positions at the two edges of `pixels` pixels whose first takes texel `first` and
// each next one `step` texels on (a step of 0 or below 0 too): each pixel samples the texel
// it steps to.
inline void texel_edges(float first, float step, float pixels, float* lo, float* hi) {
    const float magnitude = step < 0.0f ? -step : step;
    const float bias      = magnitude > 0.0f ? sample_bias(magnitude) : 0.5f;
    *lo                   = first + bias - 0.5f * step;
    *hi                   = *lo + pixels * step;
}
