// The mupen64plus face's table, installed when the library starts
#include "faces/m64p/m64p_face.h"

static const PlatformFace kM64pFace = {
    m64p_message_box,
    m64p_log_line,
    m64p_client_rect,
    // Full screen is the core's (VidExt_ToggleFullScreen): host/fullscreen.cpp is not in this
    // build.
    // clang-format off
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    // clang-format on
    m64p_get_device,
    m64p_choose_pixel_format,
    m64p_set_pixel_format,
    m64p_describe_pixel_format,
    m64p_create_context,
    m64p_make_current,
    m64p_delete_context,
    m64p_release_device,
    m64p_swap_buffers,
    m64p_gl_function,
    m64p_host_executable_dir,
    m64p_create_config_dialog,
    m64p_dialog_button_checked,
    m64p_dialog_check_button,
    m64p_end_dialog,
};

[[maybe_unused]] static const bool installed = (platform_install_face(kM64pFace), true);
