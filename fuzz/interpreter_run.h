// One fuzz input through the interpreter: RDRAM chunks, a family, four tasks
#pragma once
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "console.h"
#include "fuzz_input.h"
#include "fuzz_state.h"

static_assert(kFuzzNoFamily == kUcodeFamilies, "the fuzzers' unknown family has no row");

// Copies the input's chunks into RDRAM and remembers where, so the next input starts from
// zeros without clearing all 8 MB.
struct RdramChunks {
    std::vector<std::pair<uint32_t, uint32_t>> written; // offset, length

    void zero_written(Console& console) {
        for (auto [offset, length] : written)
            std::memset(&console.rdram[offset], 0, length);
        written.clear();
    }

    void copy_task(Console& console, const FuzzTask& task) {
        for (const FuzzChunk& c : task.chunks) {
            const uint32_t offset = c.address & (Console::kRdramSize - 1);
            const uint32_t length = std::min(c.length, Console::kRdramSize - offset);
            std::memcpy(&console.rdram[offset], c.data, length);
            written.emplace_back(offset, length);
        }
    }
};

// What every task leaves, whatever its list held: the list ended, no triangle waits, the
// stack, the model-view stack, the light count and the texture names within their ranges.
inline bool task_left_sound_state() {
    return rdp_reg.dlist_end == 1 && rdp_reg.batch.count == 0 && rdp_reg.stack.depth >= -1 &&
           rdp_reg.stack.depth < kStackLevels &&
           rdp_reg.modelview.modelview_top < kModelViewDepth && rdp_reg.num_lights < kLightCount &&
           next_name >= 1 && next_name < kTextureNames && oldest_name >= 1 &&
           oldest_name < kTextureNames;
}

// A task may run as many commands as the input's chunks hold words, and 256 more, at most
// 2,048: every command an input carries can still run, while a list that loops or runs past
// its chunks into zeroed RDRAM ends after a few hundred commands instead of 2,048. 256 are
// enough for a loop to fill the display-list stack, the model-view stack and the batch, and to
// multiply any matrix into infinities.
inline uint32_t fuzz_command_budget(const FuzzTask& task) {
    uint64_t words = 0;
    for (const FuzzChunk& c : task.chunks)
        words += c.length / 8;
    return static_cast<uint32_t>(
        std::min<uint64_t>(words + kFuzzCommandsBeyondInput, kFuzzCommandBudget));
}

// The skipped and the interpreted task in the input's family and, when the input asks, the
// same pair in the next family, so that state left by one family meets the commands of
// another (a game may change microcode between tasks); after family 8 comes no family at
// all. False when a task left unsound state.
inline bool run_interpreter_input(Console& console, RdramChunks& chunks, const uint8_t* data,
                                  size_t size) {
    chunks.zero_written(console);
    const FuzzTask task = parse_fuzz_input(data, size);
    chunks.copy_task(console, task);
    reset_fuzz_state();
    command_budget = fuzz_command_budget(task);
    for (int i = 0; i < (task.next_family ? 4 : 2); ++i) {
        UcodeType = (task.family + uint32_t(i / 2)) % (kFuzzNoFamily + 1);
        run_display_list(task.start);
        if (!task_left_sound_state()) return false;
    }
    return true;
}
