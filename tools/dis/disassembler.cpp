// vexa-dis: a display list as the plug-in walks it, one line per command
#include "disassembler.h"

#include "dis_commands.h"
#include "dlist/interpreter.h"
#include "host/plugin.h"
#include "state/bits.h"
#include "state/rdp_reg.h"

namespace {

// The row of the command the walk fetched last: a G_LOAD_UCODE changes the row after it.
uint32_t walk_row;

// The walk runs on the plug-in's own state; it is put back afterwards.
struct SavedState {
    RdpReg reg;
    uint8_t* rdram;
    uint32_t family, task_family;
};

void describe(const DisCommand& c, uint32_t op, std::string& line) {
    if (!c.name) {
        append(line, "(none %02X)", op);
        return;
    }
    append(line, "%-18s", c.name);
    if (c.fields) {
        line += ' ';
        c.fields(line);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
}

// What the command did to the walk, read from the stack before and after it.
void mark_steering(const DisCommand& c, int32_t depth, uint32_t next, std::string& line) {
    const DisplayListStack& s = rdp_reg.stack;
    if (rdp_reg.dlist_end)
        line += "  <- end of task";
    else if (s.depth > depth)
        append(line, "  -> call, depth %d", s.depth);
    else if (s.depth < depth)
        append(line, "  <- return to depth %d", s.depth);
    else if (c.is_call && c.is_call(rdp_reg.cmd0))
        line += "  (call refused: depth limit)";
    else if (c.steer && active_pc() != next && opcode(rdp_reg.cmd0) != 0xE4)
        line += "  -> branch";
}

} // namespace

bool walk_display_list(uint8_t* rdram, uint32_t family, uint32_t start,
                       const DisplayListVisit& visit) {
    static SavedState saved;
    saved      = {rdp_reg, host.rdram, UcodeType, TaskFamily};
    rdp_reg    = RdpReg{};
    host.rdram = rdram;
    UcodeType  = family % kUcodeFamilies;
    TaskFamily = UcodeType;

    start_display_list(start);
    uint32_t budget = command_budget;
    for (; budget > 0; --budget) {
        const int32_t depth   = rdp_reg.stack.depth;
        const uint32_t a      = fetch_command();
        const uint32_t next   = active_pc();
        walk_row              = UcodeType;
        const DisCommand& cmd = dis_command(walk_row, opcode(rdp_reg.cmd0));
        if (cmd.steer) cmd.steer();
        visit(a, depth, next);
        if (rdp_reg.dlist_end) break;
    }

    rdp_reg    = saved.reg;
    host.rdram = saved.rdram;
    UcodeType  = saved.family;
    TaskFamily = saved.task_family;
    return budget > 0;
}

std::string disassemble(uint8_t* rdram, uint32_t family, uint32_t start, bool raw) {
    std::string text;
    const bool ended =
        walk_display_list(rdram, family, start, [&](uint32_t a, int32_t depth, uint32_t next) {
            std::string line;
            append(line, "%06X: %08X %08X", a, rdp_reg.cmd0, rdp_reg.cmd1);
            if (!raw) {
                const uint32_t op     = opcode(rdp_reg.cmd0);
                const DisCommand& cmd = dis_command(walk_row, op);
                line += "  " + std::string(2 * static_cast<size_t>(depth), ' ');
                describe(cmd, op, line);
                mark_steering(cmd, depth, next, line);
            }
            text += line + '\n';
        });
    if (!ended)
        append(text, "cut off after %u commands: the task ends here as in the plug-in\n",
               command_budget);
    return text;
}
