// Profile (INI) files on Win32
#include <windows.h>

#include "platform/platform.h"

int32_t platform_profile_read_int(const char* section, const char* key, int32_t fallback,
                                  const char* path) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, path));
}

std::string platform_profile_read_string(const char* section, const char* key, const char* fallback,
                                         const char* path) {
    char value[MAX_PATH + 1] = "";
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path);
    return value;
}

bool platform_profile_write_string(const char* section, const char* key, const char* value,
                                   const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}

void platform_profile_flush_cache() {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, L"appname.ini");
}
