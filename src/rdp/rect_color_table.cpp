// The colour of a texture rectangle for the combiner keys in force: a table of its own,
// smaller than the triangle recipes, for one- and two-cycle mode only.
#include "rdp/rect_color_table.h"

#include <iterator>

namespace {

constexpr RectSource one  = RectSource::one;
constexpr RectSource prim = RectSource::prim;
constexpr RectSource env  = RectSource::env;
constexpr bool inverted   = true;

constexpr RectPass textured(RectSource rgb, RectSource alpha) {
    return {true, true, rgb, alpha, false};
}
constexpr RectPass untextured(RectSource rgb, RectSource alpha) {
    return {true, false, rgb, alpha, false};
}
// The second pass is always textured.
constexpr RectPass additive(RectSource rgb, RectSource alpha, bool invert = false) {
    return {true, true, rgb, alpha, invert};
}
constexpr RectPass no_second_pass = {false, false, one, one, false};
constexpr RectPass nothing_drawn  = {false, false, one, one, false};

// mux_key0, cycle types, mux_key1, first pass, second pass, texture_mode
constexpr RectColorRow kRectColorRows[] = {
    {0x03B22E32, two_cycle, 0x0EF8A053, textured(prim, prim), additive(env, prim, inverted), 0},
    {0x03FF2C32, two_cycle, 0x0EF8A053, textured(prim, prim), additive(env, prim, inverted), 0},
    {0x03FF7FFF, one_cycle, kAnyKey1, textured(prim, one), no_second_pass, 1},
    {0x03FF8145, one_or_two_cycle, kAnyKey1, textured(env, one), no_second_pass, 0},
    {0x03FFE1F3, one_or_two_cycle, kAnyKey1, textured(prim, one), no_second_pass, 0},
    {0x03FFE3F1, one_cycle, kAnyKey1, textured(prim, one), no_second_pass, 0},
    {0x03FFE5F1, one_cycle, kAnyKey1, textured(env, one), no_second_pass, 0},
    {0x07FF3FFF, one_cycle, kAnyKey1, textured(one, prim), no_second_pass, 2},
    {0x07FF7FFF, one_cycle, kAnyKey1, untextured(prim, prim), no_second_pass, 0},
    {0x07FFE3F1, one_cycle, kAnyKey1, untextured(prim, prim), no_second_pass, 0},
    {0x08638143, one_or_two_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x09FF3FFF, one_cycle, kAnyKey1, textured(one, one), no_second_pass, 2},
    {0x09FFE4F1, one_or_two_cycle, kAnyKey1, textured(one, one), no_second_pass, 2},
    {0x0BFF3FFF, one_cycle, kAnyKey1, textured(one, env), no_second_pass, 2},
    {0x0DFFAEF1, one_cycle, kAnyKey1, untextured(env, one), additive(one, one), 0},
    {0x0DFFE5F1, one_cycle, kAnyKey1, textured(env, one), no_second_pass, 0},
    {0x0E7B3FFF, one_or_two_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0E7B6156, one_cycle, kAnyKey1, textured(one, prim), additive(one, prim), 0},
    {0x0E7B6156, two_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0E7B7FFF, one_or_two_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 1},
    {0x0E7BE3F1, one_or_two_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x0EF92E13, one_or_two_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0EF92EF6, one_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0EF92EF6, two_cycle, 0x01FFA3F0, untextured(env, prim), additive(prim, prim), 0},
    {0x0EF93FFF, one_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0EF97FFF, one_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 1},
    {0x0EF9A153, one_cycle, kAnyKey1, textured(prim, prim), additive(env, prim, inverted), 0},
    {0x0EF9E1F3, one_or_two_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x0EF9E3F1, one_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x0EF9E3F6, one_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x0EFBE3F3, one_or_two_cycle, kAnyKey1, textured(one, prim), no_second_pass, 0},
    {0x0EFE4E21, one_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 0},
    {0x0EFE4E21, two_cycle, 0x01FFA053, textured(prim, prim), no_second_pass, 0},
    {0x0F793FFF, one_cycle, kAnyKey1, textured(one, env), no_second_pass, 0},
    {0x0F796135, one_cycle, kAnyKey1, textured(env, prim), additive(prim, prim, inverted), 0},
    {0x0F79BFFF, one_cycle, kAnyKey1, textured(env, env), no_second_pass, 1},
    {0x0F79E5F1, one_cycle, kAnyKey1, textured(env, env), no_second_pass, 0},
    {0x0F7A3FFF, one_cycle, kAnyKey1, textured(one, env), no_second_pass, 0},
    {0x0F7A3FFF, two_cycle, 0x01FF1FFF, textured(one, env), no_second_pass, 0},
    {0x0F7AE4F1, one_cycle, kAnyKey1, textured(one, env), no_second_pass, 0},
    {0x0F7AE4F1, two_cycle, 0x01FF1FFF, textured(one, env), no_second_pass, 0},
    {0x0F7AE5F1, one_cycle, kAnyKey1, textured(env, env), no_second_pass, 0},
    {0x0F7AE5F1, two_cycle, 0x01FF1FFF, textured(env, env), no_second_pass, 0},
    {0x0FFF3FFF, one_cycle, kAnyKey1, textured(prim, prim), no_second_pass, 2},
    {0x0FFFFFFF, one_or_two_cycle, kAnyKey1, nothing_drawn, no_second_pass, 0},
};

static_assert(std::size(kRectColorRows) == 45);

// Keys without a row, and rows whose mux_key1 does not match.
constexpr RectColorRow kPlainTexture = {
    0, one_or_two_cycle, kAnyKey1, textured(one, one), no_second_pass, 0};

} // namespace

const int rect_color_row_count = static_cast<int>(std::size(kRectColorRows));

const RectColorRow& rect_colors(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1) {
    if (cycle_type > 1) return kPlainTexture;
    const uint8_t cycle = cycle_type == 0 ? one_cycle : two_cycle;
    for (const RectColorRow& row : kRectColorRows) {
        if (row.mux_key0 != mux_key0 || !(row.cycles & cycle)) continue;
        if (row.mux_key1 != kAnyKey1 && row.mux_key1 != mux_key1) return kPlainTexture;
        return row;
    }
    return kPlainTexture;
}
