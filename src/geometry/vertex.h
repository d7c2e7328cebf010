// Vertex transform, texture generation, the light records and draw-time lighting
#pragma once
#include <cstdint>

#include "state/bits.h"
#include "state/vertex_types.h"

// The float nearest to 1/127 (bits 0x3C010204): signed direction bytes to -1..1.
constexpr float kInv127 = 1.0f / 127.0f;

constexpr uint32_t kGeometryFog        = 0x00010000; // shade alpha replaced by the fog factor
constexpr uint32_t kGeometryLighting   = 0x00020000;
constexpr uint32_t kGeometryTextureGen = 0x00040000;

struct Vec3 {
    float x, y, z;
};

// How texture generation maps the normal: family 0 divides by the normal's length again,
// family 4 takes the unit normal as it is (the two differ only in rounding).
enum class TexGen { divide_by_length, unit_normal };

// Loads the 16-byte console vertex at an RDRAM offset into vtx[index & 255].
void load_vertex(uint32_t address, uint32_t index, TexGen texgen = TexGen::divide_by_length);

// Sets the entry's position to (x, y, z) and its normal to its colour bytes r, g, b as signed
// numbers, both transformed by the model-view top: the steps every vertex loader shares.
void transform_vertex(TransformedVertex& v, float x, float y, float z);

Vec3 transform_point(float x, float y, float z);  // by the model-view top
Vec3 transform_normal(float x, float y, float z); // upper-left 3x3, normalised
void normalize3(Vec3& v);                         // (0, 0, 0) stays (0, 0, 0)

// The lit colour (r, g, b, 1.0) of a vertex; not clamped.
void light_vertex(const TransformedVertex& v, float out[4]);

// The lights as one batch draw uses them: the directions normalised once instead of once per
// vertex and light. Valid until a light command changes the records.
struct PreparedLights {
    uint32_t count;               // directional lights 0..count-1; the ambient is record count
    Vec3 directions[kLightCount]; // unit directions, (0, 0, 0) for a zero direction
    float colors[kLightCount][3]; // r, g, b of each directional light
    float ambient[3];             // r, g, b of the ambient light
};
void prepare_lights(PreparedLights& lights);
// The same colour as light_vertex(v, out), for the lights prepared.
void light_vertex(const PreparedLights& lights, const TransformedVertex& v, float out[4]);

// Light records as MOVEMEM and MOVEWORD fill them; light numbers are taken modulo 8.
void load_light(uint32_t light, uint32_t address);
void set_light_color(uint32_t light, bool copy, uint32_t rgba_word);

// What a light count above 7 (beyond the eight records) becomes: family 0 clamps it to 7,
// the later families store 0.
enum class ExcessLights { clamp, none };

// Directional lights 0..n-1, ambient in record n.
void set_num_lights(uint32_t n, ExcessLights excess = ExcessLights::clamp);
