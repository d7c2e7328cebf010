// The colour combiner: SETCOMBINE keys, and the batch the display list fills and flushes with
// the recipe each flush is drawn with
#include "render/combiner.h"

#include "render/batch.h"
#include "render/combiner_fields.h"
#include "render/gl_idle.h"
#include "render/recipe_table.h"
#include "state/bits.h"
#include "state/rdp_reg.h"

BatchDrawer batch_drawer = draw_batch;

// 0xFC
void rdp_set_combine() {
    const uint32_t w0    = rdp_reg.cmd0;
    const uint32_t w1    = rdp_reg.cmd1;
    CombinerSelectors& s = rdp_reg.combine;
    s.a0                 = cc_a0(w0);
    s.b0                 = cc_b0(w1);
    s.c0                 = cc_c0(w0);
    s.d0                 = cc_d0(w1);
    s.Aa0                = ac_a0(w0);
    s.Ab0                = ac_b0(w1);
    s.Ac0                = ac_c0(w0);
    s.Ad0                = ac_d0(w1);
    s.a1                 = cc_a1(w0);
    s.b1                 = cc_b1(w1);
    s.c1                 = cc_c1(w0);
    s.d1                 = cc_d1(w1);
    s.Aa1                = ac_a1(w1);
    s.Ab1                = ac_b1(w1);
    s.Ac1                = ac_c1(w1);
    s.Ad1                = ac_d1(w1);
    rdp_reg.mux_key0     = pack_mux_key(s.a0, s.b0, s.c0, s.d0, s.Aa0, s.Ab0, s.Ac0, s.Ad0);
    rdp_reg.mux_key1     = pack_mux_key(s.a1, s.b1, s.c1, s.d1, s.Aa1, s.Ab1, s.Ac1, s.Ad1);
}

static uint32_t recipe_color(uint32_t which) {
    switch (which) {
    case color_prim: return rdp_reg.prim_color;
    case color_env: return rdp_reg.env_color;
    default: return rdp_reg.prim_color ^ rdp_reg.env_color;
    }
}

// The steps run left to right; an m= or c= holds until the next one, or until a texture
// cache miss clears both after building its texture.
void flush_batch(const uint32_t* indices) {
    const GlIdleCheck idle("flush_batch");
    rdp_reg.texture_mode  = 0;
    rdp_reg.texture_color = 0;
    const RecipeSteps& steps =
        select_recipe(rdp_reg.cycle_type, rdp_reg.mux_key0, rdp_reg.mux_key1);
    for (const RecipeAction& step : steps.actions) {
        if (step.op == RecipeOp::end) break;
        if (step.op == RecipeOp::set_mode) rdp_reg.texture_mode = step.a;
        if (step.op == RecipeOp::set_color) rdp_reg.texture_color = recipe_color(step.a);
        if (step.op == RecipeOp::draw) {
            batch_drawer(indices, step.a, step.b, step.c);
            flush_has_drawn = true;
        }
    }
    flush_has_drawn = false;
    lay_fog_over_flush();
}

// A triangle that names one vertex twice covers no pixel; games pad TRI2 pairs with (i, i, i).
// It stays out of the batch: llvmpipe draws nothing of a three-triangle draw whose last
// triangle is a point.
void add_triangle(uint32_t i0, uint32_t i1, uint32_t i2) {
    if (i0 == i1 || i1 == i2 || i0 == i2) return;
    TriangleBatch& b = rdp_reg.batch;
    if (b.count + 3 > kBatchRoom) {
        flush_batch(b.indices);
        b.count = 0;
    }
    b.indices[b.count]     = i0;
    b.indices[b.count + 1] = i1;
    b.indices[b.count + 2] = i2;
    b.count += 3;
}
