// The Win32 face: what it does for each call of platform.h (platform/platform_face.h),
// gathered in the table that win32_face.cpp installs
#pragma once
#include "platform/platform_face.h"

MessageAnswer win32_message_box(const char* text, const char* caption, MessageIcon icon,
                                MessageButtons buttons);
void win32_log(LogLevel level, const char* text);
bool win32_client_rect(void* window, ClientRect* rect);
bool win32_current_display_mode(DisplayMode* mode);
bool win32_change_display_mode(int32_t width, int32_t height, int32_t bits);
bool win32_test_registry_display_mode();
void win32_reset_display_mode(const DisplayMode* mode);
void win32_show_cursor(bool show);
bool win32_window_rect(void* window, Rect* rect);
bool win32_window_normal_rect(void* window, Rect* rect);
void* win32_window_menu(void* window);
void win32_set_window_menu(void* window, void* menu);
uint32_t win32_window_style(void* window);
uint32_t win32_window_ex_style(void* window);
void win32_set_window_style(void* window, uint32_t style);
void win32_set_window_ex_style(void* window, uint32_t style);
bool win32_window_visible(void* window);
void win32_show_window(void* window, ShowWindowAs how);
void win32_place_window(void* window, WindowLayer layer, const Rect& rect, bool keep_size);
GlDevice win32_get_device(void* window);
int win32_choose_pixel_format(GlDevice device, const PixelFormatRequest& request);
bool win32_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request);
void win32_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request);
GlContext win32_create_context(GlDevice device);
bool win32_make_current(GlDevice device, GlContext context);
bool win32_delete_context(GlContext context);
bool win32_release_device(void* window, GlDevice device);
void win32_swap_buffers(GlDevice device);
void* win32_gl_function(const char* name);
std::string win32_host_executable_dir();
DialogHandle win32_create_config_dialog(void* module, DialogProc proc);
bool win32_dialog_button_checked(DialogHandle dialog, int control);
void win32_dialog_check_button(DialogHandle dialog, int control);
void win32_end_dialog(DialogHandle dialog, int result);
