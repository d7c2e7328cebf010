// The emulator core's services to a mupen64plus video plug-in: video extension, settings, log
#include "faces/m64p/m64p_core.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "config/settings.h"
#include "m64p_common.h"

M64pCore m64p_core;
M64pVideo m64p_video;

namespace {

// Major API versions this plug-in was written against (m64p_config.h 2.x, m64p_vidext.h 3.x).
constexpr int kConfigApiMajor = 0x020000;
constexpr int kVidextApiMajor = 0x030000;
constexpr int kMajorMask      = 0xFFFF0000;

template <typename F> bool look_up(m64p_dynlib_handle core, const char* name, F* f) {
    *f = reinterpret_cast<F>(dlsym(core, name));
    if (!*f) m64p_log(M64MSG_ERROR, "the emulator core has no function %s", name);
    return *f != nullptr;
}

} // namespace

m64p_error m64p_attach_core(m64p_dynlib_handle core, void* context,
                            void (*debug_callback)(void*, int, const char*)) {
    m64p_core                = M64pCore{};
    m64p_core.debug_context  = context;
    m64p_core.debug_callback = debug_callback;
    if (!core) return M64ERR_INPUT_ASSERT;

    ptr_CoreGetAPIVersions api_versions = nullptr;
    ptr_PluginGetVersion core_version   = nullptr;
    if (!look_up(core, "CoreGetAPIVersions", &api_versions) ||
        !look_up(core, "PluginGetVersion", &core_version))
        return M64ERR_INCOMPATIBLE;
    int config_api = 0, debug_api = 0, vidext_api = 0, extra_api = 0;
    api_versions(&config_api, &debug_api, &vidext_api, &extra_api);
    core_version(nullptr, &m64p_core.version, nullptr, nullptr, nullptr);
    if ((config_api & kMajorMask) != kConfigApiMajor ||
        (vidext_api & kMajorMask) != kVidextApiMajor) {
        m64p_log(M64MSG_ERROR,
                 "the emulator core's configuration API %X or video extension API %X does not "
                 "match the versions %X.x and %X.x this plug-in was built for",
                 config_api, vidext_api, kConfigApiMajor >> 16, kVidextApiMajor >> 16);
        return M64ERR_INCOMPATIBLE;
    }

    M64pCore& c = m64p_core;
    const bool complete =
        look_up(core, "VidExt_Init", &c.vidext_init) &&
        look_up(core, "VidExt_Quit", &c.vidext_quit) &&
        look_up(core, "VidExt_SetVideoMode", &c.vidext_set_video_mode) &&
        look_up(core, "VidExt_ResizeWindow", &c.vidext_resize_window) &&
        look_up(core, "VidExt_ToggleFullScreen", &c.vidext_toggle_full_screen) &&
        look_up(core, "VidExt_GL_SetAttribute", &c.vidext_gl_set_attribute) &&
        look_up(core, "VidExt_GL_SwapBuffers", &c.vidext_gl_swap_buffers) &&
        look_up(core, "ConfigOpenSection", &c.config_open_section) &&
        look_up(core, "ConfigSetDefaultInt", &c.config_set_default_int) &&
        look_up(core, "ConfigSetDefaultBool", &c.config_set_default_bool) &&
        look_up(core, "ConfigSetDefaultString", &c.config_set_default_string) &&
        look_up(core, "ConfigGetParameterType", &c.config_get_parameter_type) &&
        look_up(core, "ConfigGetParamInt", &c.config_get_param_int) &&
        look_up(core, "ConfigGetParamBool", &c.config_get_param_bool) &&
        look_up(core, "ConfigGetParamString", &c.config_get_param_string) &&
        look_up(core, "ConfigHasUnsavedChanges", &c.config_has_unsaved_changes) &&
        look_up(core, "ConfigSaveSection", &c.config_save_section) &&
        look_up(core, "ConfigGetUserConfigPath", &c.config_get_user_config_path) &&
        look_up(core, "ConfigGetUserDataPath", &c.config_get_user_data_path);
    if (!complete) {
        m64p_core = M64pCore{};
        return M64ERR_INCOMPATIBLE;
    }
    look_up(core, "VidExt_GL_GetProcAddress", &c.vidext_gl_get_proc_address);
    return M64ERR_SUCCESS;
}

void m64p_detach_core() {
    m64p_core  = M64pCore{};
    m64p_video = M64pVideo{};
}

bool m64p_core_attached() { return m64p_core.vidext_init != nullptr; }

