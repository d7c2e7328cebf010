// draw_batch per vertex for the colour recipes (recipe 0, shade, lit shade, two passes, two
// textures in texture units, fogged), with the OpenGL draw of the same arrays in the same state
// counted apart; the textured cases also with the disc in view, where llvmpipe shades fragments
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "geometry/vertex.h"
#include "render/batch.h"
#include "render/texture_units.h"
#include "render/unit_program.h"

namespace {

constexpr uint32_t kVertices   = 0x110000;
constexpr uint32_t kLights     = 0x120000;
constexpr uint32_t kTexels     = 0x130000;
constexpr uint32_t kTexels1    = 0x138000;
constexpr uint32_t kModelView  = 0x140000;
constexpr int kTriangles       = kBatchRoom / 3; // a full batch: 114 triangles
constexpr int kBatchVertices   = 3 * kTriangles;
constexpr uint32_t kTwoPass    = 0x22; // second pass textured, added onto the first
constexpr uint32_t kTextured   = 0x1;
constexpr uint32_t kUntextured = 0x0;

struct DrawCase {
    const char* name;
    uint32_t passes, recipe1, recipe2;
    bool lighting;
    uint32_t lights;
    // The combiner of a TEXEL_UNITS draw: the terrain's lerp from tile 0 to tile 1 by the
    // environment alpha, times the shade.
    uint32_t cycle_type = 0, key0 = 0, key1 = 0;
    bool fog       = false; // G_FOG and the blender's fog cycle
    bool on_screen = false; // the disc in the middle of the view: its fragments are shaded
};

const DrawCase kCases[] = {
    {"recipe0", kUntextured, 0, 0, false, 0},
    {"recipe0_textured", kTextured, 0, 0, false, 0},
    {"shade", kUntextured, MUL_SHADE, 0, false, 0},
    {"lit_shade_1_light", kUntextured, MUL_SHADE, 0, true, 1},
    {"lit_shade_3_lights", kUntextured, MUL_SHADE, 0, true, 3},
    {"two_pass_lit", kTwoPass, MUL_SHADE, MUL_PRIM | MUL_PRIM_ALPHA, true, 1},
    {"two_textures", kTextured, TEXEL_UNITS, 0, false, 0, 1, 0x34A2C12, 0x1FFE4F0},
    {"recipe0_textured_fog", kTextured, 0, 0, false, 0, 0, 0, 0, true},
    {"shade_fog", kUntextured, MUL_SHADE, 0, false, 0, 0, 0, 0, true},
    {"recipe0_textured_on_screen", kTextured, 0, 0, false, 0, 0, 0, 0, false, true},
    {"two_textures_on_screen", kTextured, TEXEL_UNITS, 0, false, 0, 1, 0x34A2C12, 0x1FFE4F0, false,
     true},
};

// The disc in view: the same 31 vertices in slots 32 to 62, under the identity model-view.
constexpr uint32_t kOnScreenSlot = 32;
uint32_t on_screen_indices[kBatchRoom];

// Fogged cases against their plain recipe, measured in the same run.
const char* const kFogPairs[][2] = {{"recipe0_textured_fog", "recipe0_textured"},
                                    {"shade_fog", "shade"}};

// 31 vertices on a small disc (clipped, not rasterised, so that rasterising stays out of the
// OpenGL figure), normals around a hemisphere, a 64 x 64 16-bit tile 0 and
// another as tile 1 (shift 1).
void prepare() {
    Console& c = bench::console();
    for (uint32_t i = 0; i < 16; ++i) {
        const float a = 0.41f * float(i);
        uc0::write_vertex(c, kVertices + 16 * i, int16_t(8 * std::cos(a)), int16_t(8 * std::sin(a)),
                          int16_t(-100 - int(i)), int16_t(i * 64), int16_t(i * 32),
                          uint8_t(int8_t(90 * std::cos(a))), uint8_t(int8_t(90 * std::sin(a))),
                          uint8_t(int8_t(60)), uint8_t(200 + i));
    }
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_light(c, kLights + 16 * i, uint8_t(200 - 40 * i), 180, uint8_t(60 * i), -60,
                         int8_t(70 - 40 * i), 80);
    for (uint32_t i = 0; i < 64 * 64 * 2; ++i) {
        c.write_u8(kTexels + i, uint8_t(i * 37 + 11));
        c.write_u8(kTexels1 + i, uint8_t(i * 53 + 7));
    }

    // The disc moved just past the right edge of the view: its triangles keep their area (the
    // draw leaves out those without) while clipping, not rasterising, is OpenGL's work. Under
    // the zero matrices the stack starts with, every vertex would sit at the origin.
    // The disc in view first, kept in slots 32 to 62 (a vertex command loads 0 to 15 only).
    uc0::write_matrix(c, kModelView + 64, uc0::identity());
    for (Command k : {uc0::matrix(uc0::kLoad, kModelView + 64), uc0::vertex(0, 16, kVertices),
                      uc0::vertex(15, 16, kVertices)})
        bench::run_command(k);
    for (uint32_t i = 0; i < 31; ++i)
        rdp_reg.vtx[kOnScreenSlot + i] = rdp_reg.vtx[i];
    uc0::write_matrix(c, kModelView, uc0::translation(80, 0, 0));
    for (Command k :
         {uc0::matrix(uc0::kLoad, kModelView), uc0::vertex(0, 16, kVertices),
          uc0::vertex(15, 16, kVertices), cmd::set_prim_color(0xC0A08080),
          cmd::set_env_color(0x4080C0FF), tex::set_texture_image(tex::rgba, tex::b16, 64, kTexels),
          tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64 * 64),
          tex::set_tile(0, tex::rgba, tex::b16, 16, 0), tex::set_tile_size(0, 0, 0, 64, 64),
          tex::set_texture_image(tex::rgba, tex::b16, 64, kTexels1),
          tex::set_tile(7, tex::rgba, tex::b16, 0, 0x100), tex::load_block(7, 0, 0, 64 * 64),
          tex::set_tile(1, tex::rgba, tex::b16, 16, 0x100, 0, {0, 0, 0, 1}, {0, 0, 0, 1}),
          tex::set_tile_size(1, 0, 0, 64, 64), cmd::set_env_color(0x4080C080),
          uc0::texture(0, 1, 0xFFFF, 0xFFFF)})
        bench::run_command(k);
    for (int i = 0; i < kBatchVertices; ++i) {
        rdp_reg.batch.indices[i] = uint32_t(i * 7 + i / 3) % 31;
        on_screen_indices[i]     = rdp_reg.batch.indices[i] + kOnScreenSlot;
    }
    rdp_reg.batch.count = kBatchVertices;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-32, 32, -24, 24, 50, 500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST); // every fragment of the disc in view is shaded
}

