// Family-0 commands that steer the walk through a display list; the disassembler runs them too
#pragma once

void uc0_displaylist(); // 0x06: call or branch
void uc0_enddl();       // 0xB8: return, or end of the task
void uc0_moveword();    // 0xBC: among others the segment table
