// Windows on an X11 display, reached through SDL's own connection: geometry, mapping and the
// window manager's full-screen state
#pragma once
#include <cstdint>

#include "platform/platform.h"

struct X11Window {
    void* display;   // SDL's Display
    uint64_t window; // X window id
};

// The X11 window behind a handle of the host (null: the plug-in's own window); false when
// SDL does not run on X11.
bool x11_window_of(void* window, X11Window* out);
// Client area in root-window coordinates: where the window's pixels are on the screen.
bool x11_client_rect(const X11Window& w, Rect* rect);
// Moves (and sizes) the client area to `rect`; the window manager's frame goes around it.
void x11_move_window(const X11Window& w, const Rect& rect, bool keep_size);
bool x11_viewable(const X11Window& w);
void x11_map(const X11Window& w, bool mapped);
// The EWMH full-screen state (_NET_WM_STATE_FULLSCREEN), which the window manager keeps.
bool x11_fullscreen_state(const X11Window& w);
void x11_request_fullscreen(const X11Window& w, bool on);
// Waits (a second at most) until the window manager has carried the request out.
void x11_wait_for_fullscreen_state(const X11Window& w, bool on);
