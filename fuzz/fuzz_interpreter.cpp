// Fuzzes the interpreter with every family row: hostile display lists over a real GL context
#include "interpreter_run.h"

static Console* console;
static RdramChunks chunks;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    console = new Console;
    start_fuzz_plugin(*console);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!run_interpreter_input(*console, chunks, data, size)) __builtin_trap();
    return 0;
}
