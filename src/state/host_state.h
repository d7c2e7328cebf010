// What the host gave the plug-in: its memories and registers, the window's measure, and how
// its tasks make frames
#pragma once
#include <cstdint>

// The host's pointers, kept by InitiateGFX; null until then.
struct HostPointers {
    void* window;
    void* status_bar;
    uint8_t* rom_header;
    uint8_t* rdram;
    uint8_t* dmem;
    uint32_t* mi_interrupt;
    uint32_t* vi_status;
    uint32_t* registers[21]; // the other registers, kept only for frame captures
};

extern HostPointers host;
extern void* module_instance; // the plug-in's own module handle (Windows)
extern int32_t window_width;  // client area, pixels
extern int32_t window_height;
// Window pixels per console pixel on the console's screen in the window (state/picture.h);
// 2.0 until InitiateGFX.
extern float scale_x;
extern float scale_y;

// The name hosts list (PluginInfo's 100 characters); the version is the project's (CMake).
inline constexpr char kPluginName[] = "New Vexa OpenGL v" VEXA_VERSION;
static_assert(sizeof kPluginName <= 100, "PluginInfo holds 100 characters with the zero");

// How graphics tasks make frames.
enum class FrameRule {
    // The system's: every second task draws, on a cleared frame that its start presents.
    every_second_task,
    // Every task draws into the frame in progress, which the host presents and clears; a fill
    // into the depth image clears depth, as on the console.
    host_presents,
};
extern FrameRule frame_rule; // every_second_task unless a host chooses otherwise
