// What a face (faces/sdl, faces/win32, faces/m64p) gives the platform layer: one function for
// each call of platform.h that the host's system serves. The face installs its table when the
// library starts; platform.cpp passes every call on to it, so nothing below the faces calls
// into one.
#pragma once
#include "platform/platform.h"

struct PlatformFace {
    MessageAnswer (*message_box)(const char* text, const char* caption, MessageIcon icon,
                                 MessageButtons buttons);
    void (*log)(LogLevel level, const char* text);
    bool (*client_rect)(void* window, ClientRect* rect);

    // Full screen; null in a face whose host owns the window (mupen64plus).
    bool (*current_display_mode)(DisplayMode* mode);
    bool (*change_display_mode)(int32_t width, int32_t height, int32_t bits);
    bool (*test_registry_display_mode)();
    void (*reset_display_mode)(const DisplayMode* mode);
    void (*show_cursor)(bool show);
    bool (*window_rect)(void* window, Rect* rect);
    bool (*window_normal_rect)(void* window, Rect* rect);
    void* (*window_menu)(void* window);
    void (*set_window_menu)(void* window, void* menu);
    uint32_t (*window_style)(void* window);
    uint32_t (*window_ex_style)(void* window);
    void (*set_window_style)(void* window, uint32_t style);
    void (*set_window_ex_style)(void* window, uint32_t style);
    bool (*window_visible)(void* window);
    void (*show_window)(void* window, ShowWindowAs how);
    void (*place_window)(void* window, WindowLayer layer, const Rect& rect, bool keep_size);

    // The OpenGL context.
    GlDevice (*get_device)(void* window);
    int (*choose_pixel_format)(GlDevice device, const PixelFormatRequest& request);
    bool (*set_pixel_format)(GlDevice device, int format, const PixelFormatRequest& request);
    void (*describe_pixel_format)(GlDevice device, int format, PixelFormatRequest* request);
    GlContext (*create_context)(GlDevice device);
    bool (*make_current)(GlDevice device, GlContext context);
    bool (*delete_context)(GlContext context);
    bool (*release_device)(void* window, GlDevice device);
    void (*swap_buffers)(GlDevice device);
    void* (*gl_function)(const char* name);

    std::string (*host_executable_dir)();

    // The configuration dialog.
    DialogHandle (*create_config_dialog)(void* module, DialogProc proc);
    bool (*dialog_button_checked)(DialogHandle dialog, int control);
    void (*dialog_check_button)(DialogHandle dialog, int control);
    void (*end_dialog)(DialogHandle dialog, int result);
};

// Called once by the face, from a static initializer of its own, before any call of platform.h.
void platform_install_face(const PlatformFace& face);
