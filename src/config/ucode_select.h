// Per-game microcode selection and the INI file
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

// Shared with the host's user-interface thread, where the configuration dialog runs.
extern std::atomic<int32_t> selected_ucode; // -1 while no family is chosen, else 0..8
extern std::atomic<int32_t> ucode_chosen;   // 1 once the dialog's OK has stored a family

// The shortest round of the waiting loop in milliseconds, waited out only when no message
// box could be shown: such a box returns at once, and the loop must not spin then. A box
// that was shown and answered is shown again at once.
extern int32_t prompt_round_ms;
extern uint32_t prompt_rounds_waited; // rounds waited out since load

bool is_ucode_family(int32_t value); // 0..8
int32_t select_ucode();              // the family for the running ROM; may wait for the user
void save_ucode_prompt();            // run by RomClosed

// The ROM header in cartridge byte order, from the host's copy (32-bit words, host order).
struct HeaderImage {
    uint8_t bytes[64];
};
HeaderImage header_image(const uint8_t* rom_header); // null: an all-zero header
std::string rom_key(const HeaderImage& header);      // the INI section, 19 characters
std::string rom_name(const HeaderImage& header);
std::string ini_path(); // <host executable dir>Plugin<sep><sep>vexa_ogl.ini
