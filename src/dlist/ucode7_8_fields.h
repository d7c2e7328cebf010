// The 2-D microcodes' opcodes (family 7 keeps family 1's numbering, family 8 family 4's) and
// the records their commands point at, shared with the disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"

namespace obj {

// The commands of a 2-D family, by their byte in its row.
struct Opcodes {
    uint8_t bg_1cyc, bg_copy, obj_rectangle, obj_sprite, obj_movemem, select_dl, obj_rendermode,
        obj_rectangle_r, obj_loadtxtr, obj_ldtx_sprite, obj_ldtx_rect, obj_ldtx_rect_r, displaylist,
        enddl, moveword, setothermode_l, setothermode_h, rdphalf_1, rdphalf_2, load_ucode;
};
constexpr Opcodes kFamily7  = {0x01, 0x02, 0x03, 0x04, 0x05, 0xB0, 0xB1, 0xB2, 0xC1, 0xC2,
                               0xC3, 0xC4, 0x06, 0xB8, 0xBC, 0xB9, 0xBA, 0xB4, 0xB3, 0xAF};
constexpr Opcodes kFamily8  = {0x09, 0x0A, 0x01, 0x02, 0xDC, 0x04, 0x0B, 0xDA, 0x05, 0x06,
                               0x07, 0x08, 0xDE, 0xDF, 0xDB, 0xE2, 0xE3, 0xE1, 0xF1, 0xDD};
constexpr uint8_t kRdpHalf0 = 0xE4; // also the texture rectangle

// G_LOAD_UCODE: the size of the microcode's data less one in bits 0..15.
constexpr uint32_t ucode_data_size(uint32_t cmd0) { return field(cmd0, 0, 16) + 1; }

// G_OBJ_MOVEMEM: the record's byte index in DMEM in bits 0..15; 0 the whole matrix (24
// bytes), 2 the sub-matrix (its last 8 bytes).
constexpr uint32_t movemem_index(uint32_t cmd0) { return field(cmd0, 0, 16); }
constexpr uint32_t kMoveMemMatrix    = 0;
constexpr uint32_t kMoveMemSubMatrix = 2;

// G_RDPHALF_0: status word byte (0, 4, 8, 12) and the low half of the list's address.
constexpr uint32_t select_sid(uint32_t cmd0) { return field(cmd0, 16, 8); }
constexpr uint32_t select_low(uint32_t cmd0) { return field(cmd0, 0, 16); }
// G_SELECT_DL: 0 call, 1 branch; the high half of the list's address.
constexpr uint32_t select_kind(uint32_t cmd0) { return field(cmd0, 16, 8); }
constexpr uint32_t select_high(uint32_t cmd0) { return field(cmd0, 0, 16); }

// G_MOVEWORD's status index, the same number as the fog's.
constexpr uint32_t kMoveWordStatus = 0x08;

// Status words are numbered by their byte: 0, 4, 8, 12.
constexpr uint32_t status_index(uint32_t sid) { return (sid >> 2) & 3; }

// Background records (uObjBg for G_BG_COPY, uObjScaleBg for G_BG_1CYC), byte offsets.
namespace bg {
constexpr uint32_t kImageX = 0x00, kImageW = 0x02, kFrameX = 0x04, kFrameW = 0x06;
constexpr uint32_t kImageY = 0x08, kImageH = 0x0A, kFrameY = 0x0C, kFrameH = 0x0E;
constexpr uint32_t kImagePtr = 0x10, kImageFmt = 0x16, kImageSiz = 0x17, kImagePal = 0x18;
constexpr uint32_t kImageFlip = 0x1A, kScaleW = 0x1C, kScaleH = 0x1E;
constexpr uint32_t kFlipS = 0x01;
} // namespace bg

// Sprite record (uObjSprite), byte offsets.
namespace sprite {
constexpr uint32_t kObjX = 0x00, kScaleW = 0x02, kImageW = 0x04, kObjY = 0x08, kScaleH = 0x0A;
constexpr uint32_t kImageH = 0x0C, kStride = 0x10, kAdrs = 0x12, kFmt = 0x14, kSiz = 0x15;
constexpr uint32_t kPal = 0x16, kFlags = 0x17;
constexpr uint32_t kFlipS = 0x01, kFlipT = 0x10;
} // namespace sprite

// Texture load record (uObjTxtr), byte offsets, and its three kinds.
namespace txtr {
constexpr uint32_t kType = 0x00, kImage = 0x04, kTmem = 0x08, kSize = 0x0A, kLine = 0x0C;
constexpr uint32_t kSid = 0x0E, kFlag = 0x10, kMask = 0x14;
constexpr uint32_t kBlock = 0x00001033, kTile = 0x00FC1034, kTlut = 0x00000030;
constexpr uint32_t kBytes = 24; // a uObjTxSprite's sprite follows its load record
} // namespace txtr

// G_OBJ_RENDERMODE bits that change where sprites land.
constexpr uint32_t kRenderBilerp = 0x08;

} // namespace obj
