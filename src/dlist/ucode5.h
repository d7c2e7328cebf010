// Microcode family 5, and the commands of it that family 6 shares
#pragma once
#include "dlist/command_table.h"
#include "dlist/ucode5_fields.h"

void uc5_setothermode_l(); // 0xB9: the field, then depth test and depth writes
void uc5_setothermode_h(); // 0xBA: the field only
void uc5_movemem();        // 0x03: viewport and lights
void uc5_moveword();       // 0xBC: a light count beyond 7 stores no lights

// Fills row 5 (also declared with the other rows in command_table.h).
void install_ucode5(CommandHandler* row);
