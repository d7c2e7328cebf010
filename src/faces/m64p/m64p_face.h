// The mupen64plus face: what it does for each call of platform.h (platform/platform_face.h),
// gathered in the table that m64p_face.cpp installs
#pragma once
#include "platform/platform_face.h"

MessageAnswer m64p_message_box(const char* text, const char* caption, MessageIcon icon,
                               MessageButtons buttons);
void m64p_log_line(LogLevel level, const char* text);
bool m64p_client_rect(void* window, ClientRect* rect);
GlDevice m64p_get_device(void* window);
int m64p_choose_pixel_format(GlDevice device, const PixelFormatRequest& request);
bool m64p_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request);
void m64p_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request);
GlContext m64p_create_context(GlDevice device);
bool m64p_make_current(GlDevice device, GlContext context);
bool m64p_delete_context(GlContext context);
bool m64p_release_device(void* window, GlDevice device);
void m64p_swap_buffers(GlDevice device);
void* m64p_gl_function(const char* name);
std::string m64p_host_executable_dir();
DialogHandle m64p_create_config_dialog(void* module, DialogProc proc);
bool m64p_dialog_button_checked(DialogHandle dialog, int control);
void m64p_dialog_check_button(DialogHandle dialog, int control);
void m64p_end_dialog(DialogHandle dialog, int result);
