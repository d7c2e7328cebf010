// Fog: the factor the microcode puts in a vertex's shade alpha, and the blender's first cycle
// mixing the fog colour into the combined colour by it
#pragma once
#include <cstdint>

// With G_FOG the microcode replaces a vertex's shade alpha by clamp(z/w x fm + fo, 0, 255):
// z/w of its clip-space position, fm and fo the signed halves of the fog word (multiplier on
// top). A w of 0 counts as the smallest w of z's sign, so no factor is ever undefined.
float fog_factor(float z_clip, float w_clip, uint32_t fog_word);

// What the first blender cycle mixes in (fog colour x A + combined x (1 - A)): nothing, the fog
// colour by each vertex's shade alpha, or by the fog colour's own alpha. Copy and fill draws
// do not blend.
enum class FogMix : uint8_t { none, shade_alpha, fog_alpha };
FogMix fog_mix(uint32_t othermode_l, uint32_t cycle_type);

// How the context draws the mix: OpenGL's fog with a fog coordinate per vertex (OpenGL 1.4 or
// EXT_fog_coord), or a pass of the fog colour laid over the drawn triangles. Chosen when the
// context is made.
enum class FogDraw : uint8_t { coordinate, pass };
FogDraw fog_draw_for(const char* version, const char* extensions);
extern FogDraw fog_draw;
void choose_fog_draw();

// Coordinate draws: OpenGL's fog on, with the weight of the fog colour per array entry (0..1),
// until end_fog. An added pass mixes in black: its sum with the first pass gets the colour once.
void begin_fog(const float* weights, bool added_pass);
void end_fog();

// The pass: the fog colour at each entry's weight over the triangles the arrays hold, drawn
// where they were drawn; textured with the texture bound last, so that texels the alpha test
// dropped stay out of it.
void draw_fog_pass(const float* weights, int count, bool textured);
