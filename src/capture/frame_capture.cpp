// Frame captures written by the plug-in: each interpreted task to a file, while asked for
#include "capture/frame_capture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "capture/capture_file.h"
#include "config/ucode_select.h"
#include "platform/ini_text.h"
#include "platform/platform.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"

namespace fs = std::filesystem;

namespace {

struct CaptureState {
    bool settings_read = false;
    std::string folder; // empty: not capturing
    int32_t frames_left = 0;
};
CaptureState state;

std::string setting(const char* variable, const char* key) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
    return platform_profile_read_string("Settings", key, "", ini_path().c_str());
}

void read_settings() {
    state.settings_read = true;
    state.folder        = setting("VEXA_CAPTURE", "CaptureFolder");
    const int32_t n     = profile_int(setting("VEXA_CAPTURE_FRAMES", "CaptureFrames"), 1);
    state.frames_left   = n > 0 ? n : 1;
}

// One message, then no more captures in this process: the game goes on.
void give_up(const std::string& why) {
    std::fprintf(stderr, "new_vexa_ogl: cannot write frame captures to %s: %s; capturing is off\n",
                 state.folder.c_str(), why.c_str());
    state.folder.clear();
}

// <folder>/<ROM's INI section>-<n>.vxc with the first n not taken: earlier captures stay.
std::string next_free_path() {
    const std::string stem = rom_key(header_image(host.rom_header));
    for (int n = 0;; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "%s-%03d.vxc", stem.c_str(), n);
        const fs::path path = fs::path(state.folder) / name;
        std::error_code ec;
        if (!fs::exists(path, ec) || n == 99999) return path.string();
    }
}

} // namespace

void reset_frame_capture() { state = CaptureState{}; }

void capture_task(uint32_t dlist_start) {
    if (!state.settings_read) read_settings();
    if (state.folder.empty() || state.frames_left <= 0 || UcodeType >= kUcodeFamilies) return;

    std::error_code ec;
    fs::create_directories(state.folder, ec);
    if (ec) return give_up(ec.message());

    CaptureHeader h;
    h.family      = UcodeType;
    h.dlist_start = dlist_start;
    h.vi_status   = host.vi_status ? *host.vi_status : 0;
    for (int i = 0; i < kCaptureRegisters; ++i)
        h.registers[i] = host.registers[i] ? *host.registers[i] : 0;
    if (host.rom_header)
        for (int i = 0; i < 64; ++i)
            h.rom_header[i] = host.rom_header[i];

    const std::string path = next_free_path();
    std::string error;
    if (!write_capture(path, h, host.rdram, host.dmem, &error)) return give_up(error);
    state.frames_left -= 1;
    std::fprintf(stderr, "new_vexa_ogl: captured %s\n", path.c_str());
}
