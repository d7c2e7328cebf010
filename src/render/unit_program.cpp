// The combiner's cycles as a chain of texture units in the combine environment
#include "render/unit_program.h"

#include <GL/gl.h>

#include "state/rdp_reg.h"
#include "texture/texel_convert.h"
#include "texture/texture_cache.h"

namespace {

bool is_texel(Input x) {
    return x == in_texel || x == in_texel_alpha || x == in_texel1 || x == in_texel1_alpha;
}
bool is_vertex(Input x) { return x == in_shade || x == in_shade_alpha; }
int texel_tile(Input x) { return x == in_texel1 || x == in_texel1_alpha ? 1 : 0; }

// A channel's steps as they are built, and the one vertex input its steps may read.
struct Chain {
    bool alpha; // the alpha channel: every operand is an alpha
    int count;
    UnitStep step[kMaxCombineUnits];
    Input primary;
};

// The operand an input gives in a step whose texture is `tile`; false when the step would
// need a second constant, a second vertex input or a texture of another tile.
bool operand(Chain& chain, UnitStep& s, Input x, UnitArg& arg) {
    const bool alpha_view = chain.alpha || x == in_texel_alpha || x == in_texel1_alpha;
    if (x == in_combined) {
        arg = {UnitSource::previous, chain.alpha};
        return chain.count > 0;
    }
    if (is_texel(x)) {
        if (s.tile >= 0 && s.tile != texel_tile(x)) return false;
        s.tile = static_cast<int8_t>(texel_tile(x));
        arg    = {UnitSource::texture, alpha_view};
        return true;
    }
    if (is_vertex(x)) {
        if (chain.primary != in_one && chain.primary != x) return false;
        chain.primary = x;
        arg           = {UnitSource::primary, chain.alpha};
        return true;
    }
    if (x >= in_combined) return false;
    if (s.constant != in_other && s.constant != x) return false;
    s.constant = x;
    arg        = {UnitSource::constant, chain.alpha};
    return true;
}

bool push(Chain& chain, const UnitStep& s, const char** why) {
    *why = "more steps than units";
    if (chain.count == kMaxCombineUnits) return false;
    chain.step[chain.count++] = s;
    return true;
}

// One cycle's (A - B) x C + D as a unit function, the cheapest exact reading first: D alone, a
// product, A alone (a product by 1), a sum, the previous result plus a texel times a constant
// (the constant baked into the texture), and a lerp from B to A by C only where B and D name
// one input. A step whose inputs sample both tiles first takes one of them into a step of its
// own and reads it as the previous result.
bool add_cycle(Chain& chain, const Formula& f, const char** why) {
    UnitOp op;
    Input in[3];
    int n = 2;
    if (f.a == in_zero && f.b == in_zero && f.c == in_zero) {
        op = UnitOp::replace, in[0] = f.d, n = 1;
    } else if (f.b == in_zero && f.d == in_zero && (f.a == in_one || f.c == in_one)) {
        op = UnitOp::replace, in[0] = f.a == in_one ? f.c : f.a, n = 1;
    } else if (f.b == in_zero && f.d == in_zero) {
        op = UnitOp::modulate, in[0] = f.a, in[1] = f.c;
    } else if (f.b == in_zero && f.c == in_one) {
        op = UnitOp::add, in[0] = f.a, in[1] = f.d;
    } else if (f.b == in_zero && f.d == in_combined && is_texel(f.a) && !is_texel(f.c) &&
               !is_vertex(f.c) && f.c < in_combined) {
        UnitStep s = {UnitOp::add, {}, -1, true, f.c};
        *why       = "a second constant, vertex input or tile in one step";
        return operand(chain, s, f.d, s.arg[0]) && operand(chain, s, f.a, s.arg[1]) &&
               push(chain, s, why);
    } else if (f.b == f.d) {
        op = UnitOp::interpolate, in[0] = f.a, in[1] = f.b, in[2] = f.c, n = 3;
    } else {
        *why = "(A - B) x C + D with B not D: no unit function";
        return false;
    }

    // Both tiles in one step: the first tile's texel goes ahead on its own.
    int tiles = 0, first = -1;
    Input first_input = in_zero;
    for (int i = 0; i < n; ++i)
        if (is_texel(in[i]) && texel_tile(in[i]) != first) {
            if (first < 0) first = texel_tile(in[i]), first_input = in[i];
            ++tiles;
        }
    *why = "both tiles and the previous result in one step";
    if (tiles > 1) {
        for (int i = 0; i < n; ++i)
            if (is_texel(in[i]) && texel_tile(in[i]) == first && in[i] != first_input) return false;
        if (chain.count > 0) return false; // the previous result is taken already
        UnitStep ahead = {UnitOp::replace, {}, -1, false, in_other};
        if (!operand(chain, ahead, first_input, ahead.arg[0]) || !push(chain, ahead, why))
            return false;
        for (int i = 0; i < n; ++i)
            if (in[i] == first_input) in[i] = in_combined;
    }
    UnitStep s = {op, {}, -1, false, in_other};
    *why       = "a second constant, vertex input or tile in one step, or an input no unit has";
    for (int i = 0; i < n; ++i)
        if (!operand(chain, s, in[i], s.arg[i])) return false;
    return push(chain, s, why);
}

bool build_chain(Chain& chain, const Formula& first, const Formula* second, const char** why) {
    *why = "the combined colour, noise or K4/K5 in the first cycle";
    if (first.a == in_combined || first.b == in_combined || first.c == in_combined ||
        first.d == in_combined)
        return false;
    if (!add_cycle(chain, first, why)) return false;
    return !second || passes_on(*second) || add_cycle(chain, *second, why);
}

const UnitStep kPassOn = {UnitOp::replace, {{UnitSource::previous, false}}, -1, false, in_other};

UnitStep step_at(const Chain& chain, int offset, int i) {
    if (i < offset || i >= offset + chain.count) {
        UnitStep s     = kPassOn;
        s.arg[0].alpha = chain.alpha;
        return s;
    }
    return chain.step[i - offset];
}

// Two steps share a unit when they sample the same tile, scaled alike.
bool fit(const UnitStep& c, const UnitStep& a, UnitStage& stage) {
    if (c.tile >= 0 && a.tile >= 0 && (c.tile != a.tile || c.scaled != a.scaled)) return false;
    stage.tile   = static_cast<int8_t>(c.tile >= 0 ? c.tile : (a.tile >= 0 ? a.tile : 0));
    stage.scaled = c.scaled || a.scaled;
    stage.color  = c;
    stage.alpha  = a;
    return true;
}

// The two chains side by side in as few units as they fit, each starting where it may.
bool zip(const Chain& color, const Chain& alpha, int units, UnitProgram& p, const char** why) {
    *why              = "more units than the context has, or colour and alpha sample apart";
    const int longest = color.count > alpha.count ? color.count : alpha.count;
    for (int n = longest; n <= units; ++n)
        for (int oc = 0; oc + color.count <= n; ++oc)
            for (int oa = 0; oa + alpha.count <= n; ++oa) {
                bool ok = true;
                for (int i = 0; i < n && ok; ++i)
                    ok = fit(step_at(color, oc, i), step_at(alpha, oa, i), p.stage[i]);
                if (!ok) continue;
                p.stages        = n;
                p.primary_color = color.primary;
                p.primary_alpha = alpha.primary;
                return true;
            }
    return false;
}

} // namespace

