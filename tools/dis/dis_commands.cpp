// The disassembler's command rows, laid out as the interpreter lays out its command table
#include "dis_commands.h"

#include <cstdarg>
#include <cstdio>

#include "dlist/ucode7_8_fields.h"
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

void print_rdphalf(std::string& out) { append_address(out, rdp_reg.cmd1); }

struct DisRows {
    DisCommand rows[kUcodeFamilies][256];
};

void install(DisCommand* row, const DisEntry* entries, int count) {
    for (int i = 0; i < count; ++i)
        row[entries[i].opcode] = entries[i].command;
}

// The same bytes as the interpreter's rows: families 4, 7 and 8 share no reserved byte but
// 0x00, family 6 only 0x02 and 0x08.
DisRows build_rows() {
    DisRows r;
    for (int family = 0; family < kUcodeFamilies; ++family) {
        DisCommand* row = r.rows[family];
        if (family == 6) {
            install(row, kReservedDis, 1);
            install(row, kReservedDis + 3, 1);
        } else if (family < 4 || family == 5) {
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
    // The rows that can load another microcode, and the 2-D rows that share their numbering.
    for (int family = 1; family <= 3; ++family) {
        r.rows[family][0xAF] = {"LOAD_UCODE", print_load_ucode, load_ucode_steer};
        r.rows[family][0xB4] = {"RDPHALF_1", print_rdphalf, rdphalf_1_steer};
    }
    r.rows[4][0xDD] = {"UC4_LOAD_UCODE", print_load_ucode, load_ucode_steer};
    install_2d_dis(r.rows[7], obj::kFamily7, r.rows[1]);
    install_2d_dis(r.rows[8], obj::kFamily8, r.rows[4]);
    return r;
}

} // namespace

const DisCommand& dis_command(uint32_t family, uint32_t opcode) {
    static const DisRows rows = build_rows();
    return rows.rows[family % kUcodeFamilies][opcode & 0xFF];
}
