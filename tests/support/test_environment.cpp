// Every test process draws offscreen through Mesa and leaves no shader cache behind, however
// it is started (ctest, or the test binary run by hand).
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    }
};

const TestEnvironment environment;

} // namespace
