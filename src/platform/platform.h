// What the plug-in needs of the operating system, named after what it does.
// win32/ maps each call onto the Win32 function of the same job; sdl/ serves Linux.
#pragma once
#include <cstdint>
#include <string>

// Message boxes, shown without an owner window.
enum class MessageIcon { none, information, error, question };
enum class MessageButtons { ok, yes_no };
// not_shown: no box could be shown (no display); callers take the default button.
enum class MessageAnswer { ok, yes, no, not_shown };

MessageAnswer platform_message_box(const char* text, const char* caption, MessageIcon icon,
                                   MessageButtons buttons);

// A line in the host's log: the emulator's log where the host keeps one, else standard error.
enum class LogLevel { debug, info, warning, error };
void platform_log(LogLevel level, const char* text);

struct Rect {
    int32_t left, top, right, bottom;
};
using ClientRect = Rect;

// Client area of a window (GetClientRect). A null window is the plug-in's own window.
bool platform_client_rect(void* window, ClientRect* rect);

// Full screen: the display mode and the steps that make a window a topmost popup covering
// the screen and back, one per USER32 call. Where a window system has a full-screen state of
// its own (X11 window managers), the popup style stands for that state.
struct DisplayMode {
    int32_t width, height, bits;
    alignas(8) uint8_t record[160]; // the system's own description (DEVMODEA), put back whole
};
// EnumDisplaySettingsA(null, ENUM_CURRENT_SETTINGS).
bool platform_current_display_mode(DisplayMode* mode);
// ChangeDisplaySettingsA(CDS_FULLSCREEN) with only depth and size set; false when refused.
bool platform_change_display_mode(int32_t width, int32_t height, int32_t bits);
bool platform_test_registry_display_mode(); // ChangeDisplaySettingsA(null, CDS_TEST)
void platform_reset_display_mode(
    const DisplayMode* mode);         // (mode, CDS_RESET); null: the registry's
void platform_show_cursor(bool show); // ShowCursor

// Window styles as USER32 numbers them.
constexpr uint32_t kStylePopup       = 0x80000000; // WS_POPUP
constexpr uint32_t kStyleVisible     = 0x10000000; // WS_VISIBLE
constexpr uint32_t kExStyleTopmost   = 0x00000008; // WS_EX_TOPMOST
constexpr uint32_t kExStyleAppWindow = 0x00040000; // WS_EX_APPWINDOW

bool platform_window_rect(void* window, Rect* rect);             // GetWindowRect, screen pixels
bool platform_window_normal_rect(void* window, Rect* rect);      // GetWindowPlacement
void* platform_window_menu(void* window);                        // GetMenu; null without one
void platform_set_window_menu(void* window, void* menu);         // SetMenu
uint32_t platform_window_style(void* window);                    // GWL_STYLE
uint32_t platform_window_ex_style(void* window);                 // GWL_EXSTYLE
void platform_set_window_style(void* window, uint32_t style);    // SetWindowLongA(GWL_STYLE)
void platform_set_window_ex_style(void* window, uint32_t style); // SetWindowLongA(GWL_EXSTYLE)
bool platform_window_visible(void* window);                      // IsWindowVisible
enum class ShowWindowAs { hide, show, normal };                  // SW_HIDE, SW_SHOW, SW_SHOWNORMAL
void platform_show_window(void* window, ShowWindowAs how);       // ShowWindow
// SetWindowPos with SWP_SHOWWINDOW: to the top of its layer, into or out of the topmost layer, to
// `rect`, keeping the size when `keep_size` (SWP_NOSIZE).
enum class WindowLayer { top, topmost, not_topmost }; // HWND_TOP, HWND_TOPMOST, HWND_NOTOPMOST
void platform_place_window(void* window, WindowLayer layer, const Rect& rect, bool keep_size);

// The pixel format request of the OpenGL context (a PIXELFORMATDESCRIPTOR's fields in use, and
// the samples of a multisampled format), the one description of the format on every platform. No
// alpha, stencil, accumulation or auxiliary buffer: the frame is opaque.
constexpr uint32_t kPfdDoubleBuffer = 0x1;
struct PixelFormatRequest {
    uint16_t size        = 40;
    uint16_t version     = 1;
    uint32_t flags       = 0x25; // draw to window, support OpenGL, double buffer
    uint8_t pixel_type   = 0;    // RGBA
    uint8_t color_bits   = 32;   // red, green and blue together
    uint8_t alpha_bits   = 0;
    uint8_t depth_bits   = 16;
    uint8_t stencil_bits = 0;
    uint8_t samples      = 0; // multisampled: samples per pixel (MultiSampling); 0 for none
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
// An OpenGL function of the current context past what the system library exports
// (wglGetProcAddress); null when the context has none.
void* platform_gl_function(const char* name);

// Profile (INI) files, read and written as GetPrivateProfileIntA and
// WritePrivateProfileStringA do. A missing file, section or key reads as `fallback`.
int32_t platform_profile_read_int(const char* section, const char* key, int32_t fallback,
                                  const char* path);
std::string platform_profile_read_string(const char* section, const char* key, const char* fallback,
                                         const char* path);
bool platform_profile_write_string(const char* section, const char* key, const char* value,
                                   const char* path); // false when the file was left as it was
// Drops what the system caches of profile files (WritePrivateProfileStringW with a null
// section, key and value on "appname.ini"); nothing to do where nothing is cached.
void platform_profile_flush_cache();

// Drive and directory of the host's executable with a trailing separator
// (GetModuleFileNameA of the main module, split as _splitpath does); empty when unknown.
std::string platform_host_executable_dir();
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The modeless configuration dialog, from the IDD_CONFIG template of `module`
// (CreateDialogParamA without owner window). Its procedure gets `init` before the create
// call returns (WM_INITDIALOG) and then a `command` per pressed control (WM_COMMAND).
using DialogHandle = void*;
enum class DialogMessage { init, command };
using DialogProc = bool (*)(DialogHandle dialog, DialogMessage message, int control);

DialogHandle platform_create_config_dialog(void* module, DialogProc proc); // null on failure
bool platform_dialog_button_checked(DialogHandle dialog, int control);     // BM_GETCHECK
void platform_dialog_check_button(DialogHandle dialog, int control);       // BM_SETCHECK, checked
void platform_end_dialog(DialogHandle dialog, int result);                 // EndDialog

// Test seam: a scripted user interface, and failures injected into the context steps.
struct UiScript {
    // Answers a message box instead of showing it; records what was asked.
    MessageAnswer (*message_box)(const char* text, const char* caption, MessageIcon icon,
                                 MessageButtons buttons, void* user);
    void* user;
    // The configuration dialog, when set: created, read and ended instead of a real one.
    DialogHandle (*create_dialog)(DialogProc proc, void* user)           = nullptr;
    bool (*button_checked)(DialogHandle dialog, int control, void* user) = nullptr;
    void (*check_button)(DialogHandle dialog, int control, void* user)   = nullptr;
    void (*end_dialog)(DialogHandle dialog, int result, void* user)      = nullptr;
};
// Test seam: profile files of a test live under this folder instead of the executable's.
void platform_override_host_dir(const char* dir); // null restores the executable's folder
const char* platform_host_dir_override();
void platform_install_ui_script(const UiScript* script); // null restores the real UI
const UiScript* platform_ui_script();
// Test seam: the size of the window the plug-in opens for itself when the host gives none
// (640 x 480 unless set before the first window is made); the fuzzers draw into a few pixels.
void platform_override_own_window_size(int32_t width, int32_t height);
void platform_own_window_size(int32_t* width, int32_t* height);

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
