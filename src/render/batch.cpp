// The triangle batch and its drawing with OpenGL vertex arrays
#include "render/batch.h"

#include <GL/gl.h>

#include "framebuffer/color_images.h"
#include "geometry/matrix.h"
#include "geometry/vertex.h"
#include "geometry/viewport.h"
#include "render/blender.h"
#include "render/combiner_formula.h"
#include "render/fog.h"
#include "render/texture_units.h"
#include "render/unit_program.h"
#include "state/othermode.h"
#include "state/rdp_reg.h"
#include "texture/texture_cache.h"
#include "texture/tile_commands.h"

ClientArrays client_arrays;
bool flush_has_drawn;
static bool arrays_bound;

// The arrays never move, so OpenGL is told about them once for the life of the library.
static void bind_client_arrays() {
    ClientArrays& a = client_arrays;
    glVertexPointer(3, GL_FLOAT, 0, a.positions);
    glColorPointer(4, GL_FLOAT, 0, a.colors);
    glNormalPointer(GL_FLOAT, 0, a.normals);
    glTexCoordPointer(2, GL_FLOAT, 0, a.texcoords);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    arrays_bound = true;
}

void forget_client_arrays() { arrays_bound = false; }

static void set_texture(bool textured, uint32_t recipe) {
    if (!textured) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    if (recipe & INVERT_TEXTURE) rdp_reg.texture_mode = kTextureModeInvert;
    rdp_reg.texture_mode = formula_texture_mode(rdp_reg.texture_mode);
    bind_texture();
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

// The per-pass constant part of a recipe, hoisted out of the vertex loop.
struct PassFactors {
    float r, g, b, a;
};

static PassFactors constant_factors(uint32_t recipe, bool first_pass) {
    const float* prim = rdp_reg.prim_rgba;
    const float* env  = rdp_reg.env_rgba;
    PassFactors f     = {1.0f, 1.0f, 1.0f, 1.0f};
    if (recipe & MUL_PRIM) f = {prim[0], prim[1], prim[2], 1.0f};
    if (recipe & MUL_ENV) {
        f.r *= env[0];
        f.g *= env[1];
        f.b *= env[2];
    }
    if (recipe & MUL_INV_PRIM) {
        f.r *= 1.0f - prim[0];
        f.g *= 1.0f - prim[1];
        f.b *= 1.0f - prim[2];
    }
    if (recipe & MUL_INV_ENV) {
        f.r *= 1.0f - env[0];
        f.g *= 1.0f - env[1];
        f.b *= 1.0f - env[2];
    }
    if (recipe & ALPHA_PRIM_RED) f.a = prim[0];
    if (recipe & MUL_PRIM_ALPHA) f.a *= prim[3];
    if (recipe & MUL_ENV_ALPHA) f.a *= env[3];
    if (first_pass && (recipe & MUL_INV_PRIM_ALPHA)) f.a *= 1.0f - prim[3];
    if (first_pass && (recipe & MUL_INV_ENV_ALPHA)) f.a *= 1.0f - env[3];
    return f;
}

// Shade colour of a vertex: lit at draw time, or its colour bytes. The colours of the loop
// below are values, not arrays, so that they stay in registers.
struct Rgba {
    float r, g, b, a;
};

static Rgba shade_color(const TransformedVertex& v, const PreparedLights* lights) {
    if (lights) {
        float lit[4];
        light_vertex(*lights, v, lit);
        return {lit[0], lit[1], lit[2], lit[3]};
    }
    return {v.rgba[0] * kInv255, v.rgba[1] * kInv255, v.rgba[2] * kInv255, 1.0f};
}

// x *= h + k * (k - h), h the shade byte and k the constant colour's byte.
static float lerp_channel(float x, uint8_t shade, uint32_t color, int shift) {
    const float h = shade * kInv255;
    const float k = static_cast<float>((color >> shift) & 0xFF) * kInv255;
    return x * (h + k * (k - h));
}

static Rgba lerp_with_color(Rgba c, const TransformedVertex& v, uint32_t color) {
    return {lerp_channel(c.r, v.rgba[0], color, 24), lerp_channel(c.g, v.rgba[1], color, 16),
            lerp_channel(c.b, v.rgba[2], color, 8), c.a};
}

// A derived recipe's colour: the formula with the texel inputs 0 or 1 (or the difference),
// and the alpha formula with the texel's alpha 1.
static Rgba derived_color(Rgba c, const CycleFormula& f, uint32_t recipe, const Rgba& s,
                          float shade_alpha) {
    const float shade[4]  = {s.r, s.g, s.b, shade_alpha};
    const uint32_t colour = recipe & DERIVED_SLOPE;
    float out[4]          = {c.r, c.g, c.b, c.a};
    float in[kInputValues];
    for (int ch = 0; ch < 3 && colour; ++ch) {
        formula_inputs(in, ch, shade, colour == DERIVED_F0 ? 0.0f : 1.0f);
        out[ch] = evaluate(f.color, in);
        if (colour != DERIVED_SLOPE) continue;
        formula_inputs(in, ch, shade, 0.0f);
        out[ch] -= evaluate(f.color, in);
    }
    if (recipe & DERIVED_ALPHA) {
        formula_inputs(in, 3, shade, 1.0f);
        out[3] = evaluate(f.alpha, in);
    }
    return {out[0], out[1], out[2], out[3]};
}

// GL_BLEND lerps from the vertex colour (the formula at one end) to the constant colour K by
// the texel; K is the formula at the other end, which no shade enters.
static void begin_blend_environment(uint32_t recipe) {
    const CycleFormula f = decode_formula(rdp_reg.mux_key0);
    const float none[4]  = {0, 0, 0, 0};
    float k[4]           = {0, 0, 0, 1};
    float in[kInputValues];
    for (int ch = 0; ch < 3; ++ch) {
        formula_inputs(in, ch, none, (recipe & DERIVED_F1) ? 0.0f : 1.0f);
        k[ch] = evaluate(f.color, in);
    }
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, k);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
}