void m64p_log(m64p_msg_level level, const char* format, ...) {
    if (!m64p_core.debug_callback) return;
    char message[1024]  = "Video-Vexa: ";
    const size_t prefix = sizeof "Video-Vexa: " - 1;
    va_list args;
    va_start(args, format);
    std::vsnprintf(message + prefix, sizeof message - prefix, format, args);
    va_end(args);
    m64p_core.debug_callback(m64p_core.debug_context, level, message);
}

// Far beyond any screen, and at least one console line each way.
static bool sane_size(int width, int height) {
    return width >= 1 && width <= 16384 && height >= 1 && height <= 16384;
}

static bool open_section(const char* name, m64p_handle* section) {
    return m64p_core_attached() && m64p_core.config_open_section(name, section) == M64ERR_SUCCESS;
}

// Earlier versions kept the window in [Video-Vexa]; [Video-General] holds it now.
constexpr const char* kMovedSettings[] = {"ScreenWidth", "ScreenHeight", "Fullscreen"};

bool m64p_register_settings() {
    m64p_handle general = nullptr, own = nullptr;
    if (!open_section(kGeneralSection, &general) || !open_section(kSettingsSection, &own))
        return false;
    const VideoSettings& d = kDefaultSettings;
    m64p_core.config_set_default_int(general, "ScreenWidth", d.width,
                                     "Width of the window in pixels, also of the full-screen "
                                     "mode; the picture is scaled from the console's 320 x 240");
    m64p_core.config_set_default_int(general, "ScreenHeight", d.height,
                                     "Height of the window in pixels, also of the full-screen "
                                     "mode");
    m64p_core.config_set_default_bool(general, "Fullscreen", d.fullscreen,
                                      "Start the game in full screen (the emulator's full-screen "
                                      "key switches while it runs)");
    m64p_core.config_set_default_bool(general, "VerticalSync", d.vertical_sync,
                                      "Show each frame in step with the display's refresh");
    for (const SettingRow& row : setting_rows()) {
        const std::string first = setting_default(row);
        if (row.type == SettingType::number)
            m64p_core.config_set_default_int(own, row.key, std::atoi(first.c_str()),
                                             row.description);
        else if (row.type == SettingType::flag)
            m64p_core.config_set_default_bool(own, row.key, first == "True", row.description);
        else
            m64p_core.config_set_default_string(own, row.key, first.c_str(), row.description);
    }
    for (const char* name : {kGeneralSection, kSettingsSection})
        if (m64p_core.config_has_unsaved_changes(name)) m64p_core.config_save_section(name);
    return true;
}

VideoSettings m64p_read_settings() {
    VideoSettings s     = kDefaultSettings;
    m64p_handle general = nullptr;
    m64p_handle own     = nullptr;
    if (!open_section(kGeneralSection, &general) || !open_section(kSettingsSection, &own)) return s;
    const int width  = m64p_core.config_get_param_int(general, "ScreenWidth");
    const int height = m64p_core.config_get_param_int(general, "ScreenHeight");
    if (sane_size(width, height)) {
        s.width  = width;
        s.height = height;
    } else {
        m64p_log(M64MSG_WARNING,
                 "[%s] ScreenWidth=%d, ScreenHeight=%d is no window size: using %d x %d",
                 kGeneralSection, width, height, s.width, s.height);
    }
    s.fullscreen    = m64p_core.config_get_param_bool(general, "Fullscreen") != 0;
    s.vertical_sync = m64p_core.config_get_param_bool(general, "VerticalSync") != 0;

    player_settings = default_player_settings();
    for (const SettingRow& row : setting_rows()) {
        std::string value;
        if (row.type == SettingType::number)
            value = std::to_string(m64p_core.config_get_param_int(own, row.key));
        else if (row.type == SettingType::flag)
            value = m64p_core.config_get_param_bool(own, row.key) ? "True" : "False";
        else if (const char* text = m64p_core.config_get_param_string(own, row.key))
            value = text;
        apply_setting(kSettingsSection, row, value.c_str(), &player_settings);
    }

    for (const char* name : kMovedSettings) {
        m64p_type type;
        if (m64p_core.config_get_parameter_type(own, name, &type) == M64ERR_SUCCESS)
            m64p_log(M64MSG_WARNING, "[%s] %s is not read any more: [%s] %s is", kSettingsSection,
                     name, kGeneralSection, name);
    }
    return s;
}

std::string m64p_user_data_dir() {
    const char* path =
        m64p_core.config_get_user_data_path ? m64p_core.config_get_user_data_path() : nullptr;
    std::string dir = path ? path : "";
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}
