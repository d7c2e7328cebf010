// Test seam shared by every platform implementation
#include "platform/platform.h"

#include <atomic>
#include <string>

static std::atomic<const UiScript*> ui_script{nullptr};
static GlStep failing_step = GlStep::none;

void platform_install_ui_script(const UiScript* script) { ui_script = script; }
const UiScript* platform_ui_script() { return ui_script; }

void platform_fail_gl_step(GlStep step) { failing_step = step; }
bool platform_gl_step_fails(GlStep step) { return step != GlStep::none && step == failing_step; }

static std::string host_dir_override;
static bool host_dir_overridden;

void platform_override_host_dir(const char* dir) {
    host_dir_overridden = dir != nullptr;
    host_dir_override   = dir ? dir : "";
}
const char* platform_host_dir_override() {
    return host_dir_overridden ? host_dir_override.c_str() : nullptr;
}

static int32_t own_window_width = 640, own_window_height = 480;

void platform_override_own_window_size(int32_t width, int32_t height) {
    own_window_width  = width;
    own_window_height = height;
}
void platform_own_window_size(int32_t* width, int32_t* height) {
    *width  = own_window_width;
    *height = own_window_height;
}
