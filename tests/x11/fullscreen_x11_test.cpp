// ChangeWindow under a real X server and window manager (scripts/x11-run: Xvfb and openbox):
// the plug-in's own window and a host's X11 window go full screen, draw a frame that fills the
// screen, and come back to the position and size they had.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Status) would clash with its names.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "console.h"
#include "dl_builder.h"
#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "host_ini.h"
#include "plugin_loader.h"
#include "support/loaded_plugin.h"

namespace {

Plugin& plugin() { return loaded_plugin(); }

Console& console() {
    static Console* c = new Console;
    return *c;
}

// The test's own connection: what any X client sees of the windows.
Display* display() {
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

struct Geometry {
    int x, y, width, height;
    bool operator==(const Geometry& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.width << " x " << g.height << " at " << g.x << ", " << g.y;
}

// Where the window's pixels are on the screen.
Geometry geometry(Window w) {
    XWindowAttributes a{};
    XGetWindowAttributes(display(), w, &a);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display(), w, DefaultRootWindow(display()), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

Geometry screen() { return {0, 0, DisplayWidth(display(), 0), DisplayHeight(display(), 0)}; }

bool viewable(Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(display(), w, &a) && a.map_state == IsViewable;
}

// The window manager works at its own pace: waits up to two seconds for the geometry.
Geometry wait_for(Window w, const Geometry& wanted) {
    Geometry g = geometry(w);
    for (int i = 0; i < 200 && !(g == wanted); ++i) {
        SDL_Delay(10);
        g = geometry(w);
    }
    return g;
}

// Until the window manager has framed the window and it stays where it was put.
Geometry settled(Window w) {
    Geometry g = geometry(w);
    for (int i = 0; i < 100; ++i) {
        SDL_Delay(20);
        const Geometry now = geometry(w);
        if (now == g && viewable(w) && i > 5) break;
        g = now;
    }
    return g;
}

Window plugin_window() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* w = SDL_GL_GetCurrentWindow();
    if (!w || !SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    return info.info.x11.window;
}

constexpr uint32_t kViewport = 0x80000;

// A frame that paints the console's whole 320 x 240 screen green and sets the viewport.
void prepare_frame() {
    Console& c = console();
    c.set_rom_header(0x46554C4Cu, 0x53435245u, 0x45, "FULL SCREEN");
    std::string error;
    ASSERT_TRUE(save_family_choice(c.rom_header, 0, &error)) << error;
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    DisplayList dl(c, 0x100000);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_scissor(0, 0, 320, 240),
            uc0::viewport(kViewport), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(0, 255, 0)), cmd::fill_rect(0, 0, 320, 240),
            cmd::end_dl()});
    c.set_task(dl.start());
}

// Two tasks (the first only signals the host): the frame is then in the back buffer.
void expect_frame_fills(const Geometry& size) {
    plugin().ProcessDList();
    plugin().ProcessDList();
    GLint viewport[4], scissor[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
              (std::vector<GLint>{0, 0, size.width, size.height}));
    EXPECT_EQ(std::vector<GLint>(scissor, scissor + 4),
              (std::vector<GLint>{0, 0, size.width, size.height}));
    std::vector<uint8_t> rgba(size_t(size.width) * size.height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] != 0 || rgba[i + 1] != 255 || rgba[i + 2] != 0) {
            const size_t pixel = i / 4;
            ADD_FAILURE() << "pixel (" << pixel % size.width << ", " << pixel / size.width
                          << ") is " << int(rgba[i]) << "," << int(rgba[i + 1]) << ","
                          << int(rgba[i + 2]) << ", not the frame's green";
            break;
        }
}

bool cursor_shown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

// One round trip: full screen covers the screen and draws across it, the second call brings
// the window back to where it was.
void round_trip(Window w, Window status_bar) {
    const Geometry before = settled(w);
    ASSERT_TRUE(viewable(w));
    ASSERT_FALSE(before == screen()) << "the window starts smaller than the screen";

    plugin().ChangeWindow();
    EXPECT_EQ(wait_for(w, screen()), screen()) << "full screen";
    EXPECT_FALSE(cursor_shown()) << "full screen hides the cursor";
    if (status_bar) {
        EXPECT_FALSE(viewable(status_bar)) << "full screen hides the status bar";
    }
    expect_frame_fills(screen());

    plugin().ChangeWindow();
    EXPECT_EQ(wait_for(w, before), before) << "back to its place and size";
    EXPECT_TRUE(cursor_shown());
    if (status_bar) {
        EXPECT_TRUE(viewable(status_bar)) << "the status bar shows again";
    }
    expect_frame_fills(before);
}

TEST(FullScreenX11, PluginsOwnWindowGoesFullScreenAndBack) {
    ASSERT_NE(display(), nullptr) << "no X display";
    prepare_frame();
    ASSERT_EQ(plugin().InitiateGFX(console().gfx_info(nullptr)), 1);
    const Window own = plugin_window();
    ASSERT_NE(own, 0u) << "the plug-in's window is not an X11 window";
    round_trip(own, 0);
    SCOPED_TRACE("a second round trip");
    round_trip(own, 0);
}

TEST(FullScreenX11, HostWindowWithStatusBarGoesFullScreenAndBack) {
    ASSERT_NE(display(), nullptr) << "no X display";
    prepare_frame();
    Display* d = display();
    // 4:3 like the screen, so that the picture fills it in either form.
    const Window w  = XCreateSimpleWindow(d, DefaultRootWindow(d), 150, 120, 500, 375, 0, 0, 0);
    const Window sb = XCreateSimpleWindow(d, w, 0, 355, 500, 20, 0, 0, 0xC0C0C0);
    XStoreName(d, w, "host");
    XMapWindow(d, sb);
    XMapWindow(d, w);
    XSync(d, False);
    settled(w);

    HostGfxInfo info = console().gfx_info(reinterpret_cast<void*>(static_cast<uintptr_t>(w)));
    info.status_bar  = reinterpret_cast<void*>(static_cast<uintptr_t>(sb));
    ASSERT_EQ(plugin().InitiateGFX(info), 1);
    round_trip(w, sb);
    SCOPED_TRACE("a second round trip");
    round_trip(w, sb);
}

} // namespace
