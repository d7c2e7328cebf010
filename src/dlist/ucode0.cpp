// Microcode family 0: the first-generation geometry microcode
#include "dlist/bits.h"
#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "dlist/rdram.h"

// 0x06: call (param 0) or jump to (param 1) a display list.
static void uc0_displaylist() {
    const uint32_t param   = field(rdp_reg.cmd0, 16, 8);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    if (param == 0) dlist_call(address);
    if (param == 1) dlist_branch(address);
}

// 0xB8: return to the calling list, or end the task at depth 0.
static void uc0_enddl() { dlist_return(); }

static const CommandEntry kUcode0Commands[] = {
    {0x06, uc0_displaylist},
    {0xB8, uc0_enddl},
};

void install_ucode0(CommandHandler* row) { install_commands(row, kUcode0Commands); }
