// Microcode families 7 and 8, the 2-D microcodes: backgrounds copied or scaled from an image in
// RDRAM, sprites placed, scaled and turned by the 2-D matrix, texture loads that a status word
// can skip. Family 7 keeps family 1's numbering and handlers for the commands it shares with
// it, family 8 family 4's.
#include <cmath>
#include <initializer_list>

#include "dlist/command_table.h"
#include "dlist/interpreter.h"
#include "dlist/ucode0.h"
#include "dlist/ucode4.h"
#include "dlist/ucode7_8.h"
#include "dlist/ucode7_8_fields.h"
#include "rdp/obj_drawing.h"
#include "rdp/rectangles.h"
#include "state/bits.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/tile_commands.h"

using namespace obj;

namespace {

const Opcodes& opcodes() { return UcodeType == 8 ? kFamily8 : kFamily7; }

// Records are big-endian on the console: read them field by field.
uint32_t read_u32(uint32_t a) { return uint32_t(read_rdram_u16(a)) << 16 | read_rdram_u16(a + 2); }
float read_s16(uint32_t a) { return static_cast<float>(sext16(read_rdram_u16(a))); }
float read_u16f(uint32_t a) { return static_cast<float>(read_rdram_u16(a)); }
float read_s32(uint32_t a) { return static_cast<float>(static_cast<int32_t>(read_u32(a))); }

// The "load only if" test: nothing when the status word already holds `flag` under `mask`;
// else the word takes it and the load (or call) goes ahead.
bool status_allows(uint32_t sid, uint32_t flag, uint32_t mask) {
    uint32_t& status = rdp_reg.obj.status[status_index(sid)];
    if ((status & mask) == flag) return false;
    status = (status & ~mask) | (flag & mask);
    return true;
}

// An RDP command as the microcode sends it, run through the RDP row.
void send_rdp(void (*handler)(), uint32_t w0, uint32_t w1) {
    const uint32_t cmd0 = rdp_reg.cmd0, cmd1 = rdp_reg.cmd1;
    rdp_reg.cmd0 = w0;
    rdp_reg.cmd1 = w1;
    handler();
    rdp_reg.cmd0 = cmd0;
    rdp_reg.cmd1 = cmd1;
}

constexpr uint32_t kLoadTile = 7;
constexpr uint32_t kSize16   = 2;

void send_image(uint32_t width, uint32_t segmented) {
    send_rdp(rdp_set_texture_image, 0xFDu << 24 | kSize16 << 19 | ((width - 1) & 0xFFF), segmented);
}
void send_load_tile(uint32_t line, uint32_t tmem) {
    send_rdp(rdp_set_tile, 0xF5u << 24 | kSize16 << 19 | (line & 0x1FF) << 9 | (tmem & 0x1FF),
             kLoadTile << 24);
}

// G_OBJ_LOADTXTR's record: a block, a tile or a palette, through the load tile 7 as the
// microcode sends it.
void load_texture_record(uint32_t a) {
    const uint32_t type = read_u32(a + txtr::kType), image = read_u32(a + txtr::kImage);
    const uint32_t tmem = read_rdram_u16(a + txtr::kTmem), size = read_rdram_u16(a + txtr::kSize);
    const uint32_t line = read_rdram_u16(a + txtr::kLine);
    if (!status_allows(read_rdram_u16(a + txtr::kSid), read_u32(a + txtr::kFlag),
                       read_u32(a + txtr::kMask)))
        return;
    switch (type) {
    case txtr::kBlock: // size: 64-bit words - 1; line: the step per line
        send_image(1, image);
        send_load_tile(0, tmem);
        send_rdp(rdp_load_block, 0xF3u << 24,
                 kLoadTile << 24 | (((size + 1) * 4 - 1) & 0xFFF) << 12 | (line & 0xFFF));
        break;
    case txtr::kTile: // size: 16-bit texels a line - 1; line: lines in 10.2 - 1
        send_image(size + 1, image);
        send_load_tile((size + 1) / 4, tmem);
        send_rdp(rdp_load_tile, 0xF4u << 24,
                 kLoadTile << 24 | ((size << 2) & 0xFFF) << 12 | (line & 0xFFF));
        break;
    case txtr::kTlut: // tmem: the palette's place; size: colours - 1
        send_image(1, image);
        send_load_tile(0, tmem);
        send_rdp(rdp_load_tlut, 0xF0u << 24, kLoadTile << 24 | ((size << 2) & 0xFFF) << 12);
        break;
    default: break;
    }
}

struct SpriteRecord {
    float x, y;             // upper-left, pixels
    float scale_w, scale_h; // texels per pixel
    float flip_s, flip_t;
    SpriteTexture texture;
};

SpriteRecord read_sprite(uint32_t a) {
    using namespace sprite;
    SpriteRecord r{};
    r.x                 = read_s16(a + kObjX) / 4.0f;
    r.y                 = read_s16(a + kObjY) / 4.0f;
    r.scale_w           = read_u16f(a + kScaleW) / 1024.0f;
    r.scale_h           = read_u16f(a + kScaleH) / 1024.0f;
    const uint8_t flags = read_rdram_u8(a + kFlags);
    r.flip_s            = (flags & kFlipS) != 0;
    r.flip_t            = (flags & kFlipT) != 0;
    r.texture           = {static_cast<uint8_t>(read_rdram_u8(a + kFmt) & 7),
                           static_cast<uint8_t>(read_rdram_u8(a + kSiz) & 3),
                           static_cast<uint8_t>(read_rdram_u8(a + kPal) & 7),
                           static_cast<uint16_t>(read_rdram_u16(a + kStride) & 0x1FF),
                           static_cast<uint16_t>(read_rdram_u16(a + kAdrs) & 0x1FF),
                           read_u16f(a + kImageW) / 32.0f,
                           read_u16f(a + kImageH) / 32.0f};
    return r;
}

// The texel positions at the two ends of an axis `pixels` long, `step` texels a pixel.
void texel_ends(float texels, float step, float pixels, bool flip, float* lo, float* hi) {
    texel_edges(0.0f, step, pixels, lo, hi);
    if (flip) {
        *lo = texels - *lo;
        *hi = texels - *hi;
    }
}

// A sprite as one rectangle: at (x, y), shrunk by `base` on top of its own scale. Without
// bilinear correction the microcode puts the corner on a whole pixel.
void draw_rect_sprite(const SpriteRecord& r, float x, float y, float base_x, float base_y) {
    const float step_s = r.scale_w * base_x, step_t = r.scale_h * base_y;
    if (!(step_s > 0.0f) || !(step_t > 0.0f)) return;
    const float w = r.texture.width / step_s, h = r.texture.height / step_t;
    if (!(rdp_reg.obj.render_mode & kRenderBilerp)) {
        x = std::floor(x + 0.25f);
        y = std::floor(y + 0.25f);
    }
    float s0, s1, t0, t1;
    texel_ends(r.texture.width, step_s, w, r.flip_s, &s0, &s1);
    texel_ends(r.texture.height, step_t, h, r.flip_t, &t0, &t1);
    const float x1 = x + w, y1 = y + h;
    set_sprite_tile(r.texture);
    draw_sprite({{x1, y1, s1, t1}, {x, y1, s0, t1}, {x, y, s0, t0}, {x1, y, s1, t0}});
}

void obj_rectangle_at(uint32_t a) {
    const SpriteRecord r = read_sprite(a);
    draw_rect_sprite(r, r.x, r.y, 1.0f, 1.0f);
}

// The sub-matrix places the sprite and shrinks it by BaseScale.
void obj_rectangle_r_at(uint32_t a) {
    const ObjMatrix& m = rdp_reg.obj.mtx;
    if (!(m.base_scale_x > 0.0f) || !(m.base_scale_y > 0.0f)) return;
    const SpriteRecord r = read_sprite(a);
    draw_rect_sprite(r, m.x + r.x / m.base_scale_x, m.y + r.y / m.base_scale_y, m.base_scale_x,
                     m.base_scale_y);
}

// The whole matrix turns the sprite's four corners about the screen point (X, Y).
void obj_sprite_at(uint32_t a) {
    const SpriteRecord r = read_sprite(a);
    if (!(r.scale_w > 0.0f) || !(r.scale_h > 0.0f)) return;
    const ObjMatrix& m = rdp_reg.obj.mtx;
    const float x0 = r.x, x1 = r.x + r.texture.width / r.scale_w;
    const float y0 = r.y, y1 = r.y + r.texture.height / r.scale_h;
    const float s0 = r.flip_s ? r.texture.width : 0.0f, s1 = r.texture.width - s0;
    const float t0 = r.flip_t ? r.texture.height : 0.0f, t1 = r.texture.height - t0;
    auto corner = [&](float x, float y, float s, float t) {
        return SpriteCorner{m.a * x + m.b * y + m.x, m.c * x + m.d * y + m.y, s, t};
    };
    set_sprite_tile(r.texture);
    draw_sprite({corner(x1, y1, s1, t1), corner(x0, y1, s0, t1), corner(x0, y0, s0, t0),
                 corner(x1, y0, s1, t0)});
}

uint32_t record_address() { return translate_address(rdp_reg.cmd1); }

// The background records: the image, the frame and the scroll; scaled ones their scale too.
void draw_background_at(uint32_t a, bool scaled) {
    using namespace bg;
    BgPicture picture{};
    picture.address = translate_address(read_u32(a + kImagePtr));
    picture.format  = read_rdram_u8(a + kImageFmt) & 7;
    picture.size    = read_rdram_u8(a + kImageSiz) & 3;
    picture.palette = read_rdram_u16(a + kImagePal) & 0xF;
    picture.width   = read_rdram_u16(a + kImageW) >> 2;
    picture.height  = read_rdram_u16(a + kImageH) >> 2;
    BgPlacement at{};
    at.x       = read_s16(a + kFrameX) / 4.0f;
    at.y       = read_s16(a + kFrameY) / 4.0f;
    at.w       = read_u16f(a + kFrameW) / 4.0f;
    at.h       = read_u16f(a + kFrameH) / 4.0f;
    at.s       = read_u16f(a + kImageX) / 32.0f;
    at.t       = read_u16f(a + kImageY) / 32.0f;
    at.flip_s  = (read_rdram_u16(a + kImageFlip) & kFlipS) != 0;
    at.scale_s = scaled ? read_u16f(a + kScaleW) / 1024.0f : 1.0f;
    at.scale_t = scaled ? read_u16f(a + kScaleH) / 1024.0f : 1.0f;
    // A copy moves whole texels.
    if (!scaled) {
        at.s = std::floor(at.s);
        at.t = std::floor(at.t);
    }
    draw_background(picture, at);
}

void bg_1cyc() { draw_background_at(record_address(), true); }
void bg_copy() { draw_background_at(record_address(), false); }
void obj_rectangle() { obj_rectangle_at(record_address()); }
void obj_rectangle_r() { obj_rectangle_r_at(record_address()); }
void obj_sprite() { obj_sprite_at(record_address()); }
void obj_loadtxtr() { load_texture_record(record_address()); }

// G_OBJ_LDTX_*: the load record, then the sprite after it.
void obj_ldtx_sprite() {
    load_texture_record(record_address());
    obj_sprite_at(record_address() + txtr::kBytes);
}
void obj_ldtx_rect() {
    load_texture_record(record_address());
    obj_rectangle_at(record_address() + txtr::kBytes);
}
void obj_ldtx_rect_r() {
    load_texture_record(record_address());
    obj_rectangle_r_at(record_address() + txtr::kBytes);
}

// G_OBJ_MOVEMEM: the whole 2-D matrix, or its last 8 bytes (position and BaseScale).
void obj_movemem() {
    const uint32_t a = record_address();
    ObjMatrix& m     = rdp_reg.obj.mtx;
    uint32_t tail    = a + 16;
    switch (movemem_index(rdp_reg.cmd0)) {
    case kMoveMemMatrix:
        m.a = read_s32(a) / 65536.0f;
        m.b = read_s32(a + 4) / 65536.0f;
        m.c = read_s32(a + 8) / 65536.0f;
        m.d = read_s32(a + 12) / 65536.0f;
        break;
    case kMoveMemSubMatrix: tail = a; break;
    default: return;
    }
    m.x            = read_s16(tail) / 4.0f;
    m.y            = read_s16(tail + 2) / 4.0f;
    m.base_scale_x = read_u16f(tail + 4) / 1024.0f;
    m.base_scale_y = read_u16f(tail + 6) / 1024.0f;
}

void obj_rendermode() { rdp_reg.obj.render_mode = rdp_reg.cmd1; }

// 0xE4: the first half of G_SELECT_DL when one follows, else a texture rectangle.
void rdphalf_0() {
    if (opcode(read_rdram_u32(command_cursor())) != opcodes().select_dl) {
        rdp_tex_rect();
        return;
    }
    rdp_reg.obj.select_sid  = select_sid(rdp_reg.cmd0);
    rdp_reg.obj.select_flag = rdp_reg.cmd1;
    rdp_reg.obj.select_low  = select_low(rdp_reg.cmd0);
}

// G_SELECT_DL: call or branch to the list unless the status word already holds the flag.
void select_dl() {
    const ObjState& o      = rdp_reg.obj;
    const uint32_t address = translate_address(select_high(rdp_reg.cmd0) << 16 | o.select_low);
    if (!status_allows(o.select_sid, o.select_flag, rdp_reg.cmd1)) return;
    if (select_kind(rdp_reg.cmd0) == 0) dlist_call(address);
    if (select_kind(rdp_reg.cmd0) == 1) dlist_branch(address);
}

void set_status(uint32_t sid, uint32_t value) { rdp_reg.obj.status[status_index(sid)] = value; }

// G_MOVEWORD: the status words beside the segments of the 3-D microcode's command.
void family7_moveword() {
    if (uc0_fields::moveword_index(rdp_reg.cmd0) == kMoveWordStatus)
        set_status(uc0_fields::moveword_offset(rdp_reg.cmd0), rdp_reg.cmd1);
    else
        uc0_moveword();
}
void family8_moveword() {
    if (ucode4::moveword_index(rdp_reg.cmd0) == kMoveWordStatus)
        set_status(ucode4::moveword_offset(rdp_reg.cmd0), rdp_reg.cmd1);
    else
        uc4_moveword();
}

// The commands of a 2-D row; the rest come from the 3-D row whose numbering it keeps.
void install_2d_row(CommandHandler* row, const Opcodes& op, const CommandHandler* own_3d_row) {
    const CommandEntry entries[] = {
        {op.bg_1cyc, bg_1cyc},
        {op.bg_copy, bg_copy},
        {op.obj_rectangle, obj_rectangle},
        {op.obj_sprite, obj_sprite},
        {op.obj_movemem, obj_movemem},
        {op.select_dl, select_dl},
        {op.obj_rendermode, obj_rendermode},
        {op.obj_rectangle_r, obj_rectangle_r},
        {op.obj_loadtxtr, obj_loadtxtr},
        {op.obj_ldtx_sprite, obj_ldtx_sprite},
        {op.obj_ldtx_rect, obj_ldtx_rect},
        {op.obj_ldtx_rect_r, obj_ldtx_rect_r},
        {kRdpHalf0, rdphalf_0},
    };
    for (uint8_t kept : {op.displaylist, op.enddl, op.setothermode_l, op.setothermode_h,
                         op.rdphalf_1, op.load_ucode})
        row[kept] = own_3d_row[kept];
    install_commands(row, entries);
}

} // namespace

void install_ucode7(CommandHandler* row) {
    install_2d_row(row, kFamily7, CommandTable[1]);
    row[kFamily7.moveword] = family7_moveword;
}

void install_ucode8(CommandHandler* row) {
    install_2d_row(row, kFamily8, CommandTable[4]);
    row[kFamily8.moveword] = family8_moveword;
}
