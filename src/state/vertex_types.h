// Vertex buffer entries and light records
#pragma once
#include <cstdint>

struct TransformedVertex {
    float x, y, z;    // eye-space position (model-view applied, no projection)
    uint16_t flags;   // console flag word, copied unchanged
    float s, t;       // texture coordinates: 10.5 fixed point as float, or generated 0..1
    uint8_t rgba[4];  // console colour bytes; with lighting, r g b hold the signed normal
    float nx, ny, nz; // eye-space unit normal
};

struct LightRecord {
    float rgba[4];      // colour r, g, b in 0..1, then 1.0
    float rgba_copy[4]; // second colour, stored but unused by the lighting
    float xyzw[4];      // direction x, y, z, then 1.0
};

constexpr int kVertexCount = 256;
constexpr int kLightCount  = 8;
