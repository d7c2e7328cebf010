// Fuzzes the interpreter with every family row: hostile display lists over a real GL context
#include <algorithm>
#include <cstring>

#include "console.h"
#include "dlist/interpreter.h"
#include "dlist/rdp_reg.h"
#include "fuzz_input.h"
#include "host/plugin.h"

static Console* console;
static std::vector<std::pair<uint32_t, uint32_t>> dirty; // RDRAM ranges of the last input

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    console = new Console;
    if (!initiate_gfx(console->gfx_info(nullptr))) __builtin_trap();
    command_budget = 20000; // a list that never ends costs this many commands
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (auto [address, length] : dirty)
        std::memset(&console->rdram[address], 0, length);
    dirty.clear();

    const FuzzTask task = parse_fuzz_input(data, size);
    for (const FuzzChunk& c : task.chunks) {
        const uint32_t address = c.address & (Console::kRdramSize - 1);
        const uint32_t length  = std::min(c.length, Console::kRdramSize - address);
        std::memcpy(&console->rdram[address], c.data, length);
        dirty.emplace_back(address, length);
    }

    rdp_reg   = RdpReg{};
    UcodeType = task.family;
    // Two frames: the skipped task and the interpreted one, twice, so state carries over.
    for (int i = 0; i < 4; ++i)
        run_display_list(task.start);
    return 0;
}
