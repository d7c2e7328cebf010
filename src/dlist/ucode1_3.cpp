// Microcode families 1, 2 and 3: family 0's command set with wider vertex loads, two more
// triangle commands and a few decodings of their own
#include "dlist/command_table.h"
#include "dlist/ucode0.h"
#include "dlist/ucode1_3_fields.h"
#include "dlist/ucode_switch.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

// Family 1.

// 0x04: up to 64 vertices from entry 0..127 (at most entry 190).
static void uc1_vertex() {
    load_vertices(uc1_fields::vtx_first(rdp_reg.cmd0), uc1_fields::vtx_count(rdp_reg.cmd0));
}

// 0xB1: the first triangle sits in the low three bytes of cmd0, beside the command byte.
static void uc1_tri2() {
    add_triangle_from(rdp_reg.cmd0, uc1_fields::tri_index);
    add_triangle_from(rdp_reg.cmd1, uc1_fields::tri_index);
}

// 0xB5
static void uc1_quad() { add_quad_from(rdp_reg.cmd1, uc1_fields::quad_index); }

// 0xBA: the depth state is left to the render mode.
static void uc1_setothermode_h() { setothermode_h_command(false); }

// 0xBC
static void uc1_moveword() { moveword_command(uc1_fields::numlight_count); }

// 0xBF
static void uc1_tri1() { add_triangle_from(rdp_reg.cmd1, uc1_fields::tri_index); }

// Family 2.

static void uc2_matrix() { matrix_command(uc2_fields::kAddressMask); }
static void uc2_movemem() { movemem_command(uc2_fields::kAddressMask); }

// 0x04: up to 127 vertices from entry 0..63 (at most entry 189).
static void uc2_vertex() {
    load_vertices(uc2_fields::vtx_first(rdp_reg.cmd0), uc2_fields::vtx_count(rdp_reg.cmd0));
}

static void uc2_displaylist() { displaylist_command(uc2_fields::kAddressMask); }
static void uc2_sprite2d() { sprite2d_command(uc2_fields::kAddressMask); }

static void uc2_tri2() {
    add_triangle_from(rdp_reg.cmd0, uc2_fields::tri_index);
    add_triangle_from(rdp_reg.cmd1, uc2_fields::tri_index);
}

static void uc2_quad() { add_quad_from(rdp_reg.cmd1, uc2_fields::tri_index); }

// 0xB9: the depth test follows only the RDP other-mode command.
static void uc2_setothermode_l() { setothermode_l_command(false); }

static void uc2_tri1() { add_triangle_from(rdp_reg.cmd1, uc2_fields::tri_index); }

// Family 3: 0xB5 stays family 0's LINE3D.

// 0x04: up to 126 vertices from entry 0..63 (at most entry 188).
static void uc3_vertex() {
    load_vertices(uc3_fields::vtx_first(rdp_reg.cmd0), uc3_fields::vtx_count(rdp_reg.cmd0));
}

// Every row of this numbering can load another microcode (family 0's row cannot).
static const CommandEntry kMicrocodeLoad[] = {{0xAF, load_ucode}, {0xB4, rdphalf_1}};

// Each row starts as family 0's and replaces the commands that differ.
static const CommandEntry kUcode1Commands[] = {
    {0x04, uc1_vertex},         {0xB1, uc1_tri2},     {0xB5, uc1_quad},
    {0xBA, uc1_setothermode_h}, {0xBC, uc1_moveword}, {0xBF, uc1_tri1},
};

static const CommandEntry kUcode2Commands[] = {
    {0x01, uc2_matrix},         {0x03, uc2_movemem}, {0x04, uc2_vertex}, {0x06, uc2_displaylist},
    {0x09, uc2_sprite2d},       {0xB1, uc2_tri2},    {0xB5, uc2_quad},   {0xB9, uc2_setothermode_l},
    {0xBA, uc1_setothermode_h}, {0xBF, uc2_tri1},
};

static const CommandEntry kUcode3Commands[] = {
    {0x04, uc3_vertex},
    {0xB1, uc1_tri2},
    {0xBA, uc1_setothermode_h},
    {0xBF, uc1_tri1},
};

void install_ucode1(CommandHandler* row) {
    install_ucode0(row);
    install_commands(row, kUcode1Commands);
    install_commands(row, kMicrocodeLoad);
}

void install_ucode2(CommandHandler* row) {
    install_ucode0(row);
    install_commands(row, kUcode2Commands);
    install_commands(row, kMicrocodeLoad);
}

void install_ucode3(CommandHandler* row) {
    install_ucode0(row);
    install_commands(row, kUcode3Commands);
    install_commands(row, kMicrocodeLoad);
}
