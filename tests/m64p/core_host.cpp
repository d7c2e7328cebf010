// A mupen64plus front end for tests: Debian's core started without a ROM, one video plug-in
// attached to it, and the console memories of a stand-in emulator handed to the plug-in
#include "core_host.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "m64p_common.h"
#include "m64p_config.h"
#include "m64p_frontend.h"

namespace {

constexpr int kFrontendApiVersion = 0x020001;

void on_message(void* context, int level, const char* text) {
    auto* host = static_cast<CoreHost*>(context);
    host->messages.push_back({level, text});
    if (host->echo) std::fprintf(stderr, "[%d] %s\n", level, text);
}

template <typename F> bool look_up(void* library, const char* name, F* f, std::string* error) {
    *f = reinterpret_cast<F>(dlsym(library, name));
    if (!*f) *error = std::string("no function ") + name;
    return *f != nullptr;
}

} // namespace

bool CoreHost::start(std::string* error) {
    core_ = dlopen("libmupen64plus.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!core_) {
        *error = std::string("cannot load the mupen64plus core: ") + dlerror();
        return false;
    }
    char dir[] = "/tmp/vexa-m64p-XXXXXX";
    if (!mkdtemp(dir)) {
        *error = "cannot make a temporary configuration folder";
        return false;
    }
    config_dir_                       = dir;
    ptr_CoreStartup startup           = nullptr;
    ptr_ConfigOverrideUserPaths paths = nullptr;
    if (!look_up(core_, "CoreStartup", &startup, error) ||
        !look_up(core_, "ConfigOverrideUserPaths", &paths, error))
        return false;
    if (startup(kFrontendApiVersion, dir, nullptr, this, on_message, nullptr, nullptr) !=
        M64ERR_SUCCESS) {
        *error = "CoreStartup failed";
        return false;
    }
    paths(dir, dir); // data and cache beside the configuration: nothing lands in $HOME
    return true;
}

void CoreHost::stop() {
    if (core_) {
        ptr_CoreShutdown shutdown =
            reinterpret_cast<ptr_CoreShutdown>(dlsym(core_, "CoreShutdown"));
        if (shutdown) shutdown();
        core_ = nullptr; // the core stays loaded: SDL and Mesa keep threads of their own
    }
    if (!config_dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(config_dir_, ec);
        config_dir_.clear();
    }
}

bool CoreHost::attach(const std::string& path, VideoPlugin* p, std::string* error) {
    p->library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!p->library) {
        *error = std::string("cannot load ") + path + ": " + dlerror();
        return false;
    }
    if (!look_up(p->library, "PluginStartup", &p->PluginStartup, error) ||
        !look_up(p->library, "PluginShutdown", &p->PluginShutdown, error) ||
        !look_up(p->library, "PluginGetVersion", &p->PluginGetVersion, error) ||
        !look_up(p->library, "InitiateGFX", &p->InitiateGFX, error) ||
        !look_up(p->library, "RomOpen", &p->RomOpen, error) ||
        !look_up(p->library, "RomClosed", &p->RomClosed, error) ||
        !look_up(p->library, "ProcessDList", &p->ProcessDList, error) ||
        !look_up(p->library, "UpdateScreen", &p->UpdateScreen, error) ||
        !look_up(p->library, "ReadScreen2", &p->ReadScreen2, error) ||
        !look_up(p->library, "SetRenderingCallback", &p->SetRenderingCallback, error))
        return false;
    // Not every plug-in has these: null where missing.
    p->ChangeWindow = reinterpret_cast<void (*)()>(dlsym(p->library, "ChangeWindow"));
    p->ResizeVideoOutput =
        reinterpret_cast<void (*)(int, int)>(dlsym(p->library, "ResizeVideoOutput"));
    p->FBGetFrameBufferInfo =
        reinterpret_cast<void (*)(void*)>(dlsym(p->library, "FBGetFrameBufferInfo"));
    p->FBWrite =
        reinterpret_cast<void (*)(unsigned int, unsigned int)>(dlsym(p->library, "FBWrite"));
    m64p_plugin_type type = M64PLUGIN_NULL;
    const char* name      = nullptr;
    p->PluginGetVersion(&type, nullptr, nullptr, &name, nullptr);
    if (type != M64PLUGIN_GFX) {
        *error = path + " is not a video plug-in";
        return false;
    }
    p->name = name ? name : path;
    if (p->PluginStartup(core_, this, on_message) != M64ERR_SUCCESS) {
        *error = "PluginStartup of " + path + " failed";
        return false;
    }
    return true;
}

void CoreHost::detach(VideoPlugin* p) {
    if (p->library) p->PluginShutdown();
    p->library = nullptr; // left loaded, as the core's own front ends do at exit
}

