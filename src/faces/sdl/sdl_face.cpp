// The SDL face's table, installed when the library starts
#include "faces/sdl/sdl_face.h"

static const PlatformFace kSdlFace = {
    sdl_message_box,           sdl_log,
    sdl_client_rect,           sdl_current_display_mode,
    sdl_change_display_mode,   sdl_test_registry_display_mode,
    sdl_reset_display_mode,    sdl_show_cursor,
    sdl_window_rect,           sdl_window_normal_rect,
    sdl_window_menu,           sdl_set_window_menu,
    sdl_window_style,          sdl_window_ex_style,
    sdl_set_window_style,      sdl_set_window_ex_style,
    sdl_window_visible,        sdl_show_window,
    sdl_place_window,          sdl_get_device,
    sdl_choose_pixel_format,   sdl_set_pixel_format,
    sdl_describe_pixel_format, sdl_create_context,
    sdl_make_current,          sdl_delete_context,
    sdl_release_device,        sdl_swap_buffers,
    sdl_gl_function,           sdl_host_executable_dir,
    sdl_create_config_dialog,  sdl_dialog_button_checked,
    sdl_dialog_check_button,   sdl_end_dialog,
};

[[maybe_unused]] static const bool installed = (platform_install_face(kSdlFace), true);
