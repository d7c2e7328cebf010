// Command-word fields of family 0, shared by its handlers and the display-list disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"
#include "state/othermode.h"

namespace uc0_fields {

// clang-format off
constexpr uint32_t param(uint32_t cmd0) { return field(cmd0, 16, 8); } // MATRIX, MOVEMEM, DISPLAYLIST
constexpr uint32_t vtx_first(uint32_t cmd0) { return field(cmd0, 16, 4); }
constexpr uint32_t vtx_count(uint32_t cmd0) { return field(cmd0, 20, 4) + 1; }
constexpr uint32_t moveword_index(uint32_t cmd0) { return field(cmd0, 0, 8); }
constexpr uint32_t moveword_offset(uint32_t cmd0) { return field(cmd0, 8, 16); }
constexpr uint32_t segment_number(uint32_t cmd0) { return field(cmd0, 10, 4); }
constexpr uint32_t lightcol_light(uint32_t cmd0) { return field(cmd0, 13, 3); }
constexpr bool lightcol_main(uint32_t cmd0) { return field(cmd0, 10, 1); }
constexpr uint32_t mode_shift(uint32_t cmd0) { return field(cmd0, 8, 8); }
constexpr uint32_t texture_tile(uint32_t cmd0) { return field(cmd0, 8, 3); }
constexpr uint32_t texture_on(uint32_t cmd0) { return field(cmd0, 0, 8); }
constexpr uint32_t texture_scale_s(uint32_t cmd1) { return field(cmd1, 16, 16); }
constexpr uint32_t texture_scale_t(uint32_t cmd1) { return field(cmd1, 0, 16); }
// Triangle and line indices are given times ten.
constexpr uint32_t tri_index(uint32_t cmd1, int lo) { return field(cmd1, lo, 8) / 10; }
// clang-format on

// MATRIX params: bit 0 projection, bit 1 load, bit 2 push.
enum MatrixParam : uint32_t {
    kModelViewMul       = 0,
    kProjectionMul      = 1,
    kModelViewLoad      = 2,
    kProjectionLoad     = 3,
    kModelViewPushMul   = 4,
    kProjectionPushMul  = 5,
    kModelViewPushLoad  = 6,
    kProjectionPushLoad = 7,
};
constexpr uint32_t kMatrixProjection = 0x01;
constexpr uint32_t kMatrixLoad       = 0x02;
constexpr uint32_t kMatrixPush       = 0x04;

// DISPLAYLIST params.
constexpr uint32_t kDlistCall   = 0;
constexpr uint32_t kDlistBranch = 1;

// MOVEMEM indices.
constexpr uint32_t kMoveViewport = 0x80;
constexpr uint32_t kMoveLookAtY  = 0x82;
constexpr uint32_t kMoveLookAtX  = 0x84;
constexpr uint32_t kMoveLight0   = 0x86;
constexpr uint32_t kMoveLight7   = 0x94;
constexpr bool is_move_light(uint32_t index) {
    return index >= kMoveLight0 && index <= kMoveLight7 && (index & 1) == 0;
}

// MOVEWORD indices.
constexpr uint32_t kMoveWordMatrix    = 0x00;
constexpr uint32_t kMoveWordNumLight  = 0x02;
constexpr uint32_t kMoveWordClip      = 0x04;
constexpr uint32_t kMoveWordSegment   = 0x06;
constexpr uint32_t kMoveWordFog       = 0x08;
constexpr uint32_t kMoveWordLightCol  = 0x0A;
constexpr uint32_t kMoveWordPoints    = 0x0C;
constexpr uint32_t kMoveWordPerspNorm = 0x0E;

// The console stores 0x80000000 + 32 * (n + 1) for n directional lights.
constexpr uint32_t numlight_count(uint32_t cmd1) { return ((cmd1 + 0x80000000u) >> 5) - 1; }

// The other-mode fields, shared with the later families.
using ::kCycleTypeShift;
using ::kOtherModeH;
using ::kOtherModeL;
using ::kZCompare;
using ::kZUpdate;
using ::othermode_field;
using ::OtherModeField;

} // namespace uc0_fields
