// RDP state, sync and reserved commands shared by every family
#pragma once
#include <cstdint>

void rsp_reserved0();        // 0x02
void rsp_reserved1();        // 0x05
void rsp_reserved2();        // 0x07
void rsp_reserved3();        // 0x08
void rdp_noop();             // 0xC0
void rdp_tri_fill();         // 0xC8
void rdp_tri_fill_z();       // 0xC9
void rdp_tri_txtr();         // 0xCA
void rdp_tri_txtr_z();       // 0xCB
void rdp_tri_shade();        // 0xCC
void rdp_tri_shade_z();      // 0xCD
void rdp_tri_shade_txtr();   // 0xCE
void rdp_tri_shade_txtr_z(); // 0xCF
void rdp_load_sync();        // 0xE6
void rdp_pipe_sync();        // 0xE7
void rdp_tile_sync();        // 0xE8
void rdp_full_sync();        // 0xE9
void rdp_set_key_g();        // 0xEA
void rdp_set_key_r();        // 0xEB
void rdp_set_convert();      // 0xEC
void rdp_set_scissor();      // 0xED
void rdp_set_prim_depth();   // 0xEE
void rdp_set_other_mode();   // 0xEF
void rdp_set_fill_color();   // 0xF7
void rdp_set_fog_color();    // 0xF8
void rdp_set_blend_color();  // 0xF9
void rdp_set_prim_color();   // 0xFA
void rdp_set_env_color();    // 0xFB
void rdp_set_depth_image();  // 0xFE
void rdp_set_color_image();  // 0xFF

void set_scissor(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry);
void apply_scissor(); // the scissor box to OpenGL, scaled to the window

// A colour register word (red in the most significant byte) as four floats in 0..1.
void decode_rgba(uint32_t w, float* rgba);
