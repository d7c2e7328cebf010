// A ROM that plays frame captures in an emulator: header, boot program, play table, RDRAM
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "capture/capture_file.h"
#include "play_table.h"

struct RomOptions {
    uint32_t frames          = 0; // frames that send tasks, 0 for ever
    uint32_t tasks_per_frame = 1;
    std::string ucode_text;       // empty: the family's usual text
    bool has_ucode_sum   = false; // every task gets the stand-in microcode, its code summing to
    uint32_t ucode_sum   = 0;     // ucode_sum and its data holding ucode_text only
    uint32_t cpu         = 0;     // PlayCpu: what the CPU does in each frame
    uint32_t task_every  = 1;     // tasks in every K-th frame only
    uint32_t cpu_buffers = 2;     // 1: the CPU draws into the one buffer the VI keeps showing
};

// The identification text a game of the family carries at its task's ucode_data; empty for
// families whose text names no family to the plug-ins.
std::string usual_ucode_text(uint32_t family);

// The ROM's bytes in cartridge order (.z64); messages for the user go to *notes.
std::vector<uint8_t> build_rom(const std::vector<Capture>& captures, const RomOptions& options,
                               const std::vector<uint8_t>& boot_program,
                               std::vector<std::string>* notes);
