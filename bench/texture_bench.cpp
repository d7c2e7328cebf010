// Texel conversion, the tile hash and a cache hit, each against a memcpy of the same bytes
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "console.h"
#include "dl_texture.h"
#include "dlist/command_table.h"
#include "host/plugin.h"
#include "state/rdp_reg.h"
#include "texture/texture_cache.h"
#include "texture/texture_memory.h"

namespace {

constexpr uint32_t kSide   = 64; // converted tiles are 64 x 64 texels
constexpr uint32_t kSource = 0x100000;

struct FormatCase {
    const char* name;
    uint32_t format, size, bits;
};
const FormatCase kFormats[] = {
    {"rgba16", tex::rgba, tex::b16, 16}, {"rgba32", tex::rgba, tex::b32, 32},
    {"ci4", tex::ci, tex::b4, 4},        {"ci8", tex::ci, tex::b8, 8},
    {"ia4", tex::ia, tex::b4, 4},        {"ia8", tex::ia, tex::b8, 8},
    {"ia16", tex::ia, tex::b16, 16},     {"i4", tex::i, tex::b4, 4},
    {"i8", tex::i, tex::b8, 8},          {"i16", tex::i, tex::b16, 16},
};

Console& console() {
    static Console* c = [] {
        auto* made = new Console;
        for (uint32_t i = 0; i < 0x100000; ++i)
            made->rdram[kSource + i] = uint8_t(i * 131 + 7);
        return made;
    }();
    return *c;
}

void run_command(Command c) {
    rdp_reg.cmd0 = c.w0;
    rdp_reg.cmd1 = c.w1;
    CommandTable[0][c.w0 >> 24]();
}

uint32_t source_bytes(uint32_t bits, uint32_t texels) { return texels * bits / 8; }

Texel converted[kSide * (kSide + 1)];
std::vector<uint8_t> copy_target(1u << 20);

void BM_Memcpy(benchmark::State& state) {
    const size_t bytes  = static_cast<size_t>(state.range(0));
    const uint8_t* from = console().rdram.data() + kSource;
    for (auto _ : state) {
        std::memcpy(copy_target.data(), from, bytes);
        benchmark::DoNotOptimize(copy_target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_Convert(benchmark::State& state, FormatCase f) {
    host.rdram                   = console().rdram.data();
    texel_line                   = kSide;
    const TexelConverter convert = converter_for(f.format, f.size);
    for (auto _ : state) {
        convert(kSource, converted, 0, kSide - 1, 0, kSide - 1);
        benchmark::DoNotOptimize(converted);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * source_bytes(f.bits, kSide * kSide));
}

// Tile 0 as a side x side 16-bit texture loaded as a block.
void load_tile(uint32_t side) {
    host.rdram = console().rdram.data();
    for (Command c :
         {tex::set_texture_image(tex::rgba, tex::b16, side, kSource),
          tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, side * side),
          tex::set_tile(0, tex::rgba, tex::b16, side / 4, 0),
          tex::set_tile_size(0, 0, 0, side, side)})
        run_command(c);
}

void BM_TileHash(benchmark::State& state) {
    const uint32_t side = static_cast<uint32_t>(state.range(0));
    load_tile(side);
    for (auto _ : state)
        benchmark::DoNotOptimize(tile_hash(0));
    state.SetBytesProcessed(int64_t(state.iterations()) * source_bytes(16, side * side));
}

bool gl_ready() {
    static const bool ready = initiate_gfx(console().gfx_info(nullptr)) == 1;
    return ready;
}

// A hit on the first entry of the chain (range 0) or behind 510 other textures (range 510).
void BM_CacheHit(benchmark::State& state) {
    if (!gl_ready()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    reset_texture_cache();
    load_tile(kSide);
    const uint32_t before = static_cast<uint32_t>(state.range(0));
    for (uint32_t i = 0; i <= before; ++i) {
        rdp_reg.texture_color = i;
        bind_texture();
    }
    for (auto _ : state) {
        rdp_reg.texture_color = before;
        benchmark::DoNotOptimize(bind_texture());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * source_bytes(16, kSide * kSide));
}

// A surface that flows: every bind follows a SETTILESIZE that moves tile 0's window a quarter
// texel on (over 1,024 corners, more than the cache keeps). Counts the textures built a bind.
void BM_ScrollingWindow(benchmark::State& state) {
    if (!gl_ready()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    reset_texture_cache();
    load_tile(kSide);
    const uint32_t before = textures_built;
    uint32_t corner       = 0;
    for (auto _ : state) {
        corner = (corner + 1) & 0x3FF;
        run_command(tex::set_tile_size_q(0, corner, corner / 2, corner + 4 * (kSide - 1),
                                         corner / 2 + 4 * (kSide - 1)));
        benchmark::DoNotOptimize(bind_texture());
    }
    state.counters["builds_per_bind"] =
        double(textures_built - before) / double(std::max<int64_t>(state.iterations(), 1));
    state.SetBytesProcessed(int64_t(state.iterations()) * source_bytes(16, kSide * kSide));
}

// Prints the console table and keeps every rate for the ratios printed at the end.
class RateReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> bytes_per_second;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end()) bytes_per_second[r.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    for (const FormatCase& f : kFormats) {
        const uint32_t bytes = source_bytes(f.bits, kSide * kSide);
        benchmark::RegisterBenchmark((std::string("convert/") + f.name).c_str(), BM_Convert, f);
        benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Arg(bytes);
    }
    benchmark::RegisterBenchmark("tile_hash", BM_TileHash)->Arg(64)->Arg(256);
    benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Arg(256 * 256 * 2);
    benchmark::RegisterBenchmark("cache_hit", BM_CacheHit)->Arg(0)->Arg(510);
    benchmark::RegisterBenchmark("scrolling_window", BM_ScrollingWindow);
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto rate = [&](const std::string& name) {
        auto it = reporter.bytes_per_second.find(name);
        return it == reporter.bytes_per_second.end() ? 0.0 : it->second;
    };
    auto ratio = [&](const std::string& name, uint32_t bytes) {
        const double floor = rate("memcpy/" + std::to_string(bytes));
        if (rate(name) > 0 && floor > 0)
            std::printf("%-22s %8.4f of memcpy of the same %u bytes\n", name.c_str(),
                        rate(name) / floor, bytes);
    };
    std::printf("\nThroughput as a share of memcpy (1.0 = as fast as copying the source):\n");
    for (const FormatCase& f : kFormats)
        ratio(std::string("convert/") + f.name, source_bytes(f.bits, kSide * kSide));
    ratio("tile_hash/64", 64 * 64 * 2);
    ratio("tile_hash/256", 256 * 256 * 2);
    ratio("cache_hit/0", kSide * kSide * 2);
    ratio("cache_hit/510", kSide * kSide * 2);
    ratio("scrolling_window", kSide * kSide * 2);
    benchmark::Shutdown();
    return 0;
}
