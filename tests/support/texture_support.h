// Helpers for the texture suites: running single commands and fresh texture state
#pragma once
#include <ostream>

#include "dl_texture.h"
#include "dlist/command_table.h"
#include "state/rdp_reg.h"
#include "support/test_host.h"
#include "texture/texture_cache.h"
#include "texture/texture_memory.h"

// Runs one command through family 0's row of the command table.
inline void run_command(Command c) {
    rdp_reg.cmd0 = c.w0;
    rdp_reg.cmd1 = c.w1;
    CommandTable[0][c.w0 >> 24]();
}

inline void run_commands(std::initializer_list<Command> commands) {
    for (const Command& c : commands)
        run_command(c);
}

// Interpreter, texture memory and cache as at library load, with a GL context.
inline void reset_texture_test_state() {
    attach_test_host();
    reset_core_state();
    reset_texture_memory();
    reset_texture_cache();
}

inline bool operator==(const Texel& a, const Texel& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
inline bool operator!=(const Texel& a, const Texel& b) { return !(a == b); }
inline std::ostream& operator<<(std::ostream& o, const Texel& t) {
    return o << "(" << int(t.r) << ", " << int(t.g) << ", " << int(t.b) << ", " << int(t.a) << ")";
}
