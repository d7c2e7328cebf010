// The SDL face: what it does for each call of platform.h (platform/platform_face.h),
// gathered in the table that sdl_face.cpp installs
#pragma once
#include "platform/platform_face.h"

MessageAnswer sdl_message_box(const char* text, const char* caption, MessageIcon icon,
                              MessageButtons buttons);
void sdl_log(LogLevel level, const char* text);
bool sdl_client_rect(void* window, ClientRect* rect);
bool sdl_current_display_mode(DisplayMode* mode);
bool sdl_change_display_mode(int32_t width, int32_t height, int32_t bits);
bool sdl_test_registry_display_mode();
void sdl_reset_display_mode(const DisplayMode* mode);
void sdl_show_cursor(bool show);
bool sdl_window_rect(void* window, Rect* rect);
bool sdl_window_normal_rect(void* window, Rect* rect);
void* sdl_window_menu(void* window);
void sdl_set_window_menu(void* window, void* menu);
uint32_t sdl_window_style(void* window);
uint32_t sdl_window_ex_style(void* window);
void sdl_set_window_style(void* window, uint32_t style);
void sdl_set_window_ex_style(void* window, uint32_t style);
bool sdl_window_visible(void* window);
void sdl_show_window(void* window, ShowWindowAs how);
void sdl_place_window(void* window, WindowLayer layer, const Rect& rect, bool keep_size);
GlDevice sdl_get_device(void* window);
int sdl_choose_pixel_format(GlDevice device, const PixelFormatRequest& request);
bool sdl_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request);
void sdl_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request);
GlContext sdl_create_context(GlDevice device);
bool sdl_make_current(GlDevice device, GlContext context);
bool sdl_delete_context(GlContext context);
bool sdl_release_device(void* window, GlDevice device);
void sdl_swap_buffers(GlDevice device);
void* sdl_gl_function(const char* name);
std::string sdl_host_executable_dir();
DialogHandle sdl_create_config_dialog(void* module, DialogProc proc);
bool sdl_dialog_button_checked(DialogHandle dialog, int control);
void sdl_dialog_check_button(DialogHandle dialog, int control);
void sdl_end_dialog(DialogHandle dialog, int result);