const uint32_t* indices_of(const DrawCase& d) {
    return d.on_screen ? on_screen_indices : rdp_reg.batch.indices;
}

// Fog from depth 700 to 1000 of the 0..1000 scale, mixed in by the first of two cycles.
void set_lights(const DrawCase& d) {
    rdp_reg.cycle_type    = static_cast<uint8_t>(d.fog ? 1 : d.cycle_type);
    rdp_reg.mux_key0      = d.key0;
    rdp_reg.mux_key1      = d.key1;
    rdp_reg.geometry_mode = (d.lighting ? kGeometryLighting : 0) | (d.fog ? kGeometryFog : 0);
    rdp_reg.othermode_l   = d.fog ? 0xC8112078 : 0;
    rdp_reg.fog_factors   = 0x01AAFF56;
    rdp_reg.fog_color     = 0x3C506EFF;
    bench::run_command(uc0::num_lights(d.lights));
    for (uint32_t i = 0; i <= d.lights; ++i)
        bench::run_command(uc0::light(i, kLights + 16 * i));
}

// Batches per iteration, then a glFinish so that every batch is also rasterised.
constexpr int kBatches = 32;

void BM_DrawBatch(benchmark::State& state, DrawCase d) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    set_lights(d);
    for (auto _ : state) {
        for (int b = 0; b < kBatches; ++b)
            draw_batch(indices_of(d), d.passes, d.recipe1, d.recipe2);
        glFinish();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kBatches * kBatchVertices);
}

