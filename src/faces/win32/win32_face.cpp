// The Win32 face's table, installed when the library starts
#include "faces/win32/win32_face.h"

static const PlatformFace kWin32Face = {
    win32_message_box,           win32_log,
    win32_client_rect,           win32_current_display_mode,
    win32_change_display_mode,   win32_test_registry_display_mode,
    win32_reset_display_mode,    win32_show_cursor,
    win32_window_rect,           win32_window_normal_rect,
    win32_window_menu,           win32_set_window_menu,
    win32_window_style,          win32_window_ex_style,
    win32_set_window_style,      win32_set_window_ex_style,
    win32_window_visible,        win32_show_window,
    win32_place_window,          win32_get_device,
    win32_choose_pixel_format,   win32_set_pixel_format,
    win32_describe_pixel_format, win32_create_context,
    win32_make_current,          win32_delete_context,
    win32_release_device,        win32_swap_buffers,
    win32_gl_function,           win32_host_executable_dir,
    win32_create_config_dialog,  win32_dialog_button_checked,
    win32_dialog_check_button,   win32_end_dialog,
};

[[maybe_unused]] static const bool installed = (platform_install_face(kWin32Face), true);
