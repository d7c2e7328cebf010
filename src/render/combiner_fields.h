// SETCOMBINE selector fields, shared with the display-list disassembler
#pragma once
#include <cstdint>

#include "state/bits.h"

// Selector fields of the two command words: cycle 0 colour A and C, both alpha A and C of
// cycle 0, and cycle 1 colour A and C sit in cmd0; everything else in cmd1.
// clang-format off
constexpr uint8_t cc_a0(uint32_t cmd0) { return field(cmd0, 20, 4); }
constexpr uint8_t cc_c0(uint32_t cmd0) { return field(cmd0, 15, 5); }
constexpr uint8_t ac_a0(uint32_t cmd0) { return field(cmd0, 12, 3); }
constexpr uint8_t ac_c0(uint32_t cmd0) { return field(cmd0, 9, 3); }
constexpr uint8_t cc_a1(uint32_t cmd0) { return field(cmd0, 5, 4); }
constexpr uint8_t cc_c1(uint32_t cmd0) { return field(cmd0, 0, 5); }
constexpr uint8_t cc_b0(uint32_t cmd1) { return field(cmd1, 28, 4); }
constexpr uint8_t cc_b1(uint32_t cmd1) { return field(cmd1, 24, 4); }
constexpr uint8_t ac_a1(uint32_t cmd1) { return field(cmd1, 21, 3); }
constexpr uint8_t ac_c1(uint32_t cmd1) { return field(cmd1, 18, 3); }
constexpr uint8_t cc_d0(uint32_t cmd1) { return field(cmd1, 15, 3); }
constexpr uint8_t ac_b0(uint32_t cmd1) { return field(cmd1, 12, 3); }
constexpr uint8_t ac_d0(uint32_t cmd1) { return field(cmd1, 9, 3); }
constexpr uint8_t cc_d1(uint32_t cmd1) { return field(cmd1, 6, 3); }
constexpr uint8_t ac_b1(uint32_t cmd1) { return field(cmd1, 3, 3); }
constexpr uint8_t ac_d1(uint32_t cmd1) { return field(cmd1, 0, 3); }
// clang-format on
