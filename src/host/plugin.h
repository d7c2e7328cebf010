// The bodies of the exported functions, and what they keep of the host
#pragma once
#include <cstdint>
#include <string>

#include "host/host_records.h"
#include "state/host_state.h"

void fill_plugin_info(PluginInfo* info);
int32_t initiate_gfx(const HostGfxInfo& info);
void process_dlist();
// The same task with the family from `select`: hosts without a dialog choose it otherwise.
void process_dlist_with(int32_t (*select)());
void measure_window();
// The VI registers that tell what a frame the CPU drew looks like.
struct ViPicture {
    uint32_t origin;  // RDRAM offset of the first pixel shown
    uint32_t status;  // pixel size in the low two bits: 2 16-bit, 3 32-bit
    uint32_t width;   // pixels a line
    uint32_t v_start; // first and last half line shown
    uint32_t y_scale; // lines per half line, 2.10 fixed point
};
// Clears the window, draws the picture RDRAM holds where the VI shows it and presents it.
void show_cpu_frame(const ViPicture& vi);
// The host's UpdateScreen: a VI origin that moved while no graphics task came since the last
// one shows the frame the CPU drew there.
void update_screen();
void show_about_box();
void show_test_box();
void library_entry(void* module); // run by the OS loader for every attach and detach
// Opens the running game's texture pack and dump folder as the settings ask: in
// <HiResTextureFolder>/<ROM name>/ and <TextureDumpFolder>/<ROM name>/, the folders
// `data_dir`hires_texture and `data_dir`texture_dump where the settings leave them empty.
void open_texture_packs(const std::string& data_dir);
