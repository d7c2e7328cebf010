// Microcode family 6: matrices kept in three slots and loaded as the projection by the vertex
// command, untransformed 10-byte vertices, triangle lists in RDRAM, runs of commands in place
#include "dlist/ucode6_fields.h"

#include "dlist/interpreter.h"
#include "dlist/rsp_shared.h"
#include "dlist/ucode0.h"
#include "dlist/ucode5.h"
#include "geometry/matrix.h"
#include "render/batch.h"
#include "render/combiner.h"
#include "state/rdram.h"

// 0x01: stored only; the vertex command hands a slot to OpenGL. Slot 3 does not exist.
static void uc6_loadmtx() {
    const uint32_t slot = uc6_matrix_slot(rdp_reg.cmd0);
    if (slot == kUc6NoSlot) return;
    load_fixed_matrix(rdp_reg.uc6_matrix_slots[slot], translate_address(rdp_reg.cmd1));
}

constexpr uint32_t kVertexBytes = 10;

// The positions stay as the console gives them: the slot's matrix, loaded as OpenGL's
// projection, does the whole transform. The normal is kept raw, the flags untouched.
static void load_vertex10(uint32_t a, uint32_t index) {
    TransformedVertex& v = rdp_reg.vtx[index % kVertexCount];
    v.x                  = static_cast<float>(sext16(read_rdram_u16(a)));
    v.y                  = static_cast<float>(sext16(read_rdram_u16(a + 2)));
    v.z                  = static_cast<float>(sext16(read_rdram_u16(a + 4)));
    v.s                  = 1.0f;
    v.t                  = 1.0f;
    for (uint32_t i = 0; i < 4; ++i)
        v.rgba[i] = read_rdram_u8(a + 6 + i);
    v.nx = static_cast<float>(static_cast<int8_t>(v.rgba[0]));
    v.ny = static_cast<float>(static_cast<int8_t>(v.rgba[1]));
    v.nz = static_cast<float>(static_cast<int8_t>(v.rgba[2]));
}

// 0x04: 1 to 32 vertices, always from entry 0.
static void uc6_loadvtx() {
    const uint32_t count   = uc6_vtx_count(rdp_reg.cmd0);
    const uint32_t slot    = uc6_vtx_slot(rdp_reg.cmd0);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    if (slot != kUc6NoSlot) gl_load_projection(rdp_reg.uc6_matrix_slots[slot]);
    for (uint32_t i = 0; i < count; ++i)
        load_vertex10(address + kVertexBytes * i, i);
}

// Triangle records: bytes 1, 2 and 3 are the corners.
constexpr uint32_t kTriangleBytes = 16;

// 0x05 and 0xB1
static void uc6_dmatri() {
    const uint32_t count   = uc6_tri_count(rdp_reg.cmd0);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t r = address + kTriangleBytes * i;
        add_triangle(read_rdram_u8(r + 1), read_rdram_u8(r + 2), read_rdram_u8(r + 3));
    }
}

// 0x07: a run of commands at an RDRAM offset (not a segmented address); the triangles of the
// run collect in one batch. Interpretation goes on after this command.
static void uc6_dl_inmem() { run_in_place(rdp_reg.cmd1, uc6_run_commands(rdp_reg.cmd0)); }

// 0xBD: whatever cmd1 holds.
static void uc6_popmatrix() { modelview_pop(); }

static const CommandEntry kUcode6Commands[] = {
    {0x01, uc6_loadmtx}, {0x03, uc5_movemem},           {0x04, uc6_loadvtx},
    {0x05, uc6_dmatri},  {0x06, uc0_displaylist},       {0x07, uc6_dl_inmem},
    {0xB1, uc6_dmatri},  {0xB6, uc0_cleargeometrymode}, {0xB7, uc0_setgeometrymode},
    {0xB8, uc0_enddl},   {0xB9, uc5_setothermode_l},    {0xBA, uc5_setothermode_h},
    {0xBB, rsp_texture}, {0xBC, uc5_moveword},          {0xBD, uc6_popmatrix},
};

void install_ucode6(CommandHandler* row) { install_commands(row, kUcode6Commands); }
