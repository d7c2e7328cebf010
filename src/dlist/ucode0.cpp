// Microcode family 0: the first-generation geometry microcode
#include <GL/gl.h>

#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "dlist/rsp_shared.h"
#include "dlist/ucode0.h"
#include "dlist/ucode0_fields.h"
#include "framebuffer/color_images.h"
#include "geometry/matrix.h"
#include "geometry/vertex.h"
#include "geometry/viewport.h"
#include "render/batch.h"
#include "render/combiner.h"
#include "render/gl_idle.h"
#include "state/bits.h"
#include "state/host_state.h"
#include "state/rdram.h"

using namespace uc0_fields;

// 0x01: the projection goes to whatever OpenGL matrix is current; after the default set-up
// and every 2-D drawing that is the projection matrix. The projection is never pushed.
void matrix_command(uint32_t address_mask) {
    Matrix4 M;
    load_fixed_matrix(M, translate_address(rdp_reg.cmd1) & address_mask);
    switch (param(rdp_reg.cmd0)) {
    case kModelViewMul: modelview_mul(M); break;
    case kProjectionMul:
    case kProjectionPushMul: glMultMatrixf(M.m); break;
    case kModelViewLoad: modelview_load(M); break;
    case kProjectionLoad:
    case kProjectionPushLoad: glLoadMatrixf(M.m); break;
    case kModelViewPushMul: modelview_push_mul(M); break;
    case kModelViewPushLoad: modelview_push_load(M); break;
    default: break;
    }
}

static void uc0_matrix() { matrix_command(kRdramMask); }

// 0x03: viewport and light records; look-at and matrix slots do not affect drawing. The
// record mask applies to the viewport (and look-at) records, never to the lights.
void movemem_command(uint32_t record_mask) {
    const uint32_t index   = param(rdp_reg.cmd0);
    const uint32_t address = translate_address(rdp_reg.cmd1);
    if (index == kMoveViewport) load_viewport(address & record_mask);
    if (is_move_light(index)) load_light((index - kMoveLight0) / 2, address);
}

static void uc0_movemem() { movemem_command(kRdramMask); }

// 16 bytes per vertex into vtx[first..first + count - 1]; the vertex commands point the
// current tile at tile 0.
void load_vertices(uint32_t first, uint32_t count) {
    const uint32_t address = translate_address(rdp_reg.cmd1);
    rdp_reg.current_tile   = 0;
    for (uint32_t i = 0; i < count; ++i)
        load_vertex(address + 16 * i, first + i);
}

// 0x04: 1 to 16 vertices (entries up to 30); only this family resets the tile index too.
static void uc0_vertex() {
    load_vertices(vtx_first(rdp_reg.cmd0), vtx_count(rdp_reg.cmd0));
    rdp_reg.current_tile_index = 0;
}

// 0x06: call (param 0) or jump to (param 1) a display list.
void displaylist_command(uint32_t address_mask) {
    const uint32_t address = translate_address(rdp_reg.cmd1) & address_mask;
    if (param(rdp_reg.cmd0) == kDlistCall) dlist_call(address);
    if (param(rdp_reg.cmd0) == kDlistBranch) dlist_branch(address);
}

void uc0_displaylist() { displaylist_command(kRdramMask); }

// Only the 2-D set-ups of the 320 and 640 pixel wide colour images exist; for any other
// width the rectangle would land in 3-D space and the closing list would pop stacks that
// nothing pushed, so nothing is drawn.
static void draw_sprite_placeholder(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
    const uint32_t width = rdp_reg.color_image_width;
    if (width != 320 && width != 640) return;
    note_drawing();
    glCallList(width);
    float projection[16];
    begin_wide_projection(projection);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3ub(63, 63, 207);
    glVertex2f(static_cast<float>(x0), static_cast<float>(y0));
    glVertex2f(static_cast<float>(x1), static_cast<float>(y0));
    glVertex2f(static_cast<float>(x1), static_cast<float>(y1));
    glVertex2f(static_cast<float>(x0), static_cast<float>(y1));
    glVertex2f(static_cast<float>(x0), static_cast<float>(y0));
    glEnd();
    end_wide_projection(projection);
    glCallList(1); // leaves the projection matrix current, whichever was before
    check_gl_idle("the SPRITE2D placeholder");
}

