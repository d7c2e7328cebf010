// The per-frame clear and swap
#pragma once
#include "platform/platform.h"

void set_frame_device(GlDevice device); // the device of the current context; null without one
void clear_frame();
void swap_frame();
