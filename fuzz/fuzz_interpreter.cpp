// Fuzzes the interpreter with every family row: hostile display lists over a real GL context
#include "host/plugin.h"
#include "interpreter_run.h"

static Console* console;
static RdramChunks chunks;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    console = new Console;
    if (!initiate_gfx(console->gfx_info(nullptr))) __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!run_interpreter_input(*console, chunks, data, size)) __builtin_trap();
    return 0;
}
