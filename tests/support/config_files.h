// Real files in a temporary folder, for the INI file and microcode selection tests
#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/platform.h"

// A fresh folder, removed with its content at the end of the test.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vexa-XXXXXX").string();
        path                = mkdtemp(&pattern[0]) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

// The plug-in takes the folder for its host's executable folder: the INI file is
// <folder>/Plugin//vexa_ogl.ini, with the Plugin folder made.
struct HostFolder : TempFolder {
    HostFolder() {
        std::filesystem::create_directory(path / "Plugin");
        platform_override_host_dir(path.c_str());
    }
    ~HostFolder() { platform_override_host_dir(nullptr); }
    std::string ini() const { return (path / "Plugin" / "vexa_ogl.ini").string(); }
};

inline std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
