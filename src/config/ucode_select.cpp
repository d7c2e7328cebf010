// Per-game microcode selection and the INI file
#include "config/ucode_select.h"

std::atomic<int32_t> selected_ucode{-1};
std::atomic<int32_t> ucode_chosen{0};

// Until the INI file is read, every game runs family 0.
int32_t select_ucode() {
    if (selected_ucode.load() != -1) return selected_ucode.load();
    return 0;
}

void save_ucode_prompt() {}
