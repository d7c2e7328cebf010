// The plug-in's INI file as a user who saved a game's microcode choice leaves it
#include "host_ini.h"

#include <cstdio>
#include <filesystem>

#include "host_os.h"

#if defined(_WIN32)
#include <windows.h>
static bool write_profile(const char* section, const char* key, const char* value,
                          const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}
constexpr const char* kPluginFolder = "\\Plugin\\";
#else
#include "platform/platform.h"
static bool write_profile(const char* section, const char* key, const char* value,
                          const char* path) {
    return platform_profile_write_string(section, key, value, path);
}
constexpr const char* kPluginFolder = "/Plugin/";
#endif

namespace fs = std::filesystem;

static uint8_t cartridge_byte(const uint8_t* rom_header, int i) { return rom_header[i ^ 3]; }

std::string ini_section_of(const uint8_t* h) {
    auto reversed_word = [&](int at) {
        uint32_t w = 0;
        for (int i = 3; i >= 0; --i)
            w = w << 8 | cartridge_byte(h, at + i);
        return w;
    };
    char section[20];
    std::snprintf(section, sizeof section, "%08X%08X-%02X", reversed_word(0x10),
                  reversed_word(0x14), cartridge_byte(h, 0x3E));
    return section;
}

// The plug-in's own spelling: a doubled separator before the file name.
std::string plugin_ini_path() {
    return executable_dir() + kPluginFolder + kPluginFolder[0] + "vexa_ogl.ini";
}

bool save_family_choice(const uint8_t* rom_header, int family, std::string* error) {
    return save_family_choice_in(plugin_ini_path(), rom_header, family, error);
}

bool save_family_choice_in(const std::string& path, const uint8_t* rom_header, int family,
                           std::string* error) {
    const std::string section = ini_section_of(rom_header);
    std::string name;
    for (int i = 0x20; i < 64 && cartridge_byte(rom_header, i) != 0; ++i)
        name.push_back(static_cast<char>(cartridge_byte(rom_header, i)));

    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string value = std::to_string(family);
    if (ec || !write_profile(section.c_str(), "Name", name.c_str(), path.c_str()) ||
        !write_profile(section.c_str(), "UCode", value.c_str(), path.c_str())) {
        *error = "cannot write the microcode choice to " + path;
        return false;
    }
    return true;
}

bool save_setting(const char* key, const std::string& value, std::string* error) {
    const std::string path = plugin_ini_path();
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec || !write_profile("Settings", key, value.c_str(), path.c_str())) {
        *error = "cannot write " + std::string(key) + " to " + path;
        return false;
    }
    return true;
}
