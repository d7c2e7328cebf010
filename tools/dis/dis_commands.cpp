// The disassembler's command rows, laid out as the interpreter lays out its command table
#include "dis_commands.h"

#include <cstdarg>
#include <cstdio>

#include "state/rdram.h"

void append(std::string& out, const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    out += text;
}

void append_address(std::string& out, uint32_t segmented, uint32_t mask) {
    append(out, "%08X (0x%06X)", segmented, translate_address(segmented) & mask);
}

namespace {

struct DisRows {
    DisCommand rows[kUcodeFamilies][256];
};

void install(DisCommand* row, const DisEntry* entries, int count) {
    for (int i = 0; i < count; ++i)
        row[entries[i].opcode] = entries[i].command;
}

// The same bytes as the interpreter's rows: family 4 shares no reserved byte but 0x00, family
// 6 only 0x02 and 0x08.
DisRows build_rows() {
    DisRows r;
    for (int family = 0; family < kUcodeFamilies; ++family) {
        DisCommand* row = r.rows[family];
        if (family == 6) {
            install(row, kReservedDis, 1);
            install(row, kReservedDis + 3, 1);
        } else if (family != 4) {
            install(row, kReservedDis, kReservedDisCount);
        }
        install(row, kRdpDis, kRdpDisCount);
    }
    for (int family = 0; family <= 3; ++family)
        install(r.rows[family], kUcode0Dis, kUcode0DisCount);
    install(r.rows[1], kUcode1Dis, kUcode1DisCount);
    install(r.rows[2], kUcode2Dis, kUcode2DisCount);
    install(r.rows[3], kUcode3Dis, kUcode3DisCount);
    install(r.rows[4], kUcode4Dis, kUcode4DisCount);
    for (int family = 5; family <= 6; ++family)
        install(r.rows[family], kUcode0Dis, kUcode0DisCount);
    install(r.rows[5], kUcode5Dis, kUcode5DisCount);
    install(r.rows[6], kUcode6Dis, kUcode6DisCount);
    return r;
}

} // namespace

const DisCommand& dis_command(uint32_t family, uint32_t opcode) {
    static const DisRows rows = build_rows();
    return rows.rows[family % kUcodeFamilies][opcode & 0xFF];
}
