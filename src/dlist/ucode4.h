// Microcode family 4, and the pieces of it that the later families decode the same way
#pragma once
#include "dlist/command_table.h"
#include "dlist/rsp_shared.h"    // TEXTURE, MOVEWORD LIGHTCOL, MOVEMEM VIEWPORT
#include "dlist/ucode4_fields.h" // command-word fields
#include "geometry/vertex.h"     // MOVEMEM LIGHT records: load_light; NUMLIGHT: ExcessLights::none
#include "state/othermode.h"     // SETOTHERMODE_H masks and the cycle type: set_othermode_h_field

// Fills row 4 (also declared with the other rows in command_table.h).
void install_ucode4(CommandHandler* row);

// Commands that steer the walk through a display list; the disassembler runs them too.
void uc4_branchz();     // 0x04: call the list of the last RDPHALF_1
void uc4_moveword();    // 0xDB: among others the segment table
void uc4_displaylist(); // 0xDE: call or branch
void uc4_enddl();       // 0xDF: return, or end of the task
void uc4_rdphalf_1();   // 0xE1: the address for BRANCHZ