GFX_INFO CoreHost::gfx_info(Console& c, VideoRegisters& r) {
    GFX_INFO info{};
    info.HEADER                = c.rom_header;
    info.RDRAM                 = c.rdram.data();
    info.DMEM                  = c.dmem.data();
    info.IMEM                  = c.imem.data();
    info.MI_INTR_REG           = &c.mi_interrupt;
    info.DPC_START_REG         = &r.dpc[0];
    info.DPC_END_REG           = &r.dpc[1];
    info.DPC_CURRENT_REG       = &r.dpc[2];
    info.DPC_STATUS_REG        = &r.dpc[3];
    info.DPC_CLOCK_REG         = &r.dpc[4];
    info.DPC_BUFBUSY_REG       = &r.dpc[5];
    info.DPC_PIPEBUSY_REG      = &r.dpc[6];
    info.DPC_TMEM_REG          = &r.dpc[7];
    info.VI_STATUS_REG         = &r.vi_status;
    info.VI_ORIGIN_REG         = &r.vi_origin;
    info.VI_WIDTH_REG          = &r.vi_width;
    info.VI_INTR_REG           = &r.vi_intr;
    info.VI_V_CURRENT_LINE_REG = &r.vi_current_line;
    info.VI_TIMING_REG         = &r.vi_timing;
    info.VI_V_SYNC_REG         = &r.vi_v_sync;
    info.VI_H_SYNC_REG         = &r.vi_h_sync;
    info.VI_LEAP_REG           = &r.vi_leap;
    info.VI_H_START_REG        = &r.vi_h_start;
    info.VI_V_START_REG        = &r.vi_v_start;
    info.VI_V_BURST_REG        = &r.vi_v_burst;
    info.VI_X_SCALE_REG        = &r.vi_x_scale;
    info.VI_Y_SCALE_REG        = &r.vi_y_scale;
    info.CheckInterrupts       = [] {};
    info.version               = 2;
    info.SP_STATUS_REG         = &r.sp_status;
    info.RDRAM_SIZE            = &r.rdram_size;
    return info;
}

static bool set_in(void* core, const char* section, const char* name, m64p_type type,
                   const void* value) {
    std::string error;
    ptr_ConfigOpenSection open_section = nullptr;
    ptr_ConfigSetParameter set         = nullptr;
    m64p_handle handle                 = nullptr;
    return look_up(core, "ConfigOpenSection", &open_section, &error) &&
           look_up(core, "ConfigSetParameter", &set, &error) &&
           open_section(section, &handle) == M64ERR_SUCCESS &&
           set(handle, name, type, value) == M64ERR_SUCCESS;
}

bool CoreHost::set_parameter(const char* section, const char* name, int value) {
    return set_in(core_, section, name, M64TYPE_INT, &value);
}

bool CoreHost::set_parameter(const char* section, const char* name, const char* value) {
    return set_in(core_, section, name, M64TYPE_STRING, value);
}

const char* ucode_text_of_family(int family) {
    switch (family) {
    case 0: return "RSP SW Version: 2.0D, 04-01-96";
    case 1: return "RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.";
    case 4: return "RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.";
    default: return nullptr;
    }
}

void set_gfx_task(Console& c, uint32_t dlist_address, const char* text) {
    auto dmem_word = [&](uint32_t offset, uint32_t value) {
        std::memcpy(&c.dmem[offset], &value, 4);
    };
    dmem_word(0xFC0, 1); // a graphics task
    dmem_word(0xFD0, kUcodeAddress);
    dmem_word(0xFD4, kUcodeSize);
    dmem_word(0xFD8, kUcodeDataAddress);
    dmem_word(0xFDC, kUcodeDataSize);
    dmem_word(0xFF4, 0x10000); // data_size: the display list's length
    for (uint32_t a = 0; a < kUcodeSize; a += 4)
        c.write_u32(kUcodeAddress + a, 0x9E3779B9u * (a + 1));
    for (uint32_t a = 0; a < kUcodeDataSize; ++a)
        c.write_u8(kUcodeDataAddress + a, 0);
    for (uint32_t i = 0; text && text[i]; ++i)
        c.write_u8(kUcodeDataAddress + 0x100 + i, static_cast<uint8_t>(text[i]));
    c.set_task(dlist_address);
}

bool read_screen(const VideoPlugin& plugin, std::vector<uint8_t>* rgb, int* width, int* height) {
    *width = *height = 0;
    plugin.ReadScreen2(nullptr, width, height, 0);
    if (*width <= 0 || *height <= 0) return false;
    rgb->assign(static_cast<size_t>(*width) * *height * 3, 0);
    plugin.ReadScreen2(rgb->data(), width, height, 0);
    return true;
}
