// What the host gave the plug-in: its memories and registers, and the window's measure
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
extern float scale_x; // window pixels per console pixel, 2.0 until InitiateGFX
extern float scale_y;

inline constexpr char kPluginName[] = "New Vexa OpenGL v0.1";
