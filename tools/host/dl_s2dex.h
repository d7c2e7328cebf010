// The 2-D microcodes' commands (in family 7's or family 8's numbering) and the records they
// point at, written big-endian as the console holds them
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

#include "dl_builder.h"
#include "dlist/ucode7_8_fields.h"

namespace s2d {

using obj::Opcodes;
inline const Opcodes& ops(int family) { return family == 8 ? obj::kFamily8 : obj::kFamily7; }

inline Command bg_copy(int f, uint32_t record) { return cmd::word(ops(f).bg_copy, 0, record); }
inline Command bg_1cyc(int f, uint32_t record) { return cmd::word(ops(f).bg_1cyc, 0, record); }
inline Command rectangle(int f, uint32_t sprite) {
    return cmd::word(ops(f).obj_rectangle, 0, sprite);
}
inline Command rectangle_r(int f, uint32_t sprite) {
    return cmd::word(ops(f).obj_rectangle_r, 0, sprite);
}
inline Command sprite(int f, uint32_t sprite) { return cmd::word(ops(f).obj_sprite, 0, sprite); }
inline Command matrix(int f, uint32_t mtx) { return cmd::word(ops(f).obj_movemem, 23 << 16, mtx); }
inline Command sub_matrix(int f, uint32_t mtx) {
    return cmd::word(ops(f).obj_movemem, 7 << 16 | 2, mtx);
}
inline Command load_txtr(int f, uint32_t txtr) { return cmd::word(ops(f).obj_loadtxtr, 23, txtr); }
inline Command ldtx_rect(int f, uint32_t tx_sprite) {
    return cmd::word(ops(f).obj_ldtx_rect, 47, tx_sprite);
}
inline Command render_mode(int f, uint32_t bits) {
    return cmd::word(ops(f).obj_rendermode, 0, bits);
}
inline Command end_dl(int f) { return cmd::word(ops(f).enddl, 0, 0); }
inline Command call_dl(int f, uint32_t dl) { return cmd::word(ops(f).displaylist, 0, dl); }
// G_MOVEWORD: family 7 puts the offset above the index, family 8 the index above the offset.
inline Command moveword(int f, uint32_t index, uint32_t offset, uint32_t value) {
    return f == 8 ? cmd::word(ops(f).moveword, index << 16 | offset, value)
                  : cmd::word(ops(f).moveword, offset << 8 | index, value);
}
inline Command segment(int f, uint32_t n, uint32_t base) { return moveword(f, 6, 4 * n, base); }
inline Command set_status(int f, uint32_t sid, uint32_t value) {
    return moveword(f, obj::kMoveWordStatus, sid, value);
}
// G_RDPHALF_0 and G_SELECT_DL: call (or branch to) dl unless status sid holds flag under mask.
inline void select_dl(DisplayList& dl, int f, uint32_t sid, uint32_t flag, uint32_t list,
                      uint32_t mask, bool branch = false) {
    dl.add({cmd::word(obj::kRdpHalf0, sid << 16 | (list & 0xFFFF), flag),
            cmd::word(ops(f).select_dl, (branch ? 1u : 0u) << 16 | list >> 16, mask)});
}
// gSPLoadUcode: the data address in G_RDPHALF_1, then G_LOAD_UCODE with the text address.
inline void load_ucode(DisplayList& dl, int numbering, uint32_t text, uint32_t data) {
    const Opcodes& o = ops(numbering == 4 || numbering == 8 ? 8 : 7);
    dl.add({cmd::word(o.rdphalf_1, 0, data), cmd::word(o.load_ucode, 0x7FF, text)});
}

inline void write_text(Console& c, uint32_t at, const std::string& text) {
    for (size_t i = 0; i <= text.size(); ++i)
        c.write_u8(at + uint32_t(i), i < text.size() ? uint8_t(text[i]) : 0);
}
constexpr char kS2dexText[]  = "RSP Gfx ucode S2DEX  1.07 Yoshitaka Yasumoto Nintendo.";
constexpr char kS2dex2Text[] = "RSP Gfx ucode S2DEX       fifo 2.05  Yoshitaka Yasumoto 1998 "
                               "Nintendo.";
constexpr char kF3dex2Text[] = "RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto 1999 "
                               "Nintendo.";

inline uint16_t fixed(float v, float one) {
    return static_cast<uint16_t>(static_cast<int32_t>(std::lround(v * one)));
}

// A background record (uObjBg, or uObjScaleBg with a scale): sizes in texels and pixels.
struct Bg {
    uint32_t image;
    int image_w, image_h;
    float frame_x, frame_y, frame_w, frame_h;
    float image_x = 0, image_y = 0; // scroll, texels
    uint8_t format = 0, size = 2, palette = 0;
    bool flip     = false;
    float scale_w = 1, scale_h = 1; // texels per pixel (G_BG_1CYC only)
};
inline void write_bg(Console& c, uint32_t at, const Bg& b) {
    using namespace obj::bg;
    c.write_u16(at + kImageX, fixed(b.image_x, 32));
    c.write_u16(at + kImageW, fixed(float(b.image_w), 4));
    c.write_u16(at + kFrameX, fixed(b.frame_x, 4));
    c.write_u16(at + kFrameW, fixed(b.frame_w, 4));
    c.write_u16(at + kImageY, fixed(b.image_y, 32));
    c.write_u16(at + kImageH, fixed(float(b.image_h), 4));
    c.write_u16(at + kFrameY, fixed(b.frame_y, 4));
    c.write_u16(at + kFrameH, fixed(b.frame_h, 4));
    c.write_u32(at + kImagePtr, b.image);
    c.write_u16(at + 0x14, 0xFFF4); // loaded by tiles
    c.write_u8(at + kImageFmt, b.format);
    c.write_u8(at + kImageSiz, b.size);
    c.write_u16(at + kImagePal, b.palette);
    c.write_u16(at + kImageFlip, b.flip ? kFlipS : 0);
    c.write_u16(at + kScaleW, fixed(b.scale_w, 1024));
    c.write_u16(at + kScaleH, fixed(b.scale_h, 1024));
    c.write_u32(at + 0x20, fixed(b.image_y, 32));
    c.write_u32(at + 0x24, 0);
}

// A sprite record (uObjSprite): position in pixels, sizes in texels, scale in texels a pixel.
struct Sprite {
    float x, y;
    int image_w, image_h;
    float scale_w = 1, scale_h  = 1;
    uint16_t stride_words, tmem = 0;
    uint8_t format = 0, size = 2, palette = 0, flags = 0;
};
inline void write_sprite(Console& c, uint32_t at, const Sprite& s) {
    using namespace obj::sprite;
    c.write_u16(at + kObjX, fixed(s.x, 4));
    c.write_u16(at + kScaleW, fixed(s.scale_w, 1024));
    c.write_u16(at + kImageW, fixed(float(s.image_w), 32));
    c.write_u16(at + 0x06, 0);
    c.write_u16(at + kObjY, fixed(s.y, 4));
    c.write_u16(at + kScaleH, fixed(s.scale_h, 1024));
    c.write_u16(at + kImageH, fixed(float(s.image_h), 32));
    c.write_u16(at + 0x0E, 0);
    c.write_u16(at + kStride, s.stride_words);
    c.write_u16(at + kAdrs, s.tmem);
    c.write_u8(at + kFmt, s.format);
    c.write_u8(at + kSiz, s.size);
    c.write_u8(at + kPal, s.palette);
    c.write_u8(at + kFlags, s.flags);
}

// The 2-D matrix (uObjMtx): a..d, the screen point it turns about, BaseScale.
inline void write_matrix(Console& c, uint32_t at, float a, float b, float cc, float d, float x,
                         float y, float base_x = 1, float base_y = 1) {
    const float m[4] = {a, b, cc, d};
    for (int i = 0; i < 4; ++i)
        c.write_u32(at + 4 * uint32_t(i), uint32_t(int32_t(std::lround(m[i] * 65536.0f))));
    c.write_u16(at + 16, fixed(x, 4));
    c.write_u16(at + 18, fixed(y, 4));
    c.write_u16(at + 20, fixed(base_x, 1024));
    c.write_u16(at + 22, fixed(base_y, 1024));
}

// A block load record (uObjTxtr): `words` 64-bit words to TMEM word tmem, unless status sid
// holds flag under mask.
inline void write_txtr_block(Console& c, uint32_t at, uint32_t image, uint16_t tmem, uint16_t words,
                             uint16_t words_a_line, uint16_t sid, uint32_t flag, uint32_t mask) {
    using namespace obj::txtr;
    c.write_u32(at + kType, kBlock);
    c.write_u32(at + kImage, image);
    c.write_u16(at + kTmem, tmem);
    c.write_u16(at + kSize, uint16_t(words - 1));
    c.write_u16(at + kLine, uint16_t((2047 + words_a_line) / words_a_line));
    c.write_u16(at + kSid, sid);
    c.write_u32(at + kFlag, flag);
    c.write_u32(at + kMask, mask);
}

} // namespace s2d
