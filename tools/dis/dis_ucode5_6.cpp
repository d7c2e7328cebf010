// Disassembler rows of families 5 and 6, over family 0's row where they decode the same way
#include "dis_commands.h"
#include "dlist/ucode0_fields.h"
#include "dlist/ucode5.h"
#include "dlist/ucode6_fields.h"
#include "rdp/rdp_commands.h"
#include "state/rdp_reg.h"

using namespace uc0_fields;

namespace {

uint32_t cmd0() { return rdp_reg.cmd0; }
uint32_t cmd1() { return rdp_reg.cmd1; }

void uc5_load_matrix(std::string& out) {
    const uint32_t p = uc5_matrix_param(cmd0());
    if (p > kProjectionPushLoad)
        append(out, "param %u (none) ", p);
    else
        append(out, "%s %s %s ", (p & kMatrixProjection) ? "projection" : "modelview",
               (p & kMatrixLoad) ? "load" : "mul",
               (p & kMatrixPush) && !(p & kMatrixProjection) ? "push" : "nopush");
    append_address(out, cmd1());
}

void uc5_load_vertices(std::string& out) {
    print_vertices(out, uc5_vtx_first(cmd0()), uc5_vtx_count(cmd0()));
    append(out, ", coordinate table at 0x%06X", rdp_reg.reserved2_address);
}

// Followed, so that the vertex loads show where their coordinates come from.
void coordinate_table(std::string& out) {
    out += "coordinate table ";
    append_address(out, cmd1());
}

void uc5_tri2(std::string& out) {
    const char* separator = "";
    for (int k = 0; k < kUc5Triangles; ++k) {
        const uint32_t i0 = uc5_tri_first(cmd1(), k), i1 = uc5_tri_second(cmd1(), k),
                       i2 = uc5_tri_third(cmd0(), k);
        if (!(i0 | i1 | i2)) continue;
        append(out, "%sv%u v%u v%u", separator, i0, i1, i2);
        separator = ", ";
    }
}

// A light count outside the eight records stores none in families 5 and 6.
uint32_t stored_light_count(uint32_t w) {
    const uint32_t n = numlight_count(w);
    return n < kLightCount ? n : 0;
}

void moveword(std::string& out) { print_moveword(out, stored_light_count); }

void popmatrix(std::string& out) { out += "modelview"; }

void uc6_load_matrix(std::string& out) {
    const uint32_t slot = uc6_matrix_slot(cmd0());
    if (slot == kUc6NoSlot)
        append(out, "slot 3 (none) ");
    else
        append(out, "slot %u ", slot);
    append_address(out, cmd1());
}

void uc6_load_vertices(std::string& out) {
    print_vertices(out, 0, uc6_vtx_count(cmd0()));
    const uint32_t slot = uc6_vtx_slot(cmd0());
    if (slot == kUc6NoSlot)
        out += ", projection kept";
    else
        append(out, ", projection from slot %u", slot);
}

void uc6_triangles(std::string& out) {
    append(out, "%u triangle records from ", uc6_tri_count(cmd0()));
    append_address(out, cmd1());
}

// Not followed: the run's commands would draw. Its address is an RDRAM offset, unsegmented.
void uc6_run_in_place(std::string& out) {
    const uint32_t n = uc6_run_commands(cmd0());
    append(out, "%u command%s at 0x%06X", n, n == 1 ? "" : "s", cmd1() & 0x7FFFFF);
}

} // namespace

const DisEntry kUcode5Dis[] = {
    {0x01, {"UC5_LOADMTX", uc5_load_matrix}},
    {0x04, {"UC5_LOADVTX", uc5_load_vertices}},
    {0x07, {"RSP_RESERVED2", coordinate_table, rsp_reserved2}},
    {0x09, {"UC5_SPRITE2D"}},
    {0xB1, {"UC5_TRI2", uc5_tri2}},
    {0xB2, {"UC5_RDPHALF_CONT"}},
    {0xB3, {"UC5_RDPHALF_2"}},
    {0xB4, {"UC5_RDPHALF_1"}},
    {0xB5, {"UC5_LINE3d"}},
    {0xBC, {"MOVEWORD", moveword, uc5_moveword}},
    {0xBD, {"UC5_POPMATRIX", popmatrix}},
    {0xBE, {"UC5_CULLDL"}},
    {0xBF, {"UC5_TRI1"}},
};
const int kUcode5DisCount = sizeof kUcode5Dis / sizeof kUcode5Dis[0];

const DisEntry kUcode6Dis[] = {
    {0x01, {"UC6_LOADMTX", uc6_load_matrix}},
    {0x04, {"UC6_LOADVTX", uc6_load_vertices}},
    {0x05, {"UC6_DMATRI", uc6_triangles}},
    {0x07, {"UC6_DL_INMEM", uc6_run_in_place}},
    {0x09, {"UC6_SPRITE2D"}},
    {0xB1, {"UC6_DMATRI", uc6_triangles}},
    {0xB2, {"UC6_RDPHALF_CONT"}},
    {0xB3, {"UC6_RDPHALF_2"}},
    {0xB4, {"UC6_RDPHALF_1"}},
    {0xB5, {"UC6_LINE3d"}},
    {0xBC, {"MOVEWORD", moveword, uc5_moveword}},
    {0xBD, {"UC6_POPMATRIX", popmatrix}},
    {0xBE, {"UC6_CULLDL"}},
    {0xBF, {"UC6_TRI1"}},
};
const int kUcode6DisCount = sizeof kUcode6Dis / sizeof kUcode6Dis[0];
