// What the plug-in needs of the operating system, named after what it does.
// win32/ maps each call onto the Win32 function of the same job; sdl/ serves Linux.
#pragma once
#include <cstdint>

// Message boxes, shown without an owner window.
enum class MessageIcon { none, information, error, question };
enum class MessageButtons { ok, yes_no };
enum class MessageAnswer { ok, yes, no };

MessageAnswer platform_message_box(const char* text, const char* caption, MessageIcon icon,
                                   MessageButtons buttons);

// Client area of a window (GetClientRect). A null window is the plug-in's own window.
struct ClientRect {
    int32_t left, top, right, bottom;
};
bool platform_client_rect(void* window, ClientRect* rect);

// The pixel format request of the OpenGL context (a PIXELFORMATDESCRIPTOR's fields in use).
struct PixelFormatRequest {
    uint16_t size       = 40;
    uint16_t version    = 1;
    uint32_t flags      = 0x25; // draw to window, support OpenGL, double buffer
    uint8_t pixel_type  = 0;    // RGBA
    uint8_t color_bits  = 32;
    uint8_t depth_bits  = 16;
};

// The steps of OpenGL context creation and release, one per Win32 call.
using GlDevice  = void*; // device context of a window (GetDC)
using GlContext = void*; // rendering context (wglCreateContext)

GlDevice platform_get_device(void* window);
int platform_choose_pixel_format(GlDevice device, const PixelFormatRequest& request);
bool platform_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request);
void platform_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request);
GlContext platform_create_context(GlDevice device);
bool platform_make_current(GlDevice device, GlContext context); // null, null releases
bool platform_delete_context(GlContext context);
bool platform_release_device(void* window, GlDevice device);
void platform_swap_buffers(GlDevice device);

// Test seam: a scripted user interface, and failures injected into the context steps.
struct UiScript {
    // Answers a message box instead of showing it; records what was asked.
    MessageAnswer (*message_box)(const char* text, const char* caption, MessageIcon icon,
                                 MessageButtons buttons, void* user);
    void* user;
};
void platform_install_ui_script(const UiScript* script); // null restores the real UI
const UiScript* platform_ui_script();

enum class GlStep {
    none,
    get_device,
    choose_pixel_format,
    set_pixel_format,
    create_context,
    make_current,
    release_current,
    delete_context,
    release_device
};
void platform_fail_gl_step(GlStep step); // the next calls of that step fail; none clears
bool platform_gl_step_fails(GlStep step);
