// The triangle batch and its drawing with OpenGL vertex arrays
#pragma once
#include <cstdint>

// ColorRecipe bits: how one pass computes its vertex colours.
enum ColorRecipe : uint32_t {
    MUL_PRIM           = 0x1,
    MUL_ENV            = 0x2,
    MUL_SHADE          = 0x4,
    MUL_PRIM_ALPHA     = 0x8,
    MUL_ENV_ALPHA      = 0x10,
    MUL_SHADE_ALPHA    = 0x20,
    ALPHA_PRIM_RED     = 0x40,
    LERP_SHADE_ENV     = 0x200,
    LERP_SHADE_PRIM    = 0x400,
    MUL_INV_PRIM       = 0x800,
    MUL_INV_ENV        = 0x1000,
    MUL_INV_SHADE      = 0x2000,
    INVERT_TEXTURE     = 0x4000,
    MUL_INV_PRIM_ALPHA = 0x8000,
    MUL_INV_ENV_ALPHA  = 0x10000,
    // Recipes derived from the formula of mux_key0 (render/combiner_formula.h):
    DERIVED_F0    = 0x100000, // RGB = the formula with its texel inputs 0
    DERIVED_F1    = 0x200000, // RGB = the formula with its texel inputs 1
    DERIVED_SLOPE = 0x300000, // RGB = the second minus the first
    DERIVED_ALPHA = 0x400000, // alpha = the alpha formula with the texel's alpha 1
    TEXENV_BLEND  = 0x800000, // GL_BLEND from the vertex colour to the formula at the other end
    // The texels of tiles 0 and 1 combined in texture units as the keys' formula says
    // (render/unit_program.h); the vertex colour carries the formula's shade.
    TEXEL_UNITS = 0x1000000,
};

constexpr uint32_t kAlphaRecipeBits = MUL_PRIM_ALPHA | MUL_ENV_ALPHA | MUL_SHADE_ALPHA |
                                      ALPHA_PRIM_RED | MUL_INV_PRIM_ALPHA | MUL_INV_ENV_ALPHA |
                                      DERIVED_ALPHA;

// The texel transform that INVERT_TEXTURE asks of the texture cache.
constexpr uint32_t kTextureModeInvert = 512;

// Entries of the client arrays; the batch never holds more than kBatchRoom of them.
constexpr int kPositionEntries = 1365;
constexpr int kColorEntries    = 1024;
constexpr int kTexcoordEntries = 2048;

struct ClientArrays {
    float positions[kPositionEntries][3];
    float colors[kColorEntries][4];
    float texcoords[kTexcoordEntries][2];
    float texcoords1[kTexcoordEntries][2]; // tile 1's, where the draw samples two textures
    float normals[kPositionEntries][3];    // enabled but never written: zeros
};

extern ClientArrays client_arrays;

// Draws the batch's triangles that cover an area of the window: bit 0 of passes textures the first
// pass, bit 1 the second, and passes >> 4 asks for the second, added onto the first.
void draw_batch(const uint32_t* indices, uint32_t passes, uint32_t recipe1, uint32_t recipe2);

// Where the context draws fog as a pass of its own (render/fog.h): the pass over the triangles
// of the flush's draws, once they are all drawn. Nothing where no fog is pending.
void lay_fog_over_flush();

// Set by flush_batch once a draw of the flush is made: a later textured draw lays its texels
// over what the earlier ones drew.
extern bool flush_has_drawn;

// A new OpenGL context knows nothing of the client arrays: the next draw binds them again.
void forget_client_arrays();
