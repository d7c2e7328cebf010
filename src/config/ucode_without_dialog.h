// The microcode family where no dialog may ever be waited for (inside mupen64plus)
#pragma once
#include <cstdint>
#include <string>

constexpr char kIniFileName[] = "vexa_ogl.ini";

// Bytes of RDRAM the core has at this task: 8 MB unless it says less, 0 while it does not know.
extern uint32_t m64p_rdram_size;

// The family for the running game: the game's UCode in the INI file in the core's user
// configuration folder, else the family of the sum of the microcode's code when the table of
// known sums has it, else the family of the microcode's identification text, else one message
// in the log naming the text and the sum, and kUcodeFamilies (the task draws nothing). The
// choice is logged.
int32_t select_ucode_without_dialog();
void forget_ucode_selection(); // a new game: choose again
std::string m64p_ini_path();
