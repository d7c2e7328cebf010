// ChangeWindow: the host's window between its desktop form and full screen. Full screen asks
// for the desktop's size at 16 bits per pixel and turns the window into a topmost popup that
// covers the screen, without frame, menu, status bar or cursor; leaving puts all of it back.
// The OpenGL context stays on the window: ProcessDList measures the new size at every task.
#include "host/fullscreen.h"

#include "host/plugin.h"
#include "platform/platform.h"

int32_t is_fullscreen;

// What full screen takes away, kept until it is given back.
static struct {
    DisplayMode mode;      // the desktop's display mode
    bool mode_changed;     // the display runs the full-screen mode
    Rect rect;             // window rectangle, screen pixels
    Rect normal_rect;      // the placement's normal rectangle
    void* menu;            // null when the window had none
    uint32_t style;        // GWL_STYLE
    uint32_t ex_style;     // GWL_EXSTYLE
    bool status_bar_shown; // the host's status bar was visible
} saved;

void toggle_fullscreen() {
    if (is_fullscreen) {
        is_fullscreen = leave_fullscreen();
        return;
    }
    if (!platform_current_display_mode(&saved.mode)) return;
    platform_window_rect(host.window, &saved.rect);
    is_fullscreen = enter_fullscreen(saved.mode.width, saved.mode.height, 16);
}

int32_t enter_fullscreen(int32_t width, int32_t height, int32_t bits) {
    // Current display drivers refuse most 16-bit modes. The window then covers the screen at
    // the desktop's own mode rather than staying as it is, and leaving restores no mode.
    saved.mode_changed = platform_change_display_mode(width, height, bits);
    platform_show_cursor(false);
    platform_window_normal_rect(host.window, &saved.normal_rect);
    if (host.status_bar) {
        saved.status_bar_shown = platform_window_visible(host.status_bar);
        platform_show_window(host.status_bar, ShowWindowAs::hide);
    }
    saved.menu = platform_window_menu(host.window);
    if (saved.menu) platform_set_window_menu(host.window, nullptr);
    saved.style    = platform_window_style(host.window);
    saved.ex_style = platform_window_ex_style(host.window);
    platform_set_window_ex_style(host.window, kExStyleAppWindow | kExStyleTopmost);
    platform_set_window_style(host.window, kStylePopup | kStyleVisible);
    platform_place_window(host.window, WindowLayer::topmost, Rect{0, 0, width, height}, false);
    return 1;
}

int32_t leave_fullscreen() {
    platform_set_window_style(host.window, 0);
    platform_show_window(host.window, ShowWindowAs::normal);
    if (saved.mode_changed) {
        const bool registry_mode_works = platform_test_registry_display_mode();
        platform_reset_display_mode(nullptr);
        if (registry_mode_works) platform_reset_display_mode(&saved.mode);
        saved.mode_changed = false;
    }
    // A status bar the user had hidden stays hidden.
    if (host.status_bar && saved.status_bar_shown)
        platform_show_window(host.status_bar, ShowWindowAs::show);
    if (saved.menu) {
        platform_set_window_menu(host.window, saved.menu);
        saved.menu = nullptr;
    }
    platform_set_window_style(host.window, saved.style);
    // Without its own extended style the host's window would, among others, no longer take
    // files dropped on it (WS_EX_ACCEPTFILES).
    platform_set_window_ex_style(host.window, saved.ex_style);
    // Out of the topmost layer at the normal position; the size given here is not used.
    const Rect normal = saved.normal_rect;
    platform_place_window(host.window, WindowLayer::not_topmost,
                          Rect{normal.left, normal.top, normal.left + 640, normal.top + 480}, true);
    platform_show_cursor(true);
    platform_place_window(host.window, WindowLayer::top, saved.rect, false);
    platform_window_rect(host.window, &saved.rect);
    return 0;
}
