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

// The X11 id of a window of the asked size. Without a size the plug-in makes its own.
bool make_host_window(int width, int height, void** window) {
    *window = nullptr;
    if (width == 0 && height == 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 ||
        std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
        std::fprintf(stderr, "vexa-host: --size needs an X11 display\n");
        return false;
    }
    SDL_Window* w = SDL_CreateWindow("vexa-host", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     width, height, 0);
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!w || !SDL_GetWindowWMInfo(w, &wm)) {
        std::fprintf(stderr, "vexa-host: cannot create a %dx%d window: %s\n", width, height,
                     SDL_GetError());
        return false;
    }
    *window = reinterpret_cast<void*>(static_cast<uintptr_t>(wm.info.x11.window));
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
