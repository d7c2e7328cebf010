// The host executable's folder on Linux
#include <unistd.h>

#include <climits>

#include "faces/sdl/sdl_face.h"

std::string sdl_host_executable_dir() {
    if (const char* dir = platform_host_dir_override()) {
        std::string d = dir;
        if (d.empty() || d.back() != '/') d += '/';
        return d;
    }
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.find_last_of('/') + 1);
}
