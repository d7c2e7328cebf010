// The combiner's formula read as draw inputs, and the recipes derived from it
#include "render/combiner_formula.h"

#include "render/batch.h"
#include "state/bits.h"
#include "state/rdp_reg.h"
#include "texture/texel_convert.h"

// What each selector value stands for in each position, TEXEL1 read as TEXEL0 (the tables
// give T and Ta for both; the selector values 2 and 9 say which was named). Values past the
// named ones are 0; 6 is 1 where A and D take it. The console computes LOD_FRACTION per pixel
// from the texels a pixel spans; it is taken as 0 here, the finest level whole.
constexpr Input T = in_texel, Ta = in_texel_alpha, P = in_prim, E = in_env, S = in_shade;
constexpr Input Pa = in_prim_alpha, Ea = in_env_alpha, Sa = in_shade_alpha;
constexpr Input L = in_zero, Lp = in_prim_lod_frac;
constexpr Input O = in_zero, I = in_one, C = in_combined, X = in_other;
// clang-format off
constexpr Input kColorA[16] = {C, T, T, P, S, E, I, X, O, O, O, O, O, O, O, O};
constexpr Input kColorB[16] = {C, T, T, P, S, E, X, X, O, O, O, O, O, O, O, O};
constexpr Input kColorC[32] = {C, T, T, P, S, E, X, C, Ta, Ta, Pa, Sa, Ea, L, Lp, X,
                               O, O, O, O, O, O, O, O, O,  O,  O,  O,  O,  O, O, O};
constexpr Input kColorD[8]  = {C, T, T, P, S, E, I, O};
constexpr Input kAlphaABD[8] = {C, Ta, Ta, Pa, Sa, Ea, I, O};
constexpr Input kAlphaC[8]   = {L, Ta, Ta, Pa, Sa, Ea, Lp, O};
// clang-format on

// The texel input a selector names as the reading says: `second` when it names TEXEL1 (or
// its alpha).
static Input read_texel(Input x, bool second, TexelReading texels) {
    const bool tile1 = texels == TexelReading::first_cycle    ? second
                       : texels == TexelReading::second_cycle ? !second
                                                              : false;
    if (!tile1) return x;
    if (x == in_texel) return in_texel1;
    if (x == in_texel_alpha) return in_texel1_alpha;
    return x;
}

// (A - B) is 0 when A and B name one input, and so is the product when C is 0: the formula
// is then D alone, whatever A, B and C are.
static Formula plain(Formula f) {
    if (f.a == f.b || f.c == in_zero) f.a = f.b = f.c = in_zero;
    return f;
}

CycleFormula decode_formula(uint32_t key, TexelReading texels) {
    const uint32_t a = field(key, 0, 4), b = field(key, 4, 4), c = field(key, 8, 5);
    const uint32_t d = field(key, 13, 3), aa = field(key, 16, 3), ab = field(key, 19, 3);
    const uint32_t ac = field(key, 22, 3), ad = field(key, 25, 3);
    const Formula color = {
        read_texel(kColorA[a], a == 2, texels), read_texel(kColorB[b], b == 2, texels),
        read_texel(kColorC[c], c == 2 || c == 9, texels), read_texel(kColorD[d], d == 2, texels)};
    const Formula alpha = {
        read_texel(kAlphaABD[aa], aa == 2, texels), read_texel(kAlphaABD[ab], ab == 2, texels),
        read_texel(kAlphaC[ac], ac == 2, texels), read_texel(kAlphaABD[ad], ad == 2, texels)};
    return {plain(color), plain(alpha)};
}

void formula_inputs(float in[kInputValues], int ch, const float shade[4], float tau) {
    const float* prim              = rdp_reg.prim_rgba;
    const float* env               = rdp_reg.env_rgba;
    const float pick[kInputValues] = {0,
                                      1,
                                      prim[ch],
                                      env[ch],
                                      shade[ch],
                                      prim[3],
                                      env[3],
                                      shade[3],
                                      tau,
                                      tau,
                                      tau,
                                      tau,
                                      rdp_reg.prim_lod_frac};
    for (int i = 0; i < kInputValues; ++i)
        in[i] = pick[i];
}

bool passes_first_cycle(uint32_t mux_key1) {
    const CycleFormula f = decode_formula(mux_key1);
    return passes_on(f.color) && passes_on(f.alpha);
}

static bool has(const Formula& f, Input x) { return f.a == x || f.b == x || f.c == x || f.d == x; }

static bool has(const CycleFormula& f, Input x) { return has(f.color, x) || has(f.alpha, x); }

static bool readable(const Formula& f) {
    return f.a != in_other && f.b != in_other && f.c != in_other && f.d != in_other;
}

