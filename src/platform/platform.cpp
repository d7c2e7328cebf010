// Every call of platform.h that the host's system serves, passed on to the face the library
// started with (platform_face.h)
#include "platform/platform_face.h"

static const PlatformFace* face = nullptr;

void platform_install_face(const PlatformFace& installed) { face = &installed; }

MessageAnswer platform_message_box(const char* text, const char* caption, MessageIcon icon,
                                   MessageButtons buttons) {
    return face->message_box(text, caption, icon, buttons);
}
void platform_log(LogLevel level, const char* text) { face->log(level, text); }
bool platform_client_rect(void* window, ClientRect* rect) {
    return face->client_rect(window, rect);
}
bool platform_current_display_mode(DisplayMode* mode) { return face->current_display_mode(mode); }
bool platform_change_display_mode(int32_t width, int32_t height, int32_t bits) {
    return face->change_display_mode(width, height, bits);
}
bool platform_test_registry_display_mode() { return face->test_registry_display_mode(); }
void platform_reset_display_mode(const DisplayMode* mode) { face->reset_display_mode(mode); }
void platform_show_cursor(bool show) { face->show_cursor(show); }
bool platform_window_rect(void* window, Rect* rect) { return face->window_rect(window, rect); }
bool platform_window_normal_rect(void* window, Rect* rect) {
    return face->window_normal_rect(window, rect);
}
void* platform_window_menu(void* window) { return face->window_menu(window); }
void platform_set_window_menu(void* window, void* menu) { face->set_window_menu(window, menu); }
uint32_t platform_window_style(void* window) { return face->window_style(window); }
uint32_t platform_window_ex_style(void* window) { return face->window_ex_style(window); }
void platform_set_window_style(void* window, uint32_t style) {
    face->set_window_style(window, style);
}
void platform_set_window_ex_style(void* window, uint32_t style) {
    face->set_window_ex_style(window, style);
}
bool platform_window_visible(void* window) { return face->window_visible(window); }
void platform_show_window(void* window, ShowWindowAs how) { face->show_window(window, how); }
void platform_place_window(void* window, WindowLayer layer, const Rect& rect, bool keep_size) {
    face->place_window(window, layer, rect, keep_size);
}
GlDevice platform_get_device(void* window) { return face->get_device(window); }
int platform_choose_pixel_format(GlDevice device, const PixelFormatRequest& request) {
    return face->choose_pixel_format(device, request);
}
bool platform_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request) {
    return face->set_pixel_format(device, format, request);
}
void platform_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request) {
    face->describe_pixel_format(device, format, request);
}
GlContext platform_create_context(GlDevice device) { return face->create_context(device); }
bool platform_make_current(GlDevice device, GlContext context) {
    return face->make_current(device, context);
}
bool platform_delete_context(GlContext context) { return face->delete_context(context); }
bool platform_release_device(void* window, GlDevice device) {
    return face->release_device(window, device);
}
void platform_swap_buffers(GlDevice device) { face->swap_buffers(device); }
void* platform_gl_function(const char* name) { return face->gl_function(name); }
std::string platform_host_executable_dir() { return face->host_executable_dir(); }
DialogHandle platform_create_config_dialog(void* module, DialogProc proc) {
    return face->create_config_dialog(module, proc);
}
bool platform_dialog_button_checked(DialogHandle dialog, int control) {
    return face->dialog_button_checked(dialog, control);
}
void platform_dialog_check_button(DialogHandle dialog, int control) {
    face->dialog_check_button(dialog, control);
}
void platform_end_dialog(DialogHandle dialog, int result) { face->end_dialog(dialog, result); }
