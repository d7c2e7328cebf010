// Windows on an X11 display, reached through SDL's own connection
#include "faces/sdl/sdl_x11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "faces/sdl/sdl_window.h"
#include "state/host_state.h"

bool x11_window_of(void* window, X11Window* out) {
    // Every window of the host lives on the display of the host's render window.
    SDL_Window* sdl = sdl_window_for(window ? host.window : nullptr);
    if (!sdl) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    out->display = info.info.x11.display;
    out->window  = window ? reinterpret_cast<uintptr_t>(window) : info.info.x11.window;
    return true;
}

static Display* display_of(const X11Window& w) { return static_cast<Display*>(w.display); }

static Atom atom(const X11Window& w, const char* name) {
    return XInternAtom(display_of(w), name, False);
}

// The first `count` 32-bit items of a window property (longs, as Xlib hands them out).
static int read_property(const X11Window& w, Window window, const char* name, Atom type,
                         long* items, int count) {
    Atom actual;
    int format;
    unsigned long n     = 0, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_of(w), window, atom(w, name), 0, count, False, type, &actual,
                           &format, &n, &after, &data) != Success ||
        format != 32) {
        if (data) XFree(data);
        return 0;
    }
    for (unsigned long i = 0; i < n; ++i)
        items[i] = reinterpret_cast<long*>(data)[i];
    XFree(data);
    return static_cast<int>(n);
}

bool x11_client_rect(const X11Window& w, Rect* rect) {
    Display* d = display_of(w);
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w.window, &a)) return false;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(d, w.window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    *rect = Rect{x, y, x + a.width, y + a.height};
    return true;
}

void x11_move_window(const X11Window& w, const Rect& rect, bool keep_size) {
    // A window manager places the frame where the window asks to be (north-west gravity).
    long extents[4] = {}; // left, right, top, bottom
    read_property(w, w.window, "_NET_FRAME_EXTENTS", XA_CARDINAL, extents, 4);
    const int x = rect.left - static_cast<int>(extents[0]);
    const int y = rect.top - static_cast<int>(extents[2]);
    if (keep_size)
        XMoveWindow(display_of(w), w.window, x, y);
    else
        XMoveResizeWindow(display_of(w), w.window, x, y,
                          static_cast<unsigned>(rect.right - rect.left),
                          static_cast<unsigned>(rect.bottom - rect.top));
    XSync(display_of(w), False);
}

bool x11_viewable(const X11Window& w) {
    XWindowAttributes a;
    return XGetWindowAttributes(display_of(w), w.window, &a) && a.map_state == IsViewable;
}

void x11_map(const X11Window& w, bool mapped) {
    if (mapped)
        XMapWindow(display_of(w), w.window);
    else
        XUnmapWindow(display_of(w), w.window);
    XSync(display_of(w), False);
}

bool x11_fullscreen_state(const X11Window& w) {
    long states[32];
    const int n       = read_property(w, w.window, "_NET_WM_STATE", XA_ATOM, states, 32);
    const Atom wanted = atom(w, "_NET_WM_STATE_FULLSCREEN");
    for (int i = 0; i < n; ++i)
        if (static_cast<Atom>(states[i]) == wanted) return true;
    return false;
}

void x11_request_fullscreen(const X11Window& w, bool on) {
    Display* d = display_of(w);
    XEvent e{};
    e.xclient.type         = ClientMessage;
    e.xclient.window       = w.window;
    e.xclient.message_type = atom(w, "_NET_WM_STATE");
    e.xclient.format       = 32;
    e.xclient.data.l[0]    = on ? 1 : 0; // _NET_WM_STATE_ADD, _NET_WM_STATE_REMOVE
    e.xclient.data.l[1]    = static_cast<long>(atom(w, "_NET_WM_STATE_FULLSCREEN"));
    e.xclient.data.l[3]    = 1; // a normal application asks
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
    XSync(d, False);
}

void x11_wait_for_fullscreen_state(const X11Window& w, bool on) {
    // Without a window manager that speaks EWMH nobody answers.
    long manager = 0;
    if (!read_property(w, DefaultRootWindow(display_of(w)), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW,
                       &manager, 1))
        return;
    for (int waited = 0; waited < 1000 && x11_fullscreen_state(w) != on; waited += 5)
        SDL_Delay(5);
}