// The OpenGL part alone: the same arrays (left by a draw_batch of the case) drawn with the
// same texture and blend calls.
void BM_GlDrawOnly(benchmark::State& state, DrawCase d) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    set_lights(d);
    draw_batch(indices_of(d), d.passes, d.recipe1, d.recipe2);
    auto texture = [](bool on) {
        if (on)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
    };
    // The units set up once, as the draw left them, for the whole loop.
    UnitProgram units;
    const bool two = (d.recipe1 & TEXEL_UNITS) &&
                     build_unit_program(d.cycle_type, d.key0, d.key1, texture_units, units);
    if (two) begin_unit_program(units, client_arrays.texcoords[0], client_arrays.texcoords1[0]);
    for (auto _ : state) {
        for (int b = 0; b < kBatches; ++b) {
            if (!two) texture(d.passes & 1);
            glDrawArrays(GL_TRIANGLES, 0, kBatchVertices);
            if ((d.passes >> 4) == 0) continue;
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            texture(d.passes & 2);
            glDrawArrays(GL_TRIANGLES, 0, kBatchVertices);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        glFinish();
    }
    if (two) end_unit_program(units, client_arrays.texcoords[0]);
    state.SetItemsProcessed(int64_t(state.iterations()) * kBatches * kBatchVertices);
}

} // namespace

int main(int argc, char** argv) {
    if (!bench::gl_ready()) std::fprintf(stderr, "draw_bench: no OpenGL context\n");
    prepare();
    for (const DrawCase& d : kCases) {
        benchmark::RegisterBenchmark((std::string("draw_batch/") + d.name).c_str(), BM_DrawBatch, d)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("gl_draw/") + d.name).c_str(), BM_GlDrawOnly, d)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\ndraw_batch per vertex of a %d-triangle batch; the recipe's own part is the "
                "draw less the OpenGL draw of the same arrays:\n",
                kTriangles);
    std::printf("  %-20s %12s %12s %12s %8s\n", "recipe", "draw_batch", "OpenGL draw",
                "recipe part", "share");
    for (const DrawCase& d : kCases) {
        const double all = reporter.ns(std::string("draw_batch/") + d.name);
        const double gl  = reporter.ns(std::string("gl_draw/") + d.name);
        if (all <= 0 || gl <= 0) continue;
        std::printf("  %-20s %9.2f ns %9.2f ns %9.2f ns %7.1f%%\n", d.name, all, gl, all - gl,
                    100.0 * (all - gl) / all);
    }
    const double plain = reporter.ns("draw_batch/recipe0_textured");
    const double two   = reporter.ns("draw_batch/two_textures");
    if (plain > 0 && two > 0)
        std::printf("\ntwo textures in three units (terrain lerp x shade) against the plain "
                    "textured recipe: %.2f ns / %.2f ns per vertex, ratio %.2f\n",
                    two, plain, two / plain);
    const double plain_seen = reporter.ns("draw_batch/recipe0_textured_on_screen");
    const double two_seen   = reporter.ns("draw_batch/two_textures_on_screen");
    if (plain_seen > 0 && two_seen > 0)
        std::printf("the same with the disc in view (fragments shaded): %.2f ns / %.2f ns per "
                    "vertex, ratio %.2f\n",
                    two_seen, plain_seen, two_seen / plain_seen);
    std::printf("\ndraw_batch per vertex with fog against the same recipe without:\n");
    for (const auto& pair : kFogPairs) {
        const double fog  = reporter.ns(std::string("draw_batch/") + pair[0]);
        const double bare = reporter.ns(std::string("draw_batch/") + pair[1]);
        if (fog > 0 && bare > 0)
            std::printf("  %-20s %9.2f ns against %9.2f ns: ratio %.2f\n", pair[0], fog, bare,
                        fog / bare);
    }
    benchmark::Shutdown();
    return 0;
}
