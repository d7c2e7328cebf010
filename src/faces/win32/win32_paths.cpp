// The host executable's folder on Win32
#include <windows.h>

#include <cstdlib>

#include "faces/win32/win32_face.h"

std::string win32_host_executable_dir() {
    if (const char* dir = platform_host_dir_override()) {
        std::string d = dir;
        if (d.empty() || (d.back() != '\\' && d.back() != '/')) d += '\\';
        return d;
    }
    char path[MAX_PATH + 1] = "";
    const DWORD n           = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    char drive[_MAX_DRIVE], dir[_MAX_DIR];
    _splitpath(path, drive, dir, nullptr, nullptr);
    return std::string(drive) + dir;
}
