// The platform layer on SDL2: windows, OpenGL contexts and message boxes on Linux
#include <SDL.h>
#include <cstdio>

#include "faces/sdl/sdl_face.h"
#include "faces/sdl/sdl_window.h"
#include "faces/sdl/sdl_x11.h"

MessageAnswer sdl_message_box(const char* text, const char* caption, MessageIcon icon,
                              MessageButtons buttons) {
    if (const UiScript* script = platform_ui_script())
        return script->message_box(text, caption, icon, buttons, script->user);

    Uint32 flags = 0;
    if (icon == MessageIcon::error) flags = SDL_MESSAGEBOX_ERROR;
    if (icon == MessageIcon::information || icon == MessageIcon::question)
        flags = SDL_MESSAGEBOX_INFORMATION;

    const SDL_MessageBoxButtonData ok_button[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         static_cast<int>(MessageAnswer::ok), "OK"}};
    const SDL_MessageBoxButtonData yes_no_buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MessageAnswer::yes), "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MessageAnswer::no), "No"}};
    const bool yes_no = buttons == MessageButtons::yes_no;

    SDL_MessageBoxData box{};
    box.flags      = flags;
    box.title      = caption;
    box.message    = text;
    box.numbuttons = yes_no ? 2 : 1;
    box.buttons    = yes_no ? yes_no_buttons : ok_button;

    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
        // No display to show it on: the text goes to standard error and the caller takes
        // the default button (OK, or Yes as on Windows).
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return MessageAnswer::not_shown;
    }
    return static_cast<MessageAnswer>(pressed);
}

void sdl_log(LogLevel, const char* text) { std::fprintf(stderr, "new_vexa_ogl: %s\n", text); }

bool sdl_client_rect(void* window, ClientRect* rect) {
    *rect         = ClientRect{};
    SDL_Window* w = sdl_window_for(window);
    if (!w) return false;
    SDL_PumpEvents(); // lets SDL see size changes of the window
    // SDL follows the size of its own windows only: a host's X11 window is asked directly.
    X11Window x;
    Rect screen;
    if (window && x11_window_of(window, &x) && x11_client_rect(x, &screen)) {
        rect->right  = screen.right - screen.left;
        rect->bottom = screen.bottom - screen.top;
        return true;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(w, &width, &height);
    rect->right  = width;
    rect->bottom = height;
    return true;
}

static SDL_Window* current_window;

GlDevice sdl_get_device(void* window) {
    if (platform_gl_step_fails(GlStep::get_device)) return nullptr;
    return sdl_window_for(window);
}

int sdl_choose_pixel_format(GlDevice device, const PixelFormatRequest&) {
    if (platform_gl_step_fails(GlStep::choose_pixel_format)) return 0;
    // The attributes were requested before the window was made; an OpenGL window has them.
    auto* w = static_cast<SDL_Window*>(device);
    return (SDL_GetWindowFlags(w) & SDL_WINDOW_OPENGL) ? 1 : 0;
}

bool sdl_set_pixel_format(GlDevice, int, const PixelFormatRequest&) {
    return !platform_gl_step_fails(GlStep::set_pixel_format);
}

void sdl_describe_pixel_format(GlDevice, int, PixelFormatRequest*) {}

GlContext sdl_create_context(GlDevice device) {
    if (platform_gl_step_fails(GlStep::create_context)) return nullptr;
    return SDL_GL_CreateContext(static_cast<SDL_Window*>(device));
}

bool sdl_make_current(GlDevice device, GlContext context) {
    if (!device && !context) {
        if (platform_gl_step_fails(GlStep::release_current)) return false;
        return !current_window || SDL_GL_MakeCurrent(current_window, nullptr) == 0;
    }
    if (platform_gl_step_fails(GlStep::make_current)) return false;
    current_window = static_cast<SDL_Window*>(device);
    return SDL_GL_MakeCurrent(current_window, static_cast<SDL_GLContext>(context)) == 0;
}

bool sdl_delete_context(GlContext context) {
    if (platform_gl_step_fails(GlStep::delete_context)) return false;
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
    return true;
}

// The window stays; only the claim on it ends, as ReleaseDC leaves the window alone.
bool sdl_release_device(void*, GlDevice) { return !platform_gl_step_fails(GlStep::release_device); }

void sdl_swap_buffers(GlDevice device) { SDL_GL_SwapWindow(static_cast<SDL_Window*>(device)); }

void* sdl_gl_function(const char* name) { return SDL_GL_GetProcAddress(name); }
