// Fuzzes the texture pack reader: file names and PNG/BMP files
#include "pack_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!run_pack_input(data, size)) __builtin_trap();
    return 0;
}
