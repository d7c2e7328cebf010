// Microcode families 7 and 8, the 2-D microcodes
#pragma once
#include "dlist/command_table.h"

// Fill rows 7 and 8 from rows 1 and 4, which must be filled first (also declared with the
// other rows in command_table.h).
void install_ucode7(CommandHandler* row);
void install_ucode8(CommandHandler* row);
