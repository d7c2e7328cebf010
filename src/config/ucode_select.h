// Per-game microcode selection and the INI file
#pragma once
#include <atomic>
#include <cstdint>

// Shared with the host's user-interface thread, where the configuration dialog runs.
extern std::atomic<int32_t> selected_ucode; // -1 while no family is chosen, else 0..6
extern std::atomic<int32_t> ucode_chosen;   // 1 once the dialog's OK has stored a family

int32_t select_ucode();   // the family for the running ROM; may wait for the user
void save_ucode_prompt(); // run by RomClosed
