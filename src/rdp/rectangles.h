// Texture and fill rectangles, drawn at once in a 2-D projection
#pragma once
#include <cstdint>

#include "state/tile_types.h"

void rdp_tex_rect();      // 0xE4, 24 bytes
void rdp_tex_rect_flip(); // 0xE5
void rdp_fill_rect();     // 0xF6

// Corners in console pixels (the 10.2 fractions kept), the tile whose coordinates apply,
// s and t in texels, the steps in texels per pixel.
void draw_texture_rect(float ulx, float uly, float lrx, float lry, uint32_t tile, float s, float t,
                       float dsdx, float dtdy);
// A textured polygon of four corners in console pixels (y down), texture coordinates already
// normalised, drawn with tile 0's texture in the colours a texture rectangle gets.
struct TexCorner {
    float x, y, u, v;
};
void draw_textured_corners(const TexCorner (&corners)[4]);
// Corners in whole console pixels, the lower-right one excluded; the colour as four floats.
// `as_is` writes the colour without blending and alpha test, else it blends as it is set.
void draw_fill_rect(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry, const float* rgba,
                    bool as_is);
// A fill into the depth image: the same corners, depth set to the far plane.
void clear_depth_rect(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry);

// The fill colour word in the colour image's format: for a 32-bit image one RGBA 8-8-8-8
// pixel, red highest; for any other size the upper of two RGBA 5-5-5-1 pixels.
void decode_fill_color(uint32_t color, uint32_t image_size, float* rgba);

// The quad a texture rectangle draws: from the upper-left corner to past the last pixel (lrx
// and lry are the last pixel's), texture coordinates normalised by the tile's size.
struct TexRectQuad {
    float x0, y0, x1, y1;
    float u0, v0, u1, v1;
};
TexRectQuad texture_rect_quad(const TileDescriptor& tile, float ulx, float uly, float lrx,
                              float lry, float s, float t, float dsdx, float dtdy);