static bool has_second(const CycleFormula& f) {
    const Input all[] = {f.color.a, f.color.b, f.color.c, f.color.d,
                         f.alpha.a, f.alpha.b, f.alpha.c, f.alpha.d};
    for (Input x : all)
        if (x == in_texel1 || x == in_texel1_alpha) return true;
    return false;
}

// Read as a first cycle, a key names TEXEL1 where its formula has the second texel.
bool reads_second_texture(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1) {
    if (cycle_type > 1) return false;
    if (has_second(decode_formula(mux_key0, TexelReading::first_cycle))) return true;
    return cycle_type == 1 && has_second(decode_formula(mux_key1, TexelReading::first_cycle));
}

bool build_unit_program(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1, int units,
                        UnitProgram& program, const char** why) {
    const char* reason = nullptr;
    if (!why) why = &reason;
    *why = "copy and fill modes";
    if (cycle_type > 1) return false;
    // The second cycle's TEXEL0 samples tile 1 only where the keys name TEXEL1 at all.
    const bool two_textures = reads_second_texture(cycle_type, mux_key0, mux_key1);
    const CycleFormula first =
        decode_formula(mux_key0, two_textures ? TexelReading::first_cycle : TexelReading::one);
    const CycleFormula second =
        decode_formula(mux_key1, two_textures ? TexelReading::second_cycle : TexelReading::one);
    const bool two = cycle_type == 1;
    Chain color = {false, 0, {}, in_one}, alpha = {true, 0, {}, in_one};
    return build_chain(color, first.color, two ? &second.color : nullptr, why) &&
           build_chain(alpha, first.alpha, two ? &second.alpha : nullptr, why) &&
           zip(color, alpha, units, program, why);
}

