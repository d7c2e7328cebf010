// ChangeWindow: the host's window between its desktop form and full screen
#pragma once
#include <cstdint>

extern int32_t is_fullscreen; // 1 while full screen

void toggle_fullscreen();
int32_t enter_fullscreen(int32_t width, int32_t height, int32_t bits); // 1 when full screen
int32_t leave_fullscreen();                                            // always 0
