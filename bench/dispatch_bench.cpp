// Command dispatch: run_display_list over a long list of state-only commands, against a bare
// loop that fetches the same words and calls through a table of empty functions
#include <cstdio>
#include <cstring>
#include <iterator>

#include "bench_support.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "dlist/interpreter.h"
#include "state/rdram.h"

namespace {

constexpr uint32_t kList     = 0x100000;
constexpr uint32_t kNoops    = 0x200000;
constexpr uint32_t kEmpty    = 0x0F0000;
constexpr uint32_t kCommands = 1u << 16; // commands of the long list before its end

// Commands that only write interpreter state: colours, syncs, combiner, tiles, segments.
const Command kStateCommands[] = {
    cmd::set_prim_color(0x80402010),
    cmd::set_env_color(0x10204080),
    cmd::pipe_sync(),
    cmd::set_combine_keys(0x3FFE1F4, 0x3FFE1F4),
    tex::set_texture_image(tex::rgba, tex::b16, 64, 0x200000),
    tex::set_tile(0, tex::rgba, tex::b16, 16, 0),
    tex::set_tile_size(0, 0, 0, 64, 64),
    uc0::segment(6, 0x00200000),
    uc0::texture(0, 1, 0xFFFF, 0xFFFF),
    cmd::set_fill_color(0xFFFEFFFE),
    cmd::set_blend_color(0x00000080),
    cmd::noop(),
    cmd::word(0x00, 0, 0),
    cmd::word(0xE8, 0, 0), // tile sync
    cmd::set_depth_image(0x300000),
    cmd::set_color_image(320, 0x380000),
};

void build_lists() {
    Console& c = bench::console();
    DisplayList dl(c, kList);
    for (uint32_t i = 0; i < kCommands; ++i)
        dl.add(kStateCommands[i % std::size(kStateCommands)]);
    dl.add(cmd::end_dl());
    // The same length of commands that do nothing: the interpreter's own cost per command.
    DisplayList noops(c, kNoops);
    for (uint32_t i = 0; i < kCommands; ++i)
        noops.add(i & 1 ? cmd::noop() : cmd::word(0x00, 0, 0));
    noops.add(cmd::end_dl());
    DisplayList(c, kEmpty).add(cmd::end_dl());
}

// One interpreted task: the skipped task before it is run too, as the host runs both.
void run_list_task(uint32_t address) {
    if ((dlist_counter & 1) == 0) run_display_list(address);
    run_display_list(address);
}

void BM_RunDisplayList(benchmark::State& state) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    UcodeType           = 0;
    const uint32_t list = state.range(0) ? kNoops : kList;
    for (auto _ : state)
        run_list_task(list);
    state.SetItemsProcessed(int64_t(state.iterations()) * kCommands);
}

// The same task with nothing in its list: the clear and swap that every task pays.
void BM_EmptyTask(benchmark::State& state) {
    if (!bench::gl_ready()) return state.SkipWithError("no OpenGL context");
    UcodeType = 0;
    for (auto _ : state)
        run_list_task(kEmpty);
    state.SetItemsProcessed(int64_t(state.iterations()));
}

// The floor: fetch the same five words per command and call through 256 empty functions.
using Empty = void (*)();
[[gnu::noinline]] void empty_handler() { benchmark::ClobberMemory(); }
Empty empty_table[256];
uint32_t floor_words[4];

void BM_BareDispatch(benchmark::State& state) {
    for (Empty& e : empty_table)
        e = empty_handler;
    benchmark::DoNotOptimize(empty_table);
    const uint8_t* rdram = host.rdram;
    for (auto _ : state) {
        uint32_t pc = kList;
        for (uint32_t n = 0; n < kCommands; ++n) {
            const uint32_t a = pc & kRdramMask;
            std::memcpy(&floor_words[0], rdram + (a & kRdramMask), 4);
            std::memcpy(&floor_words[1], rdram + ((a + 4) & kRdramMask), 4);
            std::memcpy(&floor_words[2], rdram + ((a + 12) & kRdramMask), 4);
            std::memcpy(&floor_words[3], rdram + ((a + 20) & kRdramMask), 4);
            pc = (a + 8) & kRdramMask;
            empty_table[floor_words[0] >> 24]();
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCommands);
}

} // namespace

int main(int argc, char** argv) {
    if (!bench::gl_ready()) std::fprintf(stderr, "dispatch_bench: no OpenGL context\n");
    build_lists();
    benchmark::RegisterBenchmark("run_display_list", BM_RunDisplayList)->Arg(0)->Arg(1);
    benchmark::RegisterBenchmark("empty_task", BM_EmptyTask);
    benchmark::RegisterBenchmark("bare_dispatch", BM_BareDispatch);
    benchmark::Initialize(&argc, argv);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // The task's own clear and swap are taken off the long list before dividing.
    const double empty = reporter.ns("empty_task");
    auto per_command   = [&](const char* name) {
        const double task = reporter.ns(name) * kCommands;
        return task > 0 && empty > 0 ? (task - empty) / kCommands : 0.0;
    };
    std::printf("\nCommand dispatch (%u commands per task, family 0):\n", kCommands);
    std::printf("  %-34s %9.2f ns\n", "clear and swap calls of a task", empty);
    bench::print_ratio("state-only commands, per command", per_command("run_display_list/0"),
                       reporter.ns("bare_dispatch"), "bare fetch and call");
    bench::print_ratio("do-nothing commands, per command", per_command("run_display_list/1"),
                       reporter.ns("bare_dispatch"), "bare fetch and call");
    benchmark::Shutdown();
    return 0;
}
