// The nine rows of 256 command handlers, one row per microcode family
#pragma once
#include <cstdint>

#include "state/rdp_reg.h"

using CommandHandler = void (*)();

extern CommandHandler CommandTable[kUcodeFamilies][256];

// Opcodes that add to the triangle batch instead of flushing it, per family.
extern bool KeepsBatch[kUcodeFamilies][256];

void do_nothing(); // every slot without a command

struct CommandEntry {
    uint8_t opcode;
    CommandHandler handler;
};

// Each family file offers its own commands as a list of (byte, handler) pairs.
void install_commands(CommandHandler* row, const CommandEntry* entries, int count);

template <int N> void install_commands(CommandHandler* row, const CommandEntry (&entries)[N]) {
    install_commands(row, entries, N);
}

// Family rows, each filled by its own file; a family that has no file yet keeps only the
// shared and RDP commands.
void install_ucode0(CommandHandler* row);
void install_ucode1(CommandHandler* row);
void install_ucode2(CommandHandler* row);
void install_ucode3(CommandHandler* row);
void install_ucode4(CommandHandler* row);
void install_ucode5(CommandHandler* row);
void install_ucode6(CommandHandler* row);
void install_ucode7(CommandHandler* row); // after rows 1 and 4, whose handlers it shares
void install_ucode8(CommandHandler* row);
