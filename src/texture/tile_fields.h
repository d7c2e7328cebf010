// Operand fields of the tile and load commands, shared with the display-list disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"

// clang-format off
// Operand fields of the tile and load commands.
constexpr uint32_t image_format(uint32_t cmd0) { return field(cmd0, 21, 3); }
constexpr uint32_t image_size(uint32_t cmd0) { return field(cmd0, 19, 2); }
constexpr uint32_t image_width(uint32_t cmd0) { return field(cmd0, 0, 12) + 1; }
constexpr uint32_t tile_number(uint32_t cmd1) { return field(cmd1, 24, 3); }
constexpr uint32_t tile_line(uint32_t cmd0) { return field(cmd0, 9, 9); }
constexpr uint32_t tile_tmem(uint32_t cmd0) { return field(cmd0, 0, 9); }
constexpr uint32_t tile_palette(uint32_t cmd1) { return field(cmd1, 20, 4); }
constexpr uint32_t tile_clamp_t(uint32_t cmd1) { return field(cmd1, 19, 1); }
constexpr uint32_t tile_mirror_t(uint32_t cmd1) { return field(cmd1, 18, 1); }
constexpr uint32_t tile_mask_t(uint32_t cmd1) { return field(cmd1, 14, 4); }
constexpr uint32_t tile_shift_t(uint32_t cmd1) { return field(cmd1, 10, 4); }
constexpr uint32_t tile_clamp_s(uint32_t cmd1) { return field(cmd1, 9, 1); }
constexpr uint32_t tile_mirror_s(uint32_t cmd1) { return field(cmd1, 8, 1); }
constexpr uint32_t tile_mask_s(uint32_t cmd1) { return field(cmd1, 4, 4); }
constexpr uint32_t tile_shift_s(uint32_t cmd1) { return field(cmd1, 0, 4); }
// Corners in 10.2 fixed point: the upper-left in cmd0, the lower-right in cmd1.
constexpr uint32_t upper_s(uint32_t cmd0) { return field(cmd0, 12, 12); }
constexpr uint32_t upper_t(uint32_t cmd0) { return field(cmd0, 0, 12); }
constexpr uint32_t lower_s(uint32_t cmd1) { return field(cmd1, 12, 12); }
constexpr uint32_t lower_t(uint32_t cmd1) { return field(cmd1, 0, 12); }
// clang-format on
