// The SDL window behind a host window handle
#pragma once
#include <SDL.h>

// Null: the plug-in's own window, made on first use. Otherwise an X11 window id of the host;
// without an X11 display (SDL's offscreen driver), the id of an SDL window that a host in the
// same process made with SDL_WINDOW_OPENGL, at whatever size it likes.
SDL_Window* sdl_window_for(void* window);
