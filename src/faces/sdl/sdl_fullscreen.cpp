// The full-screen steps on Linux. The plug-in's own window uses SDL's desktop full screen; a
// host's X11 window asks the window manager for its full-screen state (EWMH), as X11
// applications do. The display mode never changes: an X server runs the whole screen at one
// depth, so a 16-bit mode cannot be had, and the desktop's own mode shows the same picture.
// Menus and extended styles are USER32's own: X11 windows have neither.
#include <SDL.h>

#include "faces/sdl/sdl_face.h"
#include "faces/sdl/sdl_window.h"
#include "faces/sdl/sdl_x11.h"
#include "state/host_state.h"

bool sdl_current_display_mode(DisplayMode* mode) {
    *mode              = DisplayMode{};
    SDL_Window* window = sdl_window_for(host.window);
    const int index    = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &desktop) != 0) return false;
    mode->width  = desktop.w;
    mode->height = desktop.h;
    mode->bits   = static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format));
    return true;
}

bool sdl_change_display_mode(int32_t, int32_t, int32_t) { return false; }
bool sdl_test_registry_display_mode() { return true; }
void sdl_reset_display_mode(const DisplayMode*) {}

void sdl_show_cursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

bool sdl_window_rect(void* window, Rect* rect) {
    *rect = Rect{};
    X11Window x;
    if (x11_window_of(window, &x)) return x11_client_rect(x, rect);
    SDL_Window* own = window ? nullptr : sdl_window_for(nullptr);
    if (!own) return false;
    int left = 0, top = 0, width = 0, height = 0;
    SDL_GetWindowPosition(own, &left, &top);
    SDL_GetWindowSize(own, &width, &height);
    *rect = Rect{left, top, left + width, top + height};
    return true;
}

// X11 keeps no restored rectangle apart from the window's own.
bool sdl_window_normal_rect(void* window, Rect* rect) { return sdl_window_rect(window, rect); }

void* sdl_window_menu(void*) { return nullptr; }
void sdl_set_window_menu(void*, void*) {}
uint32_t sdl_window_ex_style(void*) { return 0; }
void sdl_set_window_ex_style(void*, uint32_t) {}

static bool in_fullscreen_state(void* window) {
    if (!window) {
        SDL_Window* own = sdl_window_for(nullptr);
        return own && (SDL_GetWindowFlags(own) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                          SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    X11Window x;
    return x11_window_of(window, &x) && x11_fullscreen_state(x);
}

// A popup is the full-screen state; any other style the desktop form.
uint32_t sdl_window_style(void* window) {
    return kStyleVisible | (in_fullscreen_state(window) ? kStylePopup : 0);
}

void sdl_set_window_style(void* window, uint32_t style) {
    const bool full = (style & kStylePopup) != 0;
    if (full == in_fullscreen_state(window)) return;
    X11Window x;
    const bool on_x11 = x11_window_of(window, &x);
    if (!window) {
        SDL_SetWindowFullscreen(sdl_window_for(nullptr), full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    } else if (on_x11) {
        x11_request_fullscreen(x, full);
    }
    if (on_x11) x11_wait_for_fullscreen_state(x, full);
}

bool sdl_window_visible(void* window) {
    X11Window x;
    return x11_window_of(window, &x) && x11_viewable(x);
}

void sdl_show_window(void* window, ShowWindowAs how) {
    X11Window x;
    if (x11_window_of(window, &x)) x11_map(x, how != ShowWindowAs::hide);
}

// X11 has no topmost layer for applications: a window in its full-screen state is stacked
// above the others by the window manager, which also gives it the screen's size.
void sdl_place_window(void* window, WindowLayer, const Rect& rect, bool keep_size) {
    if (in_fullscreen_state(window)) return;
    Rect now;
    sdl_window_rect(window, &now);
    const bool same_size = keep_size || (now.right - now.left == rect.right - rect.left &&
                                         now.bottom - now.top == rect.bottom - rect.top);
    if (now.left == rect.left && now.top == rect.top && same_size) return;
    X11Window x;
    if (window && x11_window_of(window, &x)) {
        x11_move_window(x, rect, keep_size);
        return;
    }
    SDL_Window* own = window ? nullptr : sdl_window_for(nullptr);
    if (!own) return;
    SDL_SetWindowPosition(own, rect.left, rect.top);
    if (!keep_size) SDL_SetWindowSize(own, rect.right - rect.left, rect.bottom - rect.top);
}
