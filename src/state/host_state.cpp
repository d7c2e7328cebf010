// What the host gave the plug-in: its memories and registers, the window's measure, and how
// its tasks make frames
#include "state/host_state.h"

HostPointers host;
void* module_instance;
int32_t window_width;
int32_t window_height;
float scale_x        = 2.0f;
float scale_y        = 2.0f;
FrameRule frame_rule = FrameRule::every_second_task;