// The texture units of a TEXEL_UNITS draw, built from the keys in force.
static UnitProgram unit_program;

// The vertex colour of a TEXEL_UNITS draw: what the units read as the primary colour (the
// shade, its alpha or 1), with its constant values taken once per pass.
struct UnitPrimary {
    Input color, alpha;
    float constant[4];
};

static UnitPrimary unit_primary_of(const UnitProgram& p) {
    UnitPrimary u       = {p.primary_color, p.primary_alpha, {}};
    const float none[4] = {0, 0, 0, 0};
    float in[kInputValues];
    for (int ch = 0; ch < 4; ++ch) {
        formula_inputs(in, ch, none, 0.0f);
        u.constant[ch] = in[ch < 3 ? u.color : u.alpha];
    }
    return u;
}

static Rgba unit_primary(const UnitPrimary& u, const TransformedVertex& v,
                         const PreparedLights* lights, float shade_alpha) {
    Rgba c = {u.constant[0], u.constant[1], u.constant[2], u.constant[3]};
    if (u.color == in_shade) {
        const Rgba s = shade_color(v, lights);
        c            = {s.r, s.g, s.b, c.a};
    }
    if (u.color == in_shade_alpha) c.r = c.g = c.b = shade_alpha;
    if (u.alpha == in_shade_alpha) c.a = shade_alpha;
    return c;
}

static const TransformedVertex& batch_vertex(const uint32_t* indices, int i) {
    return rdp_reg.vtx[indices[i] % kVertexCount];
}

// The triangles of a draw that cover pixels, and per corner what fog needs of it.
struct DrawnTriangles {
    uint32_t indices[kBatchRoom];
    int count;
    bool fogged;                  // G_FOG: shade alpha is the fog factor
    float fog_alpha[kBatchRoom];  // the factor per corner, 0..255
    FogMix mix;                   // what the blender's first cycle mixes in
    float fog_weight[kBatchRoom]; // the fog colour's weight per corner, 0..1
};
static DrawnTriangles drawn;

struct ClipCorner {
    float x, y, z, w;
};

static ClipCorner to_clip(const Matrix4& C, const TransformedVertex& v) {
    const float* m = C.m;
    return {v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12],
            v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13],
            v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14],
            v.x * m[3] + v.y * m[7] + v.z * m[11] + m[15]};
}

// A triangle whose corners fall on one line of the window covers no pixel, and llvmpipe drops
// every triangle of a draw that such a one ends. The corners (x, y, w) are homogeneous window
// points: on one line when their determinant vanishes. Measured against the corners' lengths,
// the test holds for any w; 10^-6 is well above the rounding of collinear corners and well
// below the smallest triangle that covers a pixel centre.
static bool covers_area(const ClipCorner& a, const ClipCorner& b, const ClipCorner& c) {
    const double ax = a.x, ay = a.y, aw = a.w, bx = b.x, by = b.y, bw = b.w;
    const double cx = c.x, cy = c.y, cw = c.w;
    const double det =
        ax * (by * cw - bw * cy) - ay * (bx * cw - bw * cx) + aw * (bx * cy - by * cx);
    const double lengths = (ax * ax + ay * ay + aw * aw) * (bx * bx + by * by + bw * bw) *
                           (cx * cx + cy * cy + cw * cw);
    return det * det > 1e-12 * lengths;
}

