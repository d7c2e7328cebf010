// Plug-in-wide state kept from the host, and the bodies of the exported functions
#pragma once
#include <cstdint>

#include "host/host_records.h"

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

extern const char kPluginName[]; // "New Vexa OpenGL v0.1"

void fill_plugin_info(PluginInfo* info);
int32_t initiate_gfx(const HostGfxInfo& info);
void process_dlist();
// The same task with the family from `select`: hosts without a dialog choose it otherwise.
void process_dlist_with(int32_t (*select)());
void measure_window();
void apply_scissor();
void show_about_box();
void show_test_box();
void library_entry(void* module); // run by the OS loader for every attach and detach
