// Builds display lists in the console's RDRAM, one 64-bit command at a time
#pragma once
#include <cstdint>
#include <initializer_list>

#include "console.h"

struct Command {
    uint32_t w0, w1;
};

class DisplayList {
  public:
    DisplayList(Console& console, uint32_t address)
        : console_(console), start_(address), cursor_(address) {}

    DisplayList& add(Command c) {
        console_.write_u32(cursor_, c.w0);
        console_.write_u32(cursor_ + 4, c.w1);
        cursor_ += 8;
        return *this;
    }
    DisplayList& add(std::initializer_list<Command> commands) {
        for (const Command& c : commands)
            add(c);
        return *this;
    }
    uint32_t start() const { return start_; }
    uint32_t cursor() const { return cursor_; }

  private:
    Console& console_;
    uint32_t start_;
    uint32_t cursor_;
};

// An RGBA 5-5-5-1 pixel from 8-bit channels (their low three bits dropped).
constexpr uint16_t rgba5551(uint32_t r, uint32_t g, uint32_t b, bool opaque = true) {
    return uint16_t(((r >> 3) << 11) | ((g >> 3) << 6) | ((b >> 3) << 1) | (opaque ? 1 : 0));
}

// Command words. Coordinates are in console pixels unless the name says otherwise.
namespace cmd {

// The fill colour word for a 16-bit colour image: the same 5-5-5-1 pixel twice.
constexpr uint32_t fill_color16(uint32_t r, uint32_t g, uint32_t b, bool opaque = true) {
    return uint32_t(rgba5551(r, g, b, opaque)) * 0x10001u;
}

constexpr Command word(uint8_t op, uint32_t w0_low24, uint32_t w1) {
    return {(uint32_t(op) << 24) | (w0_low24 & 0xFFFFFF), w1};
}

// Geometry commands of families 0 to 3.
constexpr Command call_dl(uint32_t address) { return word(0x06, 0x000000, address); }
constexpr Command branch_dl(uint32_t address) { return word(0x06, 0x010000, address); }
constexpr Command end_dl() { return word(0xB8, 0, 0); }

// RDP commands, the same in every family.
constexpr Command noop() { return word(0xC0, 0, 0); }
constexpr Command pipe_sync() { return word(0xE7, 0, 0); }
constexpr Command full_sync() { return word(0xE9, 0, 0); }

constexpr uint32_t fixed_10_2(uint32_t pixels) { return (pixels << 2) & 0xFFF; }

constexpr Command set_scissor(uint32_t ulx, uint32_t uly, uint32_t lrx, uint32_t lry) {
    return word(0xED, (fixed_10_2(ulx) << 12) | fixed_10_2(uly),
                (fixed_10_2(lrx) << 12) | fixed_10_2(lry));
}
constexpr Command set_other_mode(uint32_t high, uint32_t low) { return word(0xEF, high, low); }
constexpr Command set_fill_color(uint32_t color) { return word(0xF7, 0, color); }
constexpr Command set_fog_color(uint32_t rgba) { return word(0xF8, 0, rgba); }
constexpr Command set_blend_color(uint32_t rgba) { return word(0xF9, 0, rgba); }
constexpr Command set_prim_color(uint32_t rgba) { return word(0xFA, 0, rgba); }
constexpr Command set_env_color(uint32_t rgba) { return word(0xFB, 0, rgba); }
constexpr Command set_depth_image(uint32_t address) { return word(0xFE, 0, address); }
// Format 0 (RGBA); size 2 is 16-bit, 3 is 32-bit.
constexpr Command set_color_image(uint32_t width, uint32_t address, uint32_t size = 2) {
    return word(0xFF, (0u << 21) | ((size & 3) << 19) | ((width - 1) & 0xFFF), address);
}
constexpr Command fill_rect(uint32_t ulx, uint32_t uly, uint32_t lrx, uint32_t lry) {
    return word(0xF6, (fixed_10_2(lrx) << 12) | fixed_10_2(lry),
                (fixed_10_2(ulx) << 12) | fixed_10_2(uly));
}

} // namespace cmd
