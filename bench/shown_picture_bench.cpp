// The check of the picture the VI shows (a sum of its lines in RDRAM, once per field) against a
// memcpy of the same bytes, for a 320 x 240 16-bit picture
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "framebuffer/shown_picture.h"

namespace {

constexpr uint32_t kOrigin = 0x300000, kBytes = 320 * 240 * 2;
const ViPicture kVi{kOrigin, 2, 320, 0x002501FF, 0x400};

// The CPU changes one pixel a field: every check finds a change.
void BM_Check(benchmark::State& state) {
    Console& c = bench::console();
    host.rdram = c.rdram.data();
    uint32_t n = 0, changes = 0;
    for (auto _ : state) {
        c.write_u16(kOrigin + 2 * (n++ % (320 * 240)), uint16_t(n));
        changes += cpu_changed_shown_picture(kVi);
    }
    benchmark::DoNotOptimize(changes);
    state.SetItemsProcessed(state.iterations());
}

void BM_Memcpy(benchmark::State& state) {
    const Console& c = bench::console();
    std::vector<uint8_t> to(kBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), c.rdram.data() + kOrigin, kBytes);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("shown_picture/check_320x240x16", BM_Check);
    benchmark::RegisterBenchmark("shown_picture/memcpy_153600", BM_Memcpy);
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double check = reporter.ns("shown_picture/check_320x240x16");
    const double copy  = reporter.ns("shown_picture/memcpy_153600");
    if (check > 0 && copy > 0)
        std::printf("\nthe shown picture's check: %.1f us a field, %.2f times a memcpy of its "
                    "bytes (%.1f us), %.2f %% of a 60 Hz field\n",
                    check / 1000, check / copy, copy / 1000, check / 1e3 / 16683 * 100);
    benchmark::Shutdown();
    return 0;
}
