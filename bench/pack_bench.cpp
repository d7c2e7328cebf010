// Texture packs: indexing a pack of 10,000 names against listing its folder, and a frame of the
// packs scene whose textures are all built anew, with every one replaced against without a pack
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "dlist/interpreter.h"
#include "pack/pack_image.h"
#include "pack/pack_store.h"
#include "scenes.h"
#include "state/host_state.h"
#include "texture/texture_cache.h"

namespace fs = std::filesystem;

namespace {

const std::string kRom   = "VEXA BENCH";
constexpr int kPackNames = 10000;

// A temporary folder with a pack of 10,000 empty files, named as packs name them.
const std::string& pack_root() {
    static const std::string root = [] {
        const std::string r = "/tmp/vexa-pack-bench-" + std::to_string(getpid());
        fs::create_directories(r + "/" + kRom + "/sub");
        for (int i = 0; i < kPackNames; ++i) {
            char name[96];
            std::snprintf(name, sizeof name, "%s/%s/sub/%s#%08X#%d#%d_all.png", r.c_str(),
                          kRom.c_str(), kRom.c_str(), unsigned(i * 2654435761u), i % 5, i % 4);
            std::fclose(std::fopen(name, "wb"));
        }
        return r;
    }();
    return root;
}

void BM_ListFolder(benchmark::State& state) {
    const fs::path folder = pack_root() + "/" + kRom;
    for (auto _ : state) {
        size_t names = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names += entry.path().filename().native().size() > 0;
        benchmark::DoNotOptimize(names);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kPackNames);
}

void BM_IndexPack(benchmark::State& state) {
    for (auto _ : state)
        pack_open(kRom, pack_root(), "", true, false);
    state.SetItemsProcessed(int64_t(state.iterations()) * kPackNames);
    pack_close();
}

// The packs scene's frame, every texture built anew (the cache emptied first).
uint32_t scene_start() {
    static const uint32_t start = [] {
        const Scene* s = find_scene("packs");
        return s->build(bench::console(), 0);
    }();
    return start;
}

void draw_frame() {
    reset_texture_cache();
    run_display_list(scene_start());
    glFinish();
}

// A pack of the scene's own textures, dumped once, each at twice its size.
void make_scene_pack(const std::string& root) {
    pack_open(kRom, "", root, false, true);
    draw_frame();
    pack_close();
    const fs::path dumps = fs::path(root) / kRom;
    for (const auto& entry : fs::directory_iterator(dumps)) {
        PackImage image, twice;
        std::string why;
        if (!pack_read_image(entry.path().string(), &image, &why)) continue;
        twice.width  = image.width * 2;
        twice.height = image.height * 2;
        twice.rgba.resize(size_t(twice.width) * twice.height * 4);
        for (uint32_t y = 0; y < twice.height; ++y)
            for (uint32_t x = 0; x < twice.width; ++x)
                for (int c = 0; c < 4; ++c)
                    twice.rgba[(size_t(y) * twice.width + x) * 4 + c] =
                        image.rgba[(size_t(y / 2) * image.width + x / 2) * 4 + c];
        pack_write_png(entry.path().string(), twice.rgba.data(), twice.width, twice.height);
    }
}

void BM_Frame(benchmark::State& state, bool replaced) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    frame_rule             = FrameRule::host_presents;
    const std::string root = pack_root() + "-scene";
    static const bool made = (make_scene_pack(root), true);
    benchmark::DoNotOptimize(made);
    pack_open(kRom, root, "", replaced, false);
    draw_frame(); // decodes the replacements once
    if (replaced && pack_counts().decoded != 15) state.SkipWithError("the pack did not load");
    for (auto _ : state)
        draw_frame();
    state.SetItemsProcessed(int64_t(state.iterations()));
    pack_close();
}

} // namespace

// Real time: the file system and OpenGL work outside the calling thread's CPU time.
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndexPack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, without_pack, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, replaced, true)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios:\n");
    bench::print_ratio("index of 10,000 names", reporter.ns("BM_IndexPack"),
                       reporter.ns("BM_ListFolder"), "listing the folder");
    bench::print_ratio("frame, every texture replaced", reporter.ns("BM_Frame/replaced"),
                       reporter.ns("BM_Frame/without_pack"), "the frame without pack");
    std::error_code error;
    fs::remove_all(pack_root(), error);
    fs::remove_all(pack_root() + "-scene", error);
    benchmark::Shutdown();
    return 0;
}
