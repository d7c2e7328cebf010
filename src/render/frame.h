// The per-frame clear and swap
#pragma once
#include "platform/platform.h"

void set_frame_device(GlDevice device); // the device of the current context; null without one
void clear_frame();                     // now
// Before the frame's first drawing, or at the end of the task if it draws nothing.
void clear_frame_before_drawing();
void swap_frame();
