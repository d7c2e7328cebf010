// Test seam shared by every platform implementation
#include "platform/platform.h"

#include <atomic>

static std::atomic<const UiScript*> ui_script{nullptr};
static GlStep failing_step = GlStep::none;

void platform_install_ui_script(const UiScript* script) {
    ui_script = script;
}
const UiScript* platform_ui_script() {
    return ui_script;
}

void platform_fail_gl_step(GlStep step) {
    failing_step = step;
}
bool platform_gl_step_fails(GlStep step) {
    return step != GlStep::none && step == failing_step;
}
