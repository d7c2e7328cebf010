// The disassembler's command rows: a name and a field printer per command byte and family
#pragma once
#include <cstdint>
#include <string>

#include "dlist/command_table.h"

// Appends the decoded fields of the command in rdp_reg (cmd0, cmd1, look-ahead words) to out.
using FieldPrinter = void (*)(std::string& out);

struct DisCommand {
    const char* name    = nullptr; // null: no command at this byte in this family
    FieldPrinter fields = nullptr;
    // The interpreter's handler, run for its effect on the walk (stack, segments, pc);
    // null for commands that do not steer the walk.
    CommandHandler steer = nullptr;
    // For DISPLAYLIST-like commands: whether this one is a call (so a refused call is marked).
    bool (*is_call)(uint32_t cmd0) = nullptr;
};

struct DisEntry {
    uint8_t opcode;
    DisCommand command;
};

const DisCommand& dis_command(uint32_t family, uint32_t opcode);

// Field text helpers shared by the rows.
void append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
// "06000010 (0x100010)": the segmented address and the RDRAM offset it reaches, masked as
// the command masks it.
void append_address(std::string& out, uint32_t segmented, uint32_t mask = 0x7FFFFF);

// Field printers that several families share (dis_ucode0.cpp).
void print_vertices(std::string& out, uint32_t first, uint32_t count);
void print_triangle_of(std::string& out, uint32_t word, uint32_t (*index)(uint32_t, int));
void print_texture(std::string& out);
void print_light_color(std::string& out); // MOVEWORD LIGHTCOL
void print_moveword(std::string& out, uint32_t (*light_count)(uint32_t cmd1));
void print_other_mode_field(std::string& out, bool high, int32_t shift);

// Rows of each part: the RDP commands of every family, and each family's own commands.
extern const DisEntry kRdpDis[];
extern const int kRdpDisCount;
extern const DisEntry kReservedDis[]; // 0x02, 0x05, 0x07, 0x08
extern const int kReservedDisCount;
extern const DisEntry kUcode0Dis[];
extern const int kUcode0DisCount;
extern const DisEntry kUcode1Dis[], kUcode2Dis[], kUcode3Dis[]; // over family 0's row
extern const int kUcode1DisCount, kUcode2DisCount, kUcode3DisCount;
extern const DisEntry kUcode4Dis[];
extern const int kUcode4DisCount;
extern const DisEntry kUcode5Dis[], kUcode6Dis[]; // over family 0's row
extern const int kUcode5DisCount, kUcode6DisCount;

// The 2-D rows (dis_ucode7_8.cpp): a row of `op`'s numbering over the RDP commands, keeping
// the commands of the 3-D row whose numbering it shares.
namespace obj {
struct Opcodes;
}
void install_2d_dis(DisCommand* row, const obj::Opcodes& op, const DisCommand* own_3d_row);
// G_LOAD_UCODE and the G_RDPHALF_1 before it, in every row that has them.
void print_load_ucode(std::string& out);
void load_ucode_steer();
void rdphalf_1_steer();
