// The combiner's formula (A - B) x C + D of one cycle, read as the inputs a draw can give, and
// the recipe derived from it for keys the recipe table does not list
#pragma once
#include <cstdint>

#include "render/recipe.h"

// What a selector stands for: a constant or per-vertex input the CPU computes, a texel, or an
// input the draw cannot give (combined, noise, K4, K5, ...).
enum Input : uint8_t {
    in_zero,
    in_one,
    in_prim,
    in_env,
    in_shade,
    in_prim_alpha,
    in_env_alpha,
    in_shade_alpha,
    in_texel,         // the texel of tile 0
    in_texel_alpha,   // its alpha
    in_texel1,        // the texel of tile 1, where the draw samples two textures
    in_texel1_alpha,  // its alpha
    in_prim_lod_frac, // SETPRIMCOLOR's LOD fraction
    in_combined,      // the first cycle's result, as the second cycle reads it
    in_other,
};
constexpr int kInputValues = in_combined; // the inputs an evaluation is given

struct Formula {
    Input a, b, c, d;
};

struct CycleFormula {
    Formula color, alpha;
};

// Which texture the texel selectors read.
enum class TexelReading : uint8_t {
    one,          // TEXEL0 and TEXEL1 both the texture of tile 0 (one texture unit)
    first_cycle,  // TEXEL0 tile 0, TEXEL1 tile 1
    second_cycle, // TEXEL0 tile 1 (the second cycle samples the next tile), TEXEL1 tile 0
                  // (the console's next pixel's first texel, taken as this pixel's)
};

// The selectors packed in a mux key, each read as the input of its position.
CycleFormula decode_formula(uint32_t mux_key, TexelReading texels = TexelReading::one);

// The inputs' values in colour channel ch (3 for alpha): constants, the vertex's shade and
// the texel inputs at tau.
void formula_inputs(float in[kInputValues], int ch, const float shade[4], float tau);

// (A - B) x C + D over the inputs' values, indexed by Input.
inline float evaluate(const Formula& f, const float in[kInputValues]) {
    return (in[f.a] - in[f.b]) * in[f.c] + in[f.d];
}

// The draws for a cycle-0 key that the table does not list; false when its formula cannot be
// expressed with vertex colours, one texture, the texture environment and an added pass.
bool derive_recipe(uint32_t mux_key0, RecipeSteps& steps);

// Whether a second cycle's formula is the first cycle's result alone, and whether a cycle-1 key
// passes the first cycle's colour and alpha on unchanged.
inline bool passes_on(const Formula& f) {
    return f.a == in_zero && f.b == in_zero && f.c == in_zero && f.d == in_combined;
}
bool passes_first_cycle(uint32_t mux_key1);

// Whether anything a draw shows takes a texel's alpha: a formula that names it, in the cycle
// whose result is drawn or in the first where the second reads the combined result. Copy and
// fill modes keep it.
bool reads_texel_alpha(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1);

// The texel transform a textured draw binds with under the keys in force: `mode`, its alpha
// made opaque where the combiner reads no texel alpha (a draw's alpha is the formula's, whatever
// the texture holds).
uint32_t formula_texture_mode(uint32_t mode);
