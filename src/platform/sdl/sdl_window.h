// The SDL window behind a host window handle
#pragma once
#include <SDL.h>

// Null: the plug-in's own window, made on first use. Otherwise an X11 window id of the host.
SDL_Window* sdl_window_for(void* window);
