// Core state as at library load, so that every fuzz input runs alone and replays the same way
#pragma once
#include <cstring>

#include "console.h"
#include "dlist/interpreter.h"
#include "dlist/ucode_switch.h"
#include "framebuffer/color_images.h"
#include "host/plugin.h"
#include "platform/platform.h"
#include "state/rdp_reg.h"
#include "texture/texture_cache.h"
#include "texture/texture_memory.h"
#include "texture/tile_commands.h"

// Enough for any list a fuzz input can hold, and a list that loops ends quickly.
constexpr uint32_t kFuzzCommandBudget = 2048;
// What a task may run beyond the commands its input holds (see interpreter_run.h).
constexpr uint32_t kFuzzCommandsBeyondInput = 256;

inline void reset_fuzz_state() {
    rdp_reg       = RdpReg{};
    dlist_counter = 0;
    UcodeType     = 0;
    forget_ucode_texts();
    reset_texture_cache();
    reset_texture_memory();
    reset_color_images();
    std::memset(TileCoordFactor, 0, sizeof TileCoordFactor);
    command_budget = kFuzzCommandBudget;
}

// The plug-in's own window, 8 x 6 pixels: a real context whose clears, swaps and
// rasterisation cost next to nothing.
inline void start_fuzz_plugin(Console& console) {
    platform_override_own_window_size(8, 6);
    if (!initiate_gfx(console.gfx_info(nullptr))) __builtin_trap();
}
