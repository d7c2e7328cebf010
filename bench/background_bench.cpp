// A full-screen background (G_BG_COPY of a 320 x 240 picture, drawn in two pieces) against a
// texture rectangle of the same size from one cached tile, both in copy mode, in one run
#include <GL/gl.h>

#include <cstdio>

#include "bench_support.h"
#include "dl_rdp.h"
#include "dl_s2dex.h"
#include "dl_texture.h"
#include "rdp/rectangles.h"

namespace {

constexpr uint32_t kPicture = 0x300000, kRecord = 0x180000, kTile = 0x340000;
constexpr int64_t kPixels = 320 * 240;

void prepare() {
    Console& c = bench::console();
    for (uint32_t i = 0; i < 320 * 240; ++i)
        c.write_u16(kPicture + 2 * i, uint16_t((i * 2654435761u) >> 16) | 1);
    for (uint32_t i = 0; i < 64 * 64; ++i)
        c.write_u16(kTile + 2 * i, uint16_t(i * 40503u) | 1);
    s2d::write_bg(c, kRecord, {kPicture, 320, 240, 0, 0, 320, 240});
    for (Command k : {cmd::set_color_image(320, 0x200000), cmd::set_scissor(0, 0, 320, 240),
                      cmd::set_cycle_type(2)})
        bench::run_command(k);
}

// The background as family 8 runs it; its pieces stay in the texture cache.
void BM_Background(benchmark::State& state) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    for (auto _ : state) {
        bench::run_command(s2d::bg_copy(8, kRecord), 8);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

// The floor: a 64 x 64 tile (set up again each time: the background leaves tile 0 its own)
// drawn over the same 320 x 240 pixels by one texture rectangle.
void BM_TextureRectangle(benchmark::State& state) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    const auto rect = cmd::tex_rect(0, 0, 319, 239, 0, 0, 0, 4, 1);
    for (auto _ : state) {
        for (Command k :
             {tex::set_texture_image(tex::rgba, tex::b16, 64, kTile),
              tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64 * 64),
              tex::set_tile(0, tex::rgba, tex::b16, 16, 0), tex::set_tile_size(0, 0, 0, 64, 64)})
            bench::run_command(k);
        rdp_reg.cmd0       = rect[0].w0;
        rdp_reg.cmd1       = rect[0].w1;
        rdp_reg.lookahead1 = rect[1].w1;
        rdp_reg.lookahead2 = rect[2].w1;
        rdp_tex_rect();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

int main(int argc, char** argv) {
    if (!bench::gl_ready()) std::fprintf(stderr, "background_bench: no OpenGL context\n");
    prepare();
    benchmark::RegisterBenchmark("background/bg_copy_320x240", BM_Background)->UseRealTime();
    benchmark::RegisterBenchmark("background/tex_rect_320x240", BM_TextureRectangle)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bg   = reporter.ns("background/bg_copy_320x240");
    const double rect = reporter.ns("background/tex_rect_320x240");
    if (bg > 0 && rect > 0)
        std::printf("\na full-screen background costs %.2f times a texture rectangle of its size "
                    "(%.3f against %.3f ns a pixel)\n",
                    bg / rect, bg, rect);
    benchmark::Shutdown();
    return 0;
}
