// RDP state, sync and reserved commands shared by every family
#include "rdp/rdp_commands.h"

#include <GL/gl.h>

#include "geometry/viewport.h"
#include "rdp/rdp_fields.h"
#include "state/bits.h"
#include "state/host_state.h"
#include "state/picture.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

void rsp_reserved0() {}
void rsp_reserved1() {}
void rsp_reserved2() { rdp_reg.reserved2_address = translate_address(rdp_reg.cmd1); }
void rsp_reserved3() {}

// The triangle commands take eight bytes only: their coefficient words that follow in a
// real RDP stream are read as further commands.
void rdp_noop() {}
void rdp_tri_fill() {}
void rdp_tri_fill_z() {}
void rdp_tri_txtr() {}
void rdp_tri_txtr_z() {}
void rdp_tri_shade() {}
void rdp_tri_shade_z() {}
void rdp_tri_shade_txtr() {}
void rdp_tri_shade_txtr_z() {}
void rdp_load_sync() {}
void rdp_pipe_sync() {}
void rdp_tile_sync() {}
void rdp_set_key_g() {}
void rdp_set_key_r() {}
void rdp_set_convert() {}
void rdp_set_prim_depth() {}

// The DP interrupt bit, written over whatever the register held.
void rdp_full_sync() {
    if (host.mi_interrupt) *host.mi_interrupt = 0x20;
}

void set_scissor(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry) {
    rdp_reg.scissor_width  = lrx - ulx;
    rdp_reg.scissor_x      = ulx;
    rdp_reg.scissor_height = lry - uly;
    rdp_reg.scissor_y      = 240 - lry;
}

// The box on the console's screen in the window, widened in widescreen when it spans the
// colour image. A box of negative size clips everything; OpenGL would refuse it and keep the
// old box.
void apply_scissor() {
    const WindowBox screen = screen_box();
    const auto left        = static_cast<float>(rdp_reg.scissor_x);
    WindowBox b;
    b.x      = screen.x + static_cast<GLint>(left * scale_x);
    b.y      = screen.y + static_cast<GLint>(static_cast<float>(rdp_reg.scissor_y) * scale_y);
    b.width  = static_cast<GLsizei>(static_cast<float>(rdp_reg.scissor_width) * scale_x);
    b.height = static_cast<GLsizei>(static_cast<float>(rdp_reg.scissor_height) * scale_y);
    if (b.width < 0 || b.height < 0) b.width = b.height = 0;
    if (widens_across(left, left + static_cast<float>(rdp_reg.scissor_width)))
        widen_span(&b.x, &b.width);
    // Nothing the game draws reaches the black bars.
    if (picture_has_bars()) b = overlap(b, picture_box());
    glScissor(b.x, b.y, b.width, b.height);
    glEnable(GL_SCISSOR_TEST);
}

// The box reaches OpenGL at once (the pending triangles were flushed before this command),
// and again at the start of every task, scaled to the window as it is then.
void rdp_set_scissor() {
    set_scissor(scissor_ulx(rdp_reg.cmd0), scissor_uly(rdp_reg.cmd0), scissor_lrx(rdp_reg.cmd1),
                scissor_lry(rdp_reg.cmd1));
    apply_scissor();
}

void rdp_set_other_mode() {
    rdp_reg.othermode_h = other_mode_bits(rdp_reg.cmd0);
    rdp_reg.othermode_l = rdp_reg.cmd1; // the whole word: the blender's selectors are on top
    set_depth_test(rdp_reg.othermode_l & 0x10);
    apply_depth_range();
    rdp_reg.cycle_type = cycle_type_of(rdp_reg.othermode_h);
    set_depth_write(rdp_reg.othermode_l & 0x20);
}

void rdp_set_fill_color() { rdp_reg.fill_color = rdp_reg.cmd1; }
void rdp_set_blend_color() { rdp_reg.blend_color = rdp_reg.cmd1; }
void rdp_set_fog_color() { rdp_reg.fog_color = rdp_reg.cmd1; }

void decode_rgba(uint32_t w, float* rgba) {
    rgba[0] = static_cast<float>(w >> 24) * kInv255;
    rgba[1] = static_cast<float>(field(w, 16, 8)) * kInv255;
    rgba[2] = static_cast<float>(field(w, 8, 8)) * kInv255;
    rgba[3] = static_cast<float>(field(w, 0, 8)) * kInv255;
}

void rdp_set_prim_color() {
    rdp_reg.prim_color    = rdp_reg.cmd1;
    rdp_reg.prim_lod_frac = static_cast<float>(field(rdp_reg.cmd0, 0, 8)) * kInv255;
    decode_rgba(rdp_reg.cmd1, rdp_reg.prim_rgba);
}

void rdp_set_env_color() {
    rdp_reg.env_color = rdp_reg.cmd1;
    decode_rgba(rdp_reg.cmd1, rdp_reg.env_rgba);
}

void rdp_set_depth_image() { rdp_reg.depth_image_address = translate_address(rdp_reg.cmd1); }

void rdp_set_color_image() {
    rdp_reg.color_image_address = translate_address(rdp_reg.cmd1);
    rdp_reg.color_image_width   = static_cast<uint16_t>(color_image_width(rdp_reg.cmd0));
    rdp_reg.color_image_size    = static_cast<uint8_t>(color_image_size(rdp_reg.cmd0));
}
