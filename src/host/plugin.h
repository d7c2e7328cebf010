// The bodies of the exported functions, and what they keep of the host
#pragma once
#include <cstdint>
#include <string>

#include "framebuffer/shown_picture.h"
#include "host/host_records.h"
#include "state/host_state.h"

void fill_plugin_info(PluginInfo* info);
int32_t initiate_gfx(const HostGfxInfo& info);
void process_dlist();
// The same task with the family from `select`: hosts without a dialog choose it otherwise.
void process_dlist_with(int32_t (*select)());
void measure_window();
// Clears the window, draws the picture RDRAM holds where the VI shows it and presents it.
void show_cpu_frame(const ViPicture& vi);
// The host's UpdateScreen: shows the frame the CPU drew where the VI shows an image no task drew,
// when the CPU changed it, or the VI moved to it while no graphics task came.
void update_screen();
void show_about_box();
void show_test_box();
void library_entry(void* module); // run by the OS loader for every attach and detach
// Opens the running game's texture pack and dump folder as the settings ask: in
// <HiResTextureFolder>/<ROM name>/ and <TextureDumpFolder>/<ROM name>/, the folders
// `data_dir`hires_texture and `data_dir`texture_dump where the settings leave them empty.
void open_texture_packs(const std::string& data_dir);
