// Frame captures written by the plug-in: each interpreted task to a file, while asked for
#pragma once
#include <cstdint>

// The folder comes from the environment variable VEXA_CAPTURE or, without it, from the INI
// file's [Settings] CaptureFolder; VEXA_CAPTURE_FRAMES (or CaptureFrames) tells how many
// tasks to capture, 1 by default. Both are read once, at the first interpreted task.
// capture_task writes the task about to be interpreted, before anything of it runs; it only
// reads the host's memories.
void capture_task(uint32_t dlist_start);

// Forget the settings and the count, as at load (tests).
void reset_frame_capture();