// 0x09: a blue-grey rectangle where the sprite would go, on 16- and 32-bit frame buffers.
void sprite2d_command(uint32_t address_mask) {
    const uint32_t pixel_size = host.vi_status ? (*host.vi_status & 3) : 0;
    if (pixel_size != 2 && pixel_size != 3) return;
    const uint32_t a        = translate_address(rdp_reg.cmd1) & address_mask;
    const uint32_t sprite_w = read_rdram_u16(a + 10);
    const uint32_t sprite_h = read_rdram_u16(a + 12);
    const uint32_t dst_ox   = read_rdram_u16(a + 26);
    const uint32_t dst_oy   = read_rdram_u16(a + 28);
    draw_sprite_placeholder(dst_ox, dst_oy, dst_ox + sprite_w, dst_oy + sprite_h);
}

static void uc0_sprite2d() { sprite2d_command(kRdramMask); }

// 0xB5: drawn at once, before any triangles still waiting in the batch.
static void uc0_line3d() {
    note_drawing();
    draw_line3d(tri_index(rdp_reg.cmd1, 16), tri_index(rdp_reg.cmd1, 8));
}

// 0xB6
void uc0_cleargeometrymode() {
    rdp_reg.geometry_mode &= ~rdp_reg.cmd1;
    apply_geometry_cull();
}

// 0xB7
void uc0_setgeometrymode() {
    rdp_reg.geometry_mode |= rdp_reg.cmd1;
    apply_geometry_cull();
}

// 0xB8: return to the calling list, or end the task at depth 0.
void uc0_enddl() { dlist_return(); }

// 0xB9: without depth_test the depth test follows only the RDP other-mode command, without
// depth_range the depth range only the commands that set it.
void setothermode_l_command(bool depth_test, bool depth_range) {
    set_othermode_l_field(mode_shift(rdp_reg.cmd0), rdp_reg.cmd1);
    if (depth_range) apply_depth_range();
    if (depth_test) set_depth_test(rdp_reg.othermode_l & kZCompare);
    set_depth_write(rdp_reg.othermode_l & kZUpdate);
}

static void uc0_setothermode_l() { setothermode_l_command(true); }

// 0xBA: the depth test is left alone here; without depth_calls the depth range and writes
// are left alone too.
void setothermode_h_command(bool depth_calls) {
    set_othermode_h_field(mode_shift(rdp_reg.cmd0), rdp_reg.cmd1);
    if (!depth_calls) return;
    apply_depth_range();
    set_depth_write(rdp_reg.othermode_l & kZUpdate);
}

static void uc0_setothermode_h() { setothermode_h_command(true); }

// 0xBC: the families decode the light count each in their own way.
void moveword_command(uint32_t (*light_count)(uint32_t cmd1), ExcessLights excess) {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    switch (moveword_index(cmd0)) {
    case kMoveWordNumLight: set_num_lights(light_count(cmd1), excess); break;
    case kMoveWordSegment: rdp_reg.segments[segment_number(cmd0)] = cmd1; break;
    case kMoveWordLightCol: moveword_lightcol(cmd0, cmd1); break;
    case kMoveWordFog: moveword_fog(moveword_offset(cmd0), cmd1); break;
    default: break;
    }
}

void uc0_moveword() { moveword_command(numlight_count); }

// 0xBD: only the model-view stack is popped; a projection pop does nothing.
static void uc0_popmatrix() {
    if (rdp_reg.cmd1 == 0) modelview_pop();
}

void add_triangle_from(uint32_t word, IndexField index) {
    add_triangle(index(word, 16), index(word, 8), index(word, 0));
}

void add_quad_from(uint32_t word, IndexField index) {
    const uint32_t a = index(word, 24), b = index(word, 16), c = index(word, 8), d = index(word, 0);
    add_triangle(a, b, c);
    add_triangle(d, a, c);
}

// 0xBF: the flag byte 24..31 is not read.
static void uc0_tri1() { add_triangle_from(rdp_reg.cmd1, tri_index); }

static const CommandEntry kUcode0Commands[] = {
    {0x01, uc0_matrix},
    {0x03, uc0_movemem},
    {0x04, uc0_vertex},
    {0x06, uc0_displaylist},
    {0x09, uc0_sprite2d},
    {0xB5, uc0_line3d},
    {0xB6, uc0_cleargeometrymode},
    {0xB7, uc0_setgeometrymode},
    {0xB8, uc0_enddl},
    {0xB9, uc0_setothermode_l},
    {0xBA, uc0_setothermode_h},
    {0xBB, rsp_texture}, // TEXTURE, decoded as in the later families
    {0xBC, uc0_moveword},
    {0xBD, uc0_popmatrix},
    {0xBF, uc0_tri1},
};

void install_ucode0(CommandHandler* row) { install_commands(row, kUcode0Commands); }
