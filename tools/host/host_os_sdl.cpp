// vexa-host on Linux: SDL2 and X11 windows, paths from /proc
#include <GL/gl.h>
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host_os.h"

namespace fs = std::filesystem;

std::string executable_path() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./vexa-host") : self.string();
}

std::string executable_dir() { return fs::path(executable_path()).parent_path().string(); }

std::string default_plugin_path() { return executable_dir() + "/libnew_vexa_ogl.so"; }

// A window of the asked size: on an X11 display its X11 id; without one (SDL's offscreen
// driver, which the plug-in shares in this process) an OpenGL window made here, handed over
// by its SDL id. Without a size the plug-in makes its own.
bool make_host_window(int width, int height, void** window) {
    *window = nullptr;
    if (width == 0 && height == 0) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vexa-host: no video driver for a window: %s\n", SDL_GetError());
        return false;
    }
    const bool x11 = std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
    if (!x11) {
        // The pixel format is chosen when the window is made: the plug-in's own request.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    }
    SDL_Window* w = SDL_CreateWindow("vexa-host", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     width, height, x11 ? 0 : SDL_WINDOW_OPENGL);
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!w || (x11 && !SDL_GetWindowWMInfo(w, &wm))) {
        std::fprintf(stderr, "vexa-host: cannot create a %dx%d window: %s\n", width, height,
                     SDL_GetError());
        return false;
    }
    const uintptr_t handle = x11 ? wm.info.x11.window : SDL_GetWindowID(w);
    *window                = reinterpret_cast<void*>(handle);
    return true;
}

void pump_host_messages() {}

bool read_frame(std::vector<uint8_t>* rgba, int* width, int* height) {
    SDL_Window* w = SDL_GL_GetCurrentWindow();
    if (!w) return false;
    SDL_GL_GetDrawableSize(w, width, height);
    GLint draw_buffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    rgba->resize(static_cast<size_t>(*width) * *height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, *width, *height, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
    return glGetError() == GL_NO_ERROR;
}

int run_command(const std::string& command) { return std::system(command.c_str()); }
