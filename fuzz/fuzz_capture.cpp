// Fuzzes the frame capture reader: any bytes give a whole capture or a reason, never a crash
#include "capture_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!run_capture_input(data, size)) __builtin_trap();
    return 0;
}
