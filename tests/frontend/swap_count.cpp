// Loaded into the front end with LD_PRELOAD: counts the window's buffer swaps (every present of
// a video plug-in goes through the core's SDL_GL_SwapWindow) and writes the count, at exit, into
// the file named by VEXA_SWAP_COUNT_FILE (a process that swapped nothing, as `timeout` around the
// front end, leaves it alone)
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

unsigned long swaps;

__attribute__((destructor)) void write_count() {
    const char* file = std::getenv("VEXA_SWAP_COUNT_FILE");
    std::FILE* f     = file && swaps ? std::fopen(file, "w") : nullptr;
    if (!f) return;
    std::fprintf(f, "%lu\n", swaps);
    std::fclose(f);
}

} // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(void* window) {
    using Swap       = void (*)(void*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    ++swaps;
    if (real) real(window);
}
