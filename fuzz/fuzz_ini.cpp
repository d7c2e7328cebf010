// Fuzzes the INI reader and writer with arbitrary bytes; a value written must read back
#include <unistd.h>

#include <string>

#include "ini_run.h"

static std::string path;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is a tmpfs: the writer syncs every file it replaces.
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path = std::string(folder) + "/vexa_fuzz_ini_" + std::to_string(getpid()) + ".ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const IniInput in = parse_ini_input(data, size);
    if (!run_ini_text(in)) __builtin_trap();
    // Files are slower: only inputs that end in 'Z' go through one.
    if (size > 0 && data[size - 1] == 0x5A && !run_ini_file(in, path)) __builtin_trap();
    return 0;
}