// A formula that cannot be read (the combined result in the first cycle, noise, K4, K5) keeps
// the texel's alpha, as every draw did before.
bool reads_texel_alpha(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1) {
    if (cycle_type > 1) return true;
    const CycleFormula first = decode_formula(mux_key0);
    if (has(first, in_combined) || !readable(first.color) || !readable(first.alpha)) return true;
    if (cycle_type == 0) return has(first, in_texel_alpha);
    const CycleFormula second = decode_formula(mux_key1);
    if (!readable(second.color) || !readable(second.alpha)) return true;
    return has(second, in_texel_alpha) || (has(second, in_combined) && has(first, in_texel_alpha));
}

uint32_t formula_texture_mode(uint32_t mode) {
    const bool keep = reads_texel_alpha(rdp_reg.cycle_type, rdp_reg.mux_key0, rdp_reg.mux_key1);
    return keep ? mode : mode | kTextureAlphaOpaque;
}

static bool drawable(const Formula& f) {
    return f.a < in_combined && f.b < in_combined && f.c < in_combined && f.d < in_combined;
}
static bool texel(Input x) { return x == in_texel || x == in_texel_alpha; }
static bool shade(Input x) { return x == in_shade || x == in_shade_alpha; }

// Questions about the formula with its texel inputs taken as `tau` (0 or 1).
static bool zero(Input x, int tau) { return x == in_zero || (tau == 0 && texel(x)); }
static bool product_zero(const Formula& f, int tau) {
    return f.a == f.b || zero(f.c, tau) || (zero(f.a, tau) && zero(f.b, tau));
}
static bool vanishes(const Formula& f, int tau) { return product_zero(f, tau) && zero(f.d, tau); }
// With C at 1 the formula is A - B + D, and just A when B and D name one input.
static bool varies_per_vertex(const Formula& f, int tau) {
    if (product_zero(f, tau)) return shade(f.d);
    if (f.c == in_one || (tau == 1 && texel(f.c)))
        return shade(f.a) || (f.b != f.d && (shade(f.b) || shade(f.d)));
    return shade(f.a) || shade(f.b) || shade(f.c) || shade(f.d);
}
static bool never_negative(const Formula& f, int tau) {
    return product_zero(f, tau) || zero(f.b, tau);
}

bool derive_recipe(uint32_t mux_key0, RecipeSteps& steps) {
    using namespace recipe;
    const CycleFormula f = decode_formula(mux_key0);
    Formula color        = f.color;
    const Formula alpha  = f.alpha;
    if (!drawable(color) || !drawable(alpha)) return false;

    // The texel's alpha only as a factor of the whole alpha; without it, the texture's alpha
    // is made opaque so that it does not scale the vertex alpha.
    const bool texel_alpha = has(alpha, in_texel_alpha);
    if (texel_alpha &&
        (!vanishes(alpha, 0) || (alpha.c == in_texel_alpha && (texel(alpha.a) || texel(alpha.b)))))
        return false;
    uint32_t texels = kTexelSteps | (texel_alpha ? 0 : kTexelAlphaOpaque);

    // The texel times itself (A and C the texel, B 0) is baked into the texture.
    if (color.c == in_texel && (color.a == in_texel || color.b == in_texel)) {
        if (color.a != in_texel || color.b != in_zero) return false;
        color.c = in_one;
        texels |= kTexelSquare;
    }
    const auto mode  = [](uint32_t t) { return m(t == kTexelSteps ? 0 : t); };
    const uint32_t A = DERIVED_ALPHA;

    // A lerp from B to A by the texel's alpha: B is drawn, then A laid over it by that alpha
    // (the texel's colour, or a vertex colour on white texels).
    if (color.c == in_texel_alpha) {
        if (color.b != color.d || texel(color.b)) return false;
        texels = kTexelSteps | (color.a == in_texel ? 0 : kTexelWhite);
        steps  = {D(0, DERIVED_F0 | A, 0), mode(texels), D(1, DERIVED_F1 | A, 0)};
        return true;
    }
    if (!has(color, in_texel)) {
        if (texel_alpha)
            steps = {m(kTexelSteps | kTexelWhite), D(1, DERIVED_F0 | A, 0)};
        else
            steps = {D(0, DERIVED_F0 | A, 0)};
        return true;
    }

    // Otherwise the colour is X x texel + Y, X and Y per vertex.
    if (vanishes(color, 0)) // texture x vertex colour
        steps = {mode(texels), D(1, DERIVED_F1 | A, 0)};
    else if (!varies_per_vertex(color, 1)) // from the vertex colour to a constant
        steps = {mode(texels), D(1, DERIVED_F0 | A | TEXENV_BLEND, 0)};
    else if (!varies_per_vertex(color, 0)) // from a constant: the texel inverted
        steps = {m(texels | kTexelInvert), D(1, DERIVED_F1 | A | TEXENV_BLEND, 0)};
    else if (color.b != in_texel && (color.c != in_texel || color.b == in_zero) &&
             never_negative(color, 0)) // a sum of two products
        steps = {mode(texels), D(0x21, DERIVED_SLOPE | A, DERIVED_F0 | A)};
    else
        return false;
    return true;
}
