// Microcode family 4: the newer command numbering, geometry at 0x01-0x08 and 0xD3-0xE3
#include "dlist/ucode4.h"

#include <GL/gl.h>

#include "dlist/interpreter.h"
#include "dlist/ucode0.h"
#include "dlist/ucode_switch.h"
#include "geometry/matrix.h"
#include "geometry/viewport.h"
#include "render/batch.h"
#include "state/rdram.h"

using namespace ucode4;

// 0x01: count vertices into vtx[end - count .. end - 1]; a count above end loads nothing.
static void uc4_loadvtx() {
    const uint32_t count   = vtx_count(rdp_reg.cmd0);
    const uint32_t end     = vtx_end(rdp_reg.cmd0);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    if (count > end) return;
    for (uint32_t i = 0; i < count; ++i)
        load_vertex(address + 16 * i, end - count + i, TexGen::unit_normal);
}

// 0x04: the depth comparison is not made; the list at the RDPHALF_1 address is always called.
void uc4_branchz() { dlist_call(rdp_reg.rdphalf_address); }

// 0x05
static void uc4_tri1() { add_triangle_from(rdp_reg.cmd0, vertex_index); }

// 0x06 TRI2 and 0x07 QUAD: a quadrangle is the two triangles its words spell out.
static void uc4_tri2() {
    add_triangle_from(rdp_reg.cmd0, vertex_index);
    add_triangle_from(rdp_reg.cmd1, vertex_index);
}

// 0xD8: only a model-view pop (64 bytes, one matrix) pops.
static void uc4_popmatrix() {
    if (rdp_reg.cmd1 == 64) modelview_pop();
}

constexpr uint32_t kCullFront = 0x200;
constexpr uint32_t kCullBack  = 0x400;

// 0xD9: cmd0 keeps bits, cmd1 sets bits; this family's cull bits are 0x600.
static void uc4_geometrymode() {
    rdp_reg.geometry_mode = (rdp_reg.geometry_mode & geometry_keep(rdp_reg.cmd0)) | rdp_reg.cmd1;
    switch (rdp_reg.geometry_mode & (kCullFront | kCullBack)) {
    case kCullFront: set_cull_front(1); break;
    case kCullBack: set_cull_back(1); break;
    case kCullFront | kCullBack: set_cull_both(1); break;
    default: set_cull_both(0); break;
    }
}

// 0xDA: the projection is never pushed. It is made the current OpenGL matrix first: it is
// current after the default set-up and every 2-D drawing, but the projection commands of
// families 5 and 6 leave the model-view current.
static void uc4_loadmtx() {
    Matrix4 M;
    load_fixed_matrix(M, translate_address(rdp_reg.cmd1));
    const uint32_t p = mtx_params(rdp_reg.cmd0);
    if (p > (kMtxProjection | kMtxLoad | kMtxNoPush)) return;
    if (p & kMtxProjection) {
        glMatrixMode(GL_PROJECTION);
        if (p & kMtxLoad)
            glLoadMatrixf(M.m);
        else
            glMultMatrixf(M.m);
        return;
    }
    switch (p) {
    case 0: modelview_push_mul(M); break;
    case kMtxNoPush: modelview_mul(M); break;
    case kMtxLoad: modelview_push_load(M); break;
    default: modelview_load(M); break;
    }
}

// 0xDB
void uc4_moveword() {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    switch (moveword_index(cmd0)) {
    case kMoveWordNumLight: set_num_lights(numlight_count(cmd1), ExcessLights::none); break;
    case kMoveWordSegment:
        // Offsets of 64 and more would name segments beyond the 16 of the table.
        if (moveword_offset(cmd0) / 4 < kSegmentCount)
            rdp_reg.segments[moveword_offset(cmd0) / 4] = cmd1 & 0x00FFFFFF;
        break;
    case kMoveWordLightCol: moveword_lightcol(cmd0, cmd1); break;
    case kMoveWordFog: moveword_fog(moveword_offset(cmd0), cmd1); break;
    default: break;
    }
}

// 0xDC: viewports and light records; the matrix slots do not affect drawing.
static void uc4_movemem() {
    const uint32_t address = translate_address(rdp_reg.cmd1);
    switch (movemem_index(rdp_reg.cmd0)) {
    case kMoveMemViewport: load_viewport(address); break;
    case kMoveMemLight: {
        const uint32_t offset = movemem_offset(rdp_reg.cmd0);
        if (offset < kFirstLightOffset) break;
        const uint32_t light = (offset - kFirstLightOffset) / kLightSlotSize;
        if (light < kLightCount) load_light(light, address);
        break;
    }
    default: break;
    }
}

// 0xDE: call (16 levels in this family) or branch.
void uc4_displaylist() {
    const uint32_t address = translate_address(rdp_reg.cmd1);
    if (dl_kind(rdp_reg.cmd0) == 0) dlist_call(address);
    if (dl_kind(rdp_reg.cmd0) == 1) dlist_branch(address);
}

// 0xDF: return to the calling list, or end the task at depth 0.
void uc4_enddl() { dlist_return(); }

// 0xE1: the list that the next BRANCHZ calls.
void uc4_rdphalf_1() { rdp_reg.rdphalf_address = translate_address(rdp_reg.cmd1); }

// 0xE2: whatever the field, the depth state is reapplied from the whole word.
static void uc4_setothermode_l() {
    const int32_t shift = othermode_shift(rdp_reg.cmd0);
    if (shift >= 0) set_othermode_l_field(static_cast<uint32_t>(shift), rdp_reg.cmd1);
    set_depth_test(rdp_reg.othermode_l & kZCompare);
    apply_depth_range();
    set_depth_write(rdp_reg.othermode_l & kZUpdate);
}

// 0xE3
static void uc4_setothermode_h() {
    const int32_t shift = othermode_shift(rdp_reg.cmd0);
    if (shift >= 0) set_othermode_h_field(static_cast<uint32_t>(shift), rdp_reg.cmd1);
}

// Accepted and ignored: MODIFYVTX (0x02), CULLDL (0x03), 0x08, special_1 to 3 (0xD3-0xD5),
// dma_io (0xD6) and noop (0xE0) keep the row's do-nothing handler.
static const CommandEntry kUcode4Commands[] = {
    {0x01, uc4_loadvtx},   {0x04, uc4_branchz},        {0x05, uc4_tri1},
    {0x06, uc4_tri2},      {0x07, uc4_tri2}, // QUAD
    {0xD7, rsp_texture},   {0xD8, uc4_popmatrix},      {0xD9, uc4_geometrymode},
    {0xDA, uc4_loadmtx},   {0xDB, uc4_moveword},       {0xDC, uc4_movemem},
    {0xDD, load_ucode},    {0xDE, uc4_displaylist},    {0xDF, uc4_enddl},
    {0xE1, uc4_rdphalf_1}, {0xE2, uc4_setothermode_l}, {0xE3, uc4_setothermode_h},
};

void install_ucode4(CommandHandler* row) { install_commands(row, kUcode4Commands); }
