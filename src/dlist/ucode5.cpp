// Microcode family 5: 12-byte vertices with texture coordinates from a table, four
// triangles per command
#include "dlist/ucode5.h"

#include "dlist/interpreter.h"
#include "dlist/rsp_shared.h"
#include "dlist/ucode0.h"
#include "dlist/ucode0_fields.h"
#include "geometry/matrix.h"
#include "geometry/vertex.h"
#include "geometry/viewport.h"
#include "render/batch.h"
#include "render/combiner.h"
#include "state/rdram.h"

// LOADMTX params are family 0's MATRIX params.
using namespace uc0_fields;

// 0x01: a projection is never pushed. The projection matrix is selected for a load too, since
// a multiply leaves the model-view matrix current and a load must not land there.
static void uc5_loadmtx() {
    Matrix4 M;
    load_fixed_matrix(M, translate_address(rdp_reg.cmd1));
    switch (uc5_matrix_param(rdp_reg.cmd0)) {
    case kModelViewMul: modelview_mul(M); break;
    case kProjectionMul:
    case kProjectionPushMul: gl_mul_projection(M); break;
    case kModelViewLoad: modelview_load(M); break;
    case kProjectionLoad:
    case kProjectionPushLoad: gl_load_projection(M); break;
    case kModelViewPushMul: modelview_push_mul(M); break;
    case kModelViewPushLoad: modelview_push_load(M); break;
    default: break;
    }
}

// The vertex record is read in host half-words and bytes without the console swizzle, at
// these host offsets from the record's start.
constexpr uint32_t kVertexBytes = 12;
constexpr uint32_t kHostX = 2, kHostY = 0, kHostZ = 6, kHostTexRef = 4;
constexpr uint32_t kHostColor[4] = {11, 10, 9, 8}; // r, g, b, a

static float host_s16(uint32_t a) { return static_cast<float>(sext16(read_host_u16(a))); }

static void load_vertex12(uint32_t a, uint32_t index) {
    TransformedVertex& v = rdp_reg.vtx[index % kVertexCount];
    v.flags              = 0;
    const uint32_t table =
        rdp_reg.reserved2_address + 2 * uc5_texcoord_entry(read_host_u16(a + kHostTexRef));
    v.s = host_s16(table);
    v.t = host_s16(table + 2);
    for (uint32_t i = 0; i < 4; ++i)
        v.rgba[i] = read_host_u8(a + kHostColor[i]);
    transform_vertex(v, host_s16(a + kHostX), host_s16(a + kHostY), host_s16(a + kHostZ));
}

// 0x04: 1 to 16 vertices into vtx[first..first + count - 1] (at most 30); no texture
// coordinate generation in this family.
static void uc5_loadvtx() {
    const uint32_t first   = uc5_vtx_first(rdp_reg.cmd0);
    const uint32_t count   = uc5_vtx_count(rdp_reg.cmd0);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    for (uint32_t i = 0; i < count; ++i)
        load_vertex12(address + kVertexBytes * i, first + i);
}

// 0xB1: up to four triangles; one whose corners are all vertex 0 stands for none (and, naming
// one vertex twice, is never added).
static void uc5_tri2() {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    for (int k = 0; k < kUc5Triangles; ++k)
        add_triangle(uc5_tri_first(cmd1, k), uc5_tri_second(cmd1, k), uc5_tri_third(cmd0, k));
}

// 0xB9: unlike family 0, the depth range is left alone.
void uc5_setothermode_l() { setothermode_l_command(true, false); }

// 0xBA: no depth state here.
void uc5_setothermode_h() { setothermode_h_command(false); }

void uc5_movemem() { movemem_command(kRdramMask); }

// A light count outside the eight records stores none.
void uc5_moveword() { moveword_command(numlight_count, ExcessLights::none); }

// 0xBD: pops the model-view stack that LOADMTX pushes, whatever cmd1 holds. OpenGL's own
// model-view stack is not popped: nothing pushes it, so the pop could only underflow.
static void uc5_popmatrix() { modelview_pop(); }

static const CommandEntry kUcode5Commands[] = {
    {0x01, uc5_loadmtx},         {0x03, uc5_movemem}, {0x04, uc5_loadvtx},
    {0x06, uc0_displaylist},     {0xB1, uc5_tri2},    {0xB6, uc0_cleargeometrymode},
    {0xB7, uc0_setgeometrymode}, {0xB8, uc0_enddl},   {0xB9, uc5_setothermode_l},
    {0xBA, uc5_setothermode_h},  {0xBB, rsp_texture}, {0xBC, uc5_moveword},
    {0xBD, uc5_popmatrix},
};

void install_ucode5(CommandHandler* row) { install_commands(row, kUcode5Commands); }
