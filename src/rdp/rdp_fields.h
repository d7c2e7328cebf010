// Operand fields of the RDP commands, shared with the display-list disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"
#include "texture/tile_fields.h"

// TEXRECT fields: corners in 10.2 fixed point, s and t in signed 10.5 (the word 12 bytes on),
// the steps in signed 5.10 (the word 20 bytes on).
// clang-format off
constexpr float rect_lrx(uint32_t cmd0) { return static_cast<float>(field(cmd0, 12, 12)) / 4.0f; }
constexpr float rect_lry(uint32_t cmd0) { return static_cast<float>(field(cmd0, 0, 12)) / 4.0f; }
constexpr uint32_t rect_tile(uint32_t cmd1) { return field(cmd1, 24, 3); }
constexpr float rect_ulx(uint32_t cmd1) { return static_cast<float>(field(cmd1, 12, 12)) / 4.0f; }
constexpr float rect_uly(uint32_t cmd1) { return static_cast<float>(field(cmd1, 0, 12)) / 4.0f; }
constexpr float rect_s(uint32_t w) { return static_cast<float>(sext16(w >> 16)) / 32.0f; }
constexpr float rect_t(uint32_t w) { return static_cast<float>(sext16(w)) / 32.0f; }
constexpr float rect_dsdx(uint32_t w) { return static_cast<float>(sext16(w >> 16)) / 1024.0f; }
constexpr float rect_dtdy(uint32_t w) { return static_cast<float>(sext16(w)) / 1024.0f; }

// FILLRECT corners in whole pixels (the two fraction bits dropped).
constexpr int32_t fill_lrx(uint32_t cmd0) { return static_cast<int32_t>(field(cmd0, 14, 10)); }
constexpr int32_t fill_lry(uint32_t cmd0) { return static_cast<int32_t>(field(cmd0, 2, 10)); }
constexpr int32_t fill_ulx(uint32_t cmd1) { return static_cast<int32_t>(field(cmd1, 14, 10)); }
constexpr int32_t fill_uly(uint32_t cmd1) { return static_cast<int32_t>(field(cmd1, 2, 10)); }
// clang-format on

// SETSCISSOR corners in whole pixels (the two fraction bits dropped; the interlace bits of
// cmd1 are not read).
// clang-format off
constexpr int32_t scissor_ulx(uint32_t cmd0) { return static_cast<int32_t>(field(cmd0, 14, 10)); }
constexpr int32_t scissor_uly(uint32_t cmd0) { return static_cast<int32_t>(field(cmd0, 2, 10)); }
constexpr int32_t scissor_lrx(uint32_t cmd1) { return static_cast<int32_t>(field(cmd1, 14, 10)); }
constexpr int32_t scissor_lry(uint32_t cmd1) { return static_cast<int32_t>(field(cmd1, 2, 10)); }
// clang-format on

// SETCOLORIMAGE: the width field holds the width less one.
constexpr uint32_t color_image_width(uint32_t cmd0) { return field(cmd0, 0, 12) + 1; }
// Its pixel size sits where SETTEXTUREIMAGE keeps the texel size.
constexpr uint32_t color_image_size(uint32_t cmd0) { return image_size(cmd0); }
constexpr uint32_t kColorImage32Bit = 3;

// SETOTHERMODE keeps the low 24 bits of both words; the cycle type sits in bits 20..21.
constexpr uint32_t other_mode_bits(uint32_t w) { return w & 0xFFFFFF; }
constexpr uint32_t cycle_type_of(uint32_t othermode_h) { return field(othermode_h, 20, 2); }

// The extra bytes TEXRECT takes after its own eight: the words 12 and 20 bytes on.
constexpr uint32_t kTexRectOperandBytes = 16;
