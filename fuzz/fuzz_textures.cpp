// Fuzzes the tile and load commands, the texel converters and the texture cache
#include "console.h"
#include "textures_run.h"

static Console* console;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    console = new Console;
    fill_texture_rdram(*console);
    start_fuzz_plugin(*console);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    run_texture_input(data, size);
    return 0;
}
