// The platform layer inside mupen64plus: window and context from the core's video extension,
// messages to the core's log
#include <dlfcn.h>

#include <string>

#include "faces/m64p/m64p_core.h"
#include "faces/m64p/m64p_face.h"

// No dialog can be shown: the text goes to the emulator's log and the caller takes the
// default button (OK, or Yes as on Windows).
MessageAnswer m64p_message_box(const char* text, const char* caption, MessageIcon icon,
                               MessageButtons buttons) {
    if (const UiScript* script = platform_ui_script())
        return script->message_box(text, caption, icon, buttons, script->user);
    std::string line = text;
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    for (char& c : line)
        if (c == '\n') c = ' ';
    m64p_log(icon == MessageIcon::error ? M64MSG_ERROR : M64MSG_INFO, "%s: %s", caption,
             line.c_str());
    return MessageAnswer::not_shown;
}

void m64p_log_line(LogLevel level, const char* text) {
    m64p_log(level == LogLevel::error     ? M64MSG_ERROR
             : level == LogLevel::warning ? M64MSG_WARNING
             : level == LogLevel::info    ? M64MSG_INFO
                                          : M64MSG_VERBOSE,
             "%s", text);
}

// The only window is the one the core opened for us.
bool m64p_client_rect(void*, ClientRect* rect) {
    *rect = ClientRect{};
    if (!m64p_video.open) return false;
    rect->right  = m64p_video.width;
    rect->bottom = m64p_video.height;
    return true;
}

// The steps map onto the video extension: the device is the core's video subsystem
// (VidExt_Init), the pixel format its OpenGL attributes, the context the window that
// VidExt_SetVideoMode opens with its context current on this thread.
GlDevice m64p_get_device(void*) {
    if (platform_gl_step_fails(GlStep::get_device) || !m64p_core_attached()) return nullptr;
    if (m64p_core.vidext_init() != M64ERR_SUCCESS) return nullptr;
    return &m64p_video;
}

int m64p_choose_pixel_format(GlDevice, const PixelFormatRequest& request) {
    if (platform_gl_step_fails(GlStep::choose_pixel_format)) return 0;
    const int channel = request.color_bits / 4;
    const struct {
        m64p_GLattr attribute;
        int value;
    } attributes[] = {
        {M64P_GL_CONTEXT_PROFILE_MASK, M64P_GL_CONTEXT_PROFILE_COMPATIBILITY},
        {M64P_GL_DOUBLEBUFFER, (request.flags & kPfdDoubleBuffer) ? 1 : 0},
        {M64P_GL_BUFFER_SIZE, 3 * channel + request.alpha_bits},
        {M64P_GL_DEPTH_SIZE, request.depth_bits},
        {M64P_GL_RED_SIZE, channel},
        {M64P_GL_GREEN_SIZE, channel},
        {M64P_GL_BLUE_SIZE, channel},
        {M64P_GL_ALPHA_SIZE, request.alpha_bits},
        {M64P_GL_MULTISAMPLEBUFFERS, m64p_video.multisampling ? 1 : 0},
        {M64P_GL_MULTISAMPLESAMPLES, m64p_video.multisampling},
    };
    for (const auto& a : attributes)
        if (m64p_core.vidext_gl_set_attribute(a.attribute, a.value) != M64ERR_SUCCESS) return 0;
    return 1;
}

bool m64p_set_pixel_format(GlDevice, int, const PixelFormatRequest&) {
    return !platform_gl_step_fails(GlStep::set_pixel_format);
}

void m64p_describe_pixel_format(GlDevice, int, PixelFormatRequest*) {}

// The video extension's swap-control attribute; Debian's core (2.5.9) refuses it before and
// after the window opens (M64ERR_INPUT_INVALID), so the interval then goes to SDL's own
// function for the core's window, whose context is current on this thread.
static void set_swap_interval(int interval) {
    if (m64p_core.vidext_gl_set_attribute(M64P_GL_SWAP_CONTROL, interval) == M64ERR_SUCCESS) return;
    using SetSwapInterval = int (*)(int);
    const auto sdl_set =
        reinterpret_cast<SetSwapInterval>(dlsym(RTLD_DEFAULT, "SDL_GL_SetSwapInterval"));
    if ((!sdl_set || sdl_set(interval) != 0) && interval)
        m64p_log(M64MSG_WARNING, "the display cannot swap in step with its refresh");
}

static bool set_video_mode() {
    const m64p_video_mode mode = m64p_video.fullscreen ? M64VIDEO_FULLSCREEN : M64VIDEO_WINDOWED;
    return m64p_core.vidext_set_video_mode(m64p_video.width, m64p_video.height, 32, mode,
                                           M64VIDEOFLAG_SUPPORT_RESIZING) == M64ERR_SUCCESS;
}

GlContext m64p_create_context(GlDevice) {
    if (platform_gl_step_fails(GlStep::create_context)) return nullptr;
    bool opened = set_video_mode();
    // A display without multisampled formats still gets a window, with sharp edges.
    if (!opened && m64p_video.multisampling) {
        m64p_log(M64MSG_WARNING, "no window with %d samples per pixel: opening one without",
                 m64p_video.multisampling);
        m64p_video.multisampling = 0;
        m64p_core.vidext_gl_set_attribute(M64P_GL_MULTISAMPLEBUFFERS, 0);
        m64p_core.vidext_gl_set_attribute(M64P_GL_MULTISAMPLESAMPLES, 0);
        opened = set_video_mode();
    }
    if (!opened) return nullptr;
    m64p_video.open = true;
    set_swap_interval(m64p_video.vertical_sync ? 1 : 0);
    return &m64p_video;
}

// VidExt_SetVideoMode left the context current on the calling thread, and it stays so.
bool m64p_make_current(GlDevice device, GlContext context) {
    if (!device && !context) return !platform_gl_step_fails(GlStep::release_current);
    return !platform_gl_step_fails(GlStep::make_current) && m64p_video.open;
}

// The context goes with the window, when the video subsystem is released.
bool m64p_delete_context(GlContext) { return !platform_gl_step_fails(GlStep::delete_context); }

bool m64p_release_device(void*, GlDevice) {
    if (platform_gl_step_fails(GlStep::release_device)) return false;
    m64p_video.open = false;
    return m64p_core_attached() && m64p_core.vidext_quit() == M64ERR_SUCCESS;
}

void* m64p_gl_function(const char* name) {
    if (!m64p_core.vidext_gl_get_proc_address) return nullptr;
    return reinterpret_cast<void*>(m64p_core.vidext_gl_get_proc_address(name));
}

// The core's overlay (messages, frame counter) goes on top of the finished frame.
void m64p_swap_buffers(GlDevice) {
    if (!m64p_video.open) return;
    if (m64p_video.render_callback) m64p_video.render_callback(1);
    m64p_core.vidext_gl_swap_buffers();
}

// The plug-in's files live in the core's user configuration folder.
std::string m64p_host_executable_dir() {
    std::string dir;
    if (const char* override_dir = platform_host_dir_override())
        dir = override_dir;
    else if (m64p_core_attached())
        if (const char* config = m64p_core.config_get_user_config_path()) dir = config;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// mupen64plus has no configuration dialog: the family comes from the INI file or the
// microcode's text.
DialogHandle m64p_create_config_dialog(void*, DialogProc) { return nullptr; }
bool m64p_dialog_button_checked(DialogHandle, int) { return false; }
void m64p_dialog_check_button(DialogHandle, int) {}
void m64p_end_dialog(DialogHandle, int) {}