// Keeps the batch's triangles that cover an area, in their order, with their fog factors.
static void select_drawn(const uint32_t* indices, int count) {
    const Matrix4 C   = gl_clip_matrix();
    drawn.fogged      = rdp_reg.geometry_mode & kGeometryFog;
    drawn.mix         = fog_mix(rdp_reg.othermode_l, rdp_reg.cycle_type);
    const float fog_a = static_cast<float>(rdp_reg.fog_color & 0xFF) * kInv255;
    drawn.count       = 0;
    for (int t = 0; t + 3 <= count; t += 3) {
        ClipCorner k[3];
        for (int j = 0; j < 3; ++j)
            k[j] = to_clip(C, batch_vertex(indices, t + j));
        if (!covers_area(k[0], k[1], k[2])) continue;
        for (int j = 0; j < 3; ++j) {
            const int i         = drawn.count + j;
            drawn.indices[i]    = indices[t + j];
            const float alpha   = drawn.fogged ? fog_factor(k[j].z, k[j].w, rdp_reg.fog_factors)
                                               : batch_vertex(indices, t + j).rgba[3];
            drawn.fog_alpha[i]  = alpha;
            drawn.fog_weight[i] = drawn.mix == FogMix::fog_alpha ? fog_a : alpha * kInv255;
        }
        drawn.count += 3;
    }
}

// The shade alpha of drawn corner i: the fog factor with G_FOG, else the vertex's alpha byte.
static float shade_alpha(int i) { return drawn.fog_alpha[i] * kInv255; }

static void write_colors(const uint32_t* indices, int count, uint32_t recipe, bool first_pass) {
    const PassFactors f = constant_factors(recipe, first_pass);
    const bool lighting = rdp_reg.geometry_mode & kGeometryLighting;
    // The light directions are the same for every vertex of the pass: normalised once here.
    PreparedLights prepared;
    const PreparedLights* lights = nullptr;
    if (lighting &&
        (recipe & (MUL_SHADE | MUL_INV_SHADE | DERIVED_SLOPE | DERIVED_ALPHA | TEXEL_UNITS))) {
        prepare_lights(prepared);
        lights = &prepared;
    }
    const bool derived         = recipe & (DERIVED_SLOPE | DERIVED_ALPHA);
    const CycleFormula formula = derived ? decode_formula(rdp_reg.mux_key0) : CycleFormula{};
    const UnitPrimary primary =
        (recipe & TEXEL_UNITS) ? unit_primary_of(unit_program) : UnitPrimary{};
    for (int i = 0; i < count; ++i) {
        const TransformedVertex& v = batch_vertex(indices, i);
        Rgba c                     = {f.r, f.g, f.b, f.a};
        if (recipe & MUL_SHADE) {
            const Rgba s = shade_color(v, lights);
            c            = {c.r * s.r, c.g * s.g, c.b * s.b, c.a};
        }
        if (recipe & MUL_INV_SHADE) {
            const Rgba s = shade_color(v, lights);
            c            = {c.r * (1.0f - s.r), c.g * (1.0f - s.g), c.b * (1.0f - s.b), c.a};
        }
        if (recipe & LERP_SHADE_ENV) c = lerp_with_color(c, v, rdp_reg.env_color);
        if (recipe & LERP_SHADE_PRIM) c = lerp_with_color(c, v, rdp_reg.prim_color);
        if ((recipe & MUL_SHADE_ALPHA) && lighting) c.a *= shade_alpha(i);
        if (derived) c = derived_color(c, formula, recipe, shade_color(v, lights), shade_alpha(i));
        if (recipe & TEXEL_UNITS) c = unit_primary(primary, v, lights, shade_alpha(i));
        float* out = client_arrays.colors[i];
        out[0]     = c.r;
        out[1]     = c.g;
        out[2]     = c.b;
        out[3]     = c.a;
    }
}