// The combine environment's names (OpenGL 1.3); the Windows headers stop at 1.1.
#ifndef GL_COMBINE
#define GL_COMBINE 0x8570
#define GL_COMBINE_RGB 0x8571
#define GL_COMBINE_ALPHA 0x8572
#define GL_INTERPOLATE 0x8575
#define GL_CONSTANT 0x8576
#define GL_PRIMARY_COLOR 0x8577
#define GL_PREVIOUS 0x8578
#define GL_SOURCE0_RGB 0x8580
#define GL_SOURCE0_ALPHA 0x8588
#define GL_OPERAND0_RGB 0x8590
#define GL_OPERAND0_ALPHA 0x8598
#endif

static GLint combine_function(UnitOp op) {
    switch (op) {
    case UnitOp::replace: return GL_REPLACE;
    case UnitOp::modulate: return GL_MODULATE;
    case UnitOp::add: return GL_ADD;
    default: return GL_INTERPOLATE;
    }
}

static GLint combine_source(UnitSource s) {
    switch (s) {
    case UnitSource::texture: return GL_TEXTURE;
    case UnitSource::previous: return GL_PREVIOUS;
    case UnitSource::primary: return GL_PRIMARY_COLOR;
    default: return GL_CONSTANT;
    }
}

// One channel's function and arguments; `alpha` picks the alpha function's names.
static void set_step(const UnitStep& s, bool alpha) {
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, combine_function(s.op));
    const GLenum source  = alpha ? GL_SOURCE0_ALPHA : GL_SOURCE0_RGB;
    const GLenum operand = alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB;
    for (int i = 0; i < 3; ++i) {
        glTexEnvi(GL_TEXTURE_ENV, source + i, combine_source(s.arg[i].source));
        // The alpha function takes alphas only.
        glTexEnvi(GL_TEXTURE_ENV, operand + i,
                  alpha || s.arg[i].alpha ? GL_SRC_ALPHA : GL_SRC_COLOR);
    }
}

// The value an input stands for in colour channel ch (3 the alpha), for constants.
static float constant_value(Input x, int ch) {
    if (x >= in_combined) return 0.0f;
    float in[kInputValues];
    const float none[4] = {0, 0, 0, 0};
    formula_inputs(in, ch, none, 0.0f);
    return in[x];
}

static uint8_t byte_of(float v) {
    return static_cast<uint8_t>(v <= 0.0f ? 0 : v >= 1.0f ? 255 : v * 255.0f + 0.5f);
}

void begin_unit_program(const UnitProgram& p, const float* texcoords0, const float* texcoords1) {
    uint32_t previous = 0; // the texture name the unit before bound
    for (int i = 0; i < p.stages; ++i) {
        const UnitStage& st = p.stage[i];
        select_texture_unit(i);
        // An added texel times a constant has the constant baked into its texture.
        rdp_reg.texture_mode  = st.scaled ? kTexelSteps | kTexelScale : 0;
        rdp_reg.texture_color = 0;
        if (st.scaled) {
            const bool c = st.color.scaled, a = st.alpha.scaled;
            for (int ch = 0; ch < 4; ++ch) {
                const UnitStep& s = ch < 3 ? st.color : st.alpha;
                const uint32_t b = (ch < 3 ? c : a) ? byte_of(constant_value(s.constant, ch)) : 255;
                rdp_reg.texture_color |= b << (24 - 8 * ch);
            }
        }
        const bool samples = st.color.tile >= 0 || st.alpha.tile >= 0;
        if (i > 0 && !samples)
            glBindTexture(GL_TEXTURE_2D, previous);
        else
            previous = bind_texture(static_cast<uint32_t>(st.tile)) ? bound_texture_name : 0;
        glEnable(GL_TEXTURE_2D);
        // Coordinates only where the unit samples.
        if (samples) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, st.tile == 1 ? texcoords1 : texcoords0);
        } else if (i > 0) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        set_step(st.color, false);
        set_step(st.alpha, true);
        const float k[4] = {
            constant_value(st.color.constant, 0), constant_value(st.color.constant, 1),
            constant_value(st.color.constant, 2), constant_value(st.alpha.constant, 3)};
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, k);
    }
    rdp_reg.texture_mode  = 0;
    rdp_reg.texture_color = 0;
    select_texture_unit(0);
}

void end_unit_program(const UnitProgram& p, const float* texcoords0) {
    for (int i = p.stages - 1; i >= 1; --i) {
        select_texture_unit(i);
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    select_texture_unit(0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords0);
}
