// The emulator core's services to a mupen64plus video plug-in: video extension, settings, log
#pragma once
#include <string>

#include "m64p_config.h"
#include "m64p_types.h"
#include "m64p_vidext.h"

// The core's functions, looked up in PluginStartup; null before and after.
struct M64pCore {
    void* debug_context;
    void (*debug_callback)(void* context, int level, const char* message);
    int version; // the core's own version, 0x020509 for 2.5.9

    ptr_VidExt_Init vidext_init;
    ptr_VidExt_Quit vidext_quit;
    ptr_VidExt_SetVideoMode vidext_set_video_mode;
    ptr_VidExt_ResizeWindow vidext_resize_window;
    ptr_VidExt_ToggleFullScreen vidext_toggle_full_screen;
    ptr_VidExt_GL_SetAttribute vidext_gl_set_attribute;
    ptr_VidExt_GL_SwapBuffers vidext_gl_swap_buffers;
    ptr_VidExt_GL_GetProcAddress vidext_gl_get_proc_address; // null where the core has none

    ptr_ConfigOpenSection config_open_section;
    ptr_ConfigSetDefaultInt config_set_default_int;
    ptr_ConfigSetDefaultBool config_set_default_bool;
    ptr_ConfigSetDefaultString config_set_default_string;
    ptr_ConfigGetParameterType config_get_parameter_type;
    ptr_ConfigGetParamInt config_get_param_int;
    ptr_ConfigGetParamBool config_get_param_bool;
    ptr_ConfigGetParamString config_get_param_string;
    ptr_ConfigHasUnsavedChanges config_has_unsaved_changes;
    ptr_ConfigSaveSection config_save_section;
    ptr_ConfigGetUserConfigPath config_get_user_config_path;
    ptr_ConfigGetUserDataPath config_get_user_data_path;
};
extern M64pCore m64p_core;

// M64ERR_SUCCESS, or why the core cannot serve this plug-in (missing function, API version).
m64p_error m64p_attach_core(m64p_dynlib_handle core, void* context,
                            void (*debug_callback)(void*, int, const char*));
void m64p_detach_core();
bool m64p_core_attached();

// A line in the emulator's log, "Video-Vexa: " first; nothing before PluginStartup.
void m64p_log(m64p_msg_level level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// [Video-General] is what the front end writes (--resolution, --fullscreen) and every video
// plug-in reads; [Video-Vexa] holds what is this plug-in's own: the player's settings
// (config/settings.h), under the names [Settings] of the INI file has.
constexpr char kGeneralSection[]  = "Video-General";
constexpr char kSettingsSection[] = "Video-Vexa";
struct VideoSettings {
    int width;          // window (or full-screen mode) width in pixels
    int height;         // and height
    bool fullscreen;    // start in full screen
    bool vertical_sync; // swap in step with the display's refresh
};
constexpr VideoSettings kDefaultSettings = {640, 480, false, false};

// The core's user data folder (~/.local/share/mupen64plus/) with a trailing '/'; empty when
// the core gives none.
std::string m64p_user_data_dir();
// Writes the parameters with their defaults and descriptions where they are missing, and
// saves the sections when that added anything. False when a section cannot be opened.
bool m64p_register_settings();
// The window's settings, and [Video-Vexa] into player_settings. Values out of range give the
// default with a warning in the log.
VideoSettings m64p_read_settings();

// The window the core opened for us (VidExt_SetVideoMode) and what the core asked of it.
struct M64pVideo {
    bool open;
    int width; // client size in pixels
    int height;
    bool fullscreen;
    bool vertical_sync;
    int multisampling;
    void (*render_callback)(int); // the core's overlay, drawn before each swap; may be null
};
extern M64pVideo m64p_video;
