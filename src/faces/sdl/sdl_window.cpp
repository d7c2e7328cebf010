// The SDL window behind a host window handle
#include "faces/sdl/sdl_window.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "config/settings.h"
#include "platform/platform.h"
#include "state/host_state.h"

static SDL_Window* own_window;
static SDL_Window* foreign_window;
static void* foreign_handle;

// Set before any window is made: X11 picks the visual when the window is created.
static void request_gl_attributes(const PixelFormatRequest& request) {
    const int channel_bits = request.color_bits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.alpha_bits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.depth_bits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request.stencil_bits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request.flags & kPfdDoubleBuffer) ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, request.samples ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, request.samples);
}

// The plug-in's own window, multisampled when the settings ask and the display can.
static SDL_Window* make_own_window() {
    int32_t width, height;
    platform_own_window_size(&width, &height);
    PixelFormatRequest request;
    request.samples = static_cast<uint8_t>(player_settings.multisampling);
    for (;;) {
        request_gl_attributes(request);
        SDL_Window* w = SDL_CreateWindow(kPluginName, SDL_WINDOWPOS_CENTERED,
                                         SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_OPENGL);
        if (w || !request.samples) return w;
        std::string line = "MultiSampling=" + std::to_string(request.samples) +
                           ": the display has no multisampled OpenGL window (" + SDL_GetError() +
                           "): using 0";
        platform_log(LogLevel::warning, line.c_str());
        request.samples = 0;
    }
}

static bool init_video() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    request_gl_attributes(PixelFormatRequest{});
    return true;
}

SDL_Window* sdl_window_for(void* window) {
    if (!init_video()) return nullptr;
    if (!window) {
        // Linux hosts pass no window: the plug-in shows its own, 640 x 480 like the
        // console's high-resolution mode.
        if (!own_window) own_window = make_own_window();
        return own_window;
    }
    if (foreign_window && foreign_handle == window) return foreign_window;
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
        const auto id = reinterpret_cast<uintptr_t>(window);
        return id <= UINT32_MAX ? SDL_GetWindowFromID(static_cast<Uint32>(id)) : nullptr;
    }
    request_gl_attributes(PixelFormatRequest{}); // a host's window has its visual already
    SDL_Window* wrapped = SDL_CreateWindowFrom(window);
    if (!wrapped) return nullptr;
    foreign_window = wrapped;
    foreign_handle = window;
    return wrapped;
}