// Positions and texture coordinates (tile 1's too for a draw of two textures, from its own
// corner), written by the first pass only.
static void write_geometry(const uint32_t* indices, int count, bool second_texture) {
    const bool generated         = rdp_reg.geometry_mode & kGeometryTextureGen;
    const TileCoordFactorPair f  = generated ? generated_coord_factors() : TileCoordFactor[0];
    const TileCoordFactorPair f1 = generated ? generated_coord_factors(1) : draw_coord_factors(1);
    for (int i = 0; i < count; ++i) {
        const TransformedVertex& v = batch_vertex(indices, i);
        float* p                   = client_arrays.positions[i];
        p[0]                       = v.x;
        p[1]                       = v.y;
        p[2]                       = v.z;
        float* st                  = client_arrays.texcoords[i];
        st[0]                      = v.s * f.s - f.s_corner;
        st[1]                      = v.t * f.t - f.t_corner;
        if (!second_texture) continue;
        client_arrays.texcoords1[i][0] = v.s * f1.s - f1.s_corner;
        client_arrays.texcoords1[i][1] = v.t * f1.t - f1.t_corner;
    }
}

// Where fog is drawn as a pass, the pass follows the last draw of the flush, over the sum of
// its draws; draw_passes leaves word of it here.
static bool fog_pass_pending;
static bool fog_pass_textured;

static void draw_passes(const uint32_t* batch_indices, uint32_t passes, uint32_t recipe1,
                        uint32_t recipe2) {
    rdp_reg.current_tile_index = 0;
    rdp_reg.current_tile       = 0;
    if (!arrays_bound) bind_client_arrays();

    int batch_count = rdp_reg.batch.count;
    if (batch_count < 0) batch_count = 0;
    if (batch_count > kBatchRoom) batch_count = kBatchRoom;
    select_drawn(batch_indices, batch_count);
    const uint32_t* indices = drawn.indices;
    const int count         = drawn.count;
    if (count == 0) return;
    const bool fog         = drawn.mix != FogMix::none;
    const bool coordinates = fog && fog_draw == FogDraw::coordinate;
    fog_pass_pending       = fog && !coordinates;

    // A later textured draw of a flush lays its texels over what the first drew: where the
    // blender writes the surface as it is, the console's combiner lerps them per pixel before,
    // so here that draw still blends, by the texel's alpha alone.
    SurfaceBlend surface = current_surface_blend();
    const bool opaque    = !surface.blend;
    const bool laid_over = opaque && flush_has_drawn && (passes & 1);
    if (laid_over) surface = {true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 0.0f, surface.cut};
    // Two textures where the units can combine the keys' formula, else the plain texture.
    const bool units = (recipe1 & TEXEL_UNITS) &&
                       build_unit_program(rdp_reg.cycle_type, rdp_reg.mux_key0, rdp_reg.mux_key1,
                                          texture_units, unit_program);
    if (!units) recipe1 &= ~TEXEL_UNITS;
    if (!units) set_texture(passes & 1, recipe1);
    write_colors(indices, count, laid_over ? recipe1 & ~kAlphaRecipeBits : recipe1, true);
    write_geometry(indices, count, units);
    if (units)
        begin_unit_program(unit_program, client_arrays.texcoords[0], client_arrays.texcoords1[0]);
    begin_surface(surface);
    if (recipe1 & TEXENV_BLEND) begin_blend_environment(recipe1);
    if (coordinates) begin_fog(drawn.fog_weight, false);
    glDrawArrays(GL_TRIANGLES, 0, count);
    if (recipe1 & TEXENV_BLEND) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    end_surface(surface);
    if (units) end_unit_program(unit_program, client_arrays.texcoords[0]);
    fog_pass_textured = (passes & 1) && !units;

    if ((passes >> 4) != 0) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        // A derived sum adds its second product whole on an opaque surface.
        set_texture(passes & 2, recipe2);
        write_colors(indices, count, opaque ? recipe2 & ~DERIVED_ALPHA : recipe2, false);
        if (coordinates) begin_fog(drawn.fog_weight, true);
        glDrawArrays(GL_TRIANGLES, 0, count);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        fog_pass_textured = passes & 2;
    }
    if (coordinates) end_fog();
    glDisable(GL_TEXTURE_2D);
}

void draw_batch(const uint32_t* indices, uint32_t passes, uint32_t recipe1, uint32_t recipe2) {
    note_drawing();
    float projection[16];
    begin_wide_projection(projection);
    draw_passes(indices, passes, recipe1, recipe2);
    end_wide_projection(projection);
}

void lay_fog_over_flush() {
    if (!fog_pass_pending) return;
    fog_pass_pending = false;
    float projection[16];
    begin_wide_projection(projection);
    draw_fog_pass(drawn.fog_weight, drawn.count, fog_pass_textured);
    end_wide_projection(projection);
}
