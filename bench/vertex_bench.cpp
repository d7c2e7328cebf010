// Vertex load per vertex: family 0's VERTEX command and family 4's LOADVTX (position and normal
// transformed, texture generation off and on), against the same arithmetic written out in one
// loop
#include <cmath>
#include <cstdio>

#include "bench_support.h"
#include "dl_ucode0.h"
#include "dl_ucode4.h"
#include "geometry/matrix.h"
#include "geometry/vertex.h"
#include "state/rdram.h"

namespace {

constexpr uint32_t kMatrix   = 0x100000;
constexpr uint32_t kVertices = 0x110000;
constexpr uint32_t kLoads    = 64; // VERTEX commands of 16 vertices per iteration
constexpr uint32_t kPerLoad  = 16;

void prepare() {
    Console& c = bench::console();
    host.rdram = c.rdram.data();
    uc0::write_matrix(c, kMatrix,
                      uc0::then(uc0::then(uc0::rotation_y(0.7f), uc0::rotation_x(0.3f)),
                                uc0::translation(-30, -5, -520)));
    for (uint32_t i = 0; i < kLoads * kPerLoad; ++i) {
        const float a = 0.37f * float(i);
        uc0::write_vertex(c, kVertices + 16 * i, int16_t(100 * std::cos(a)), int16_t(i % 200),
                          int16_t(100 * std::sin(a)), int16_t(i * 32), int16_t(i * 16),
                          uint8_t(int8_t(127 * std::cos(a))), uint8_t(int8_t(40)),
                          uint8_t(int8_t(127 * std::sin(a))), 255);
    }
    bench::run_command(uc0::matrix(uc0::kLoad, kMatrix));
}

void BM_VertexCommand(benchmark::State& state) {
    rdp_reg.geometry_mode = state.range(0) ? kGeometryTextureGen : 0;
    for (auto _ : state) {
        for (uint32_t k = 0; k < kLoads; ++k)
            bench::run_command(uc0::vertex(0, kPerLoad, kVertices + 16 * kPerLoad * k));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kLoads * kPerLoad);
}

// Family 4 loads 32 vertices per command; its texture generation does not divide again.
void BM_LoadVtxCommand(benchmark::State& state) {
    constexpr uint32_t kPerLoad4 = 32;
    rdp_reg.geometry_mode        = state.range(0) ? kGeometryTextureGen : 0;
    for (auto _ : state) {
        for (uint32_t k = 0; k < kLoads * kPerLoad / kPerLoad4; ++k)
            bench::run_command(uc4::loadvtx(0, kPerLoad4, kVertices + 16 * kPerLoad4 * k), 4);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kLoads * kPerLoad);
}

// The floor: the same reads, transforms and normalisation straight into an array.
struct BareVertex {
    float x, y, z, s, t, nx, ny, nz;
    uint8_t rgba[4];
};
BareVertex bare[kPerLoad];

void BM_BareTransform(benchmark::State& state) {
    const bool texgen = state.range(0);
    float M[16];
    for (int i = 0; i < 16; ++i)
        M[i] = modelview_matrix().m[i];
    benchmark::DoNotOptimize(M);
    for (auto _ : state) {
        for (uint32_t k = 0; k < kLoads * kPerLoad; ++k) {
            const uint32_t a = kVertices + 16 * k;
            BareVertex& v    = bare[k % kPerLoad];
            const float x    = float(int16_t(read_rdram_u16(a)));
            const float y    = float(int16_t(read_rdram_u16(a + 2)));
            const float z    = float(int16_t(read_rdram_u16(a + 4)));
            v.s              = float(int16_t(read_rdram_u16(a + 8)));
            v.t              = float(int16_t(read_rdram_u16(a + 10)));
            for (uint32_t i = 0; i < 4; ++i)
                v.rgba[i] = read_rdram_u8(a + 12 + i);
            v.x                = x * M[0] + y * M[4] + z * M[8] + M[12];
            v.y                = x * M[1] + y * M[5] + z * M[9] + M[13];
            v.z                = x * M[2] + y * M[6] + z * M[10] + M[14];
            const float n[3]   = {float(int8_t(v.rgba[0])), float(int8_t(v.rgba[1])),
                                  float(int8_t(v.rgba[2]))};
            float nx           = n[0] * M[0] + n[1] * M[4] + n[2] * M[8];
            float ny           = n[0] * M[1] + n[1] * M[5] + n[2] * M[9];
            float nz           = n[0] * M[2] + n[1] * M[6] + n[2] * M[10];
            const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            if (length != 0.0f) {
                nx /= length;
                ny /= length;
                nz /= length;
            }
            v.nx = nx;
            v.ny = ny;
            v.nz = nz;
            if (texgen) {
                const float l = std::sqrt(nx * nx + ny * ny + nz * nz);
                v.s           = l == 0.0f ? 0.5f : (nx * 0.5f) / l + 0.5f;
                v.t           = l == 0.0f ? 0.5f : 0.5f - (ny * 0.5f) / l;
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kLoads * kPerLoad);
}

} // namespace

int main(int argc, char** argv) {
    prepare();
    benchmark::RegisterBenchmark("vertex", BM_VertexCommand)->Arg(0)->Arg(1);
    benchmark::RegisterBenchmark("loadvtx", BM_LoadVtxCommand)->Arg(0)->Arg(1);
    benchmark::RegisterBenchmark("bare_transform", BM_BareTransform)->Arg(0)->Arg(1);
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nVertex load, per vertex (VERTEX commands of %u vertices):\n", kPerLoad);
    bench::print_ratio("texture generation off", reporter.ns("vertex/0"),
                       reporter.ns("bare_transform/0"), "bare transform");
    bench::print_ratio("texture generation on", reporter.ns("vertex/1"),
                       reporter.ns("bare_transform/1"), "bare transform");
    std::printf("\nVertex load, per vertex (family 4: LOADVTX commands of 32 vertices):\n");
    bench::print_ratio("texture generation off", reporter.ns("loadvtx/0"),
                       reporter.ns("bare_transform/0"), "bare transform");
    bench::print_ratio("texture generation on", reporter.ns("loadvtx/1"),
                       reporter.ns("bare_transform/1"), "bare transform (dividing)");
    benchmark::Shutdown();
    return 0;
}
