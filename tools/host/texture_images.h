// Texture images written into the console's RDRAM for the demo scenes, in every texel format
#pragma once
#include <cstdint>

#include "console.h"
#include "dl_builder.h"

namespace teximg {

using ::rgba5551;

// Writes a w x h image; texel(x, y) gives the texel's value in the image's own size: 4-bit
// values are packed two a byte, high nibble first.
template <typename F>
void write_image(Console& c, uint32_t address, uint32_t bits, uint32_t w, uint32_t h, F texel) {
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t i = y * w + x;
            const uint32_t v = texel(x, y);
            switch (bits) {
            case 4: {
                const uint32_t a   = address + i / 2;
                const uint32_t old = (c.read_u32(a & ~3u) >> (8 * (3 - (a & 3)))) & 0xFF;
                c.write_u8(a, uint8_t(i & 1 ? (old & 0xF0) | (v & 0xF) : (v & 0xF) << 4));
                break;
            }
            case 8: c.write_u8(address + i, uint8_t(v)); break;
            case 16: c.write_u16(address + 2 * i, uint16_t(v)); break;
            default: c.write_u32(address + 4 * i, v); break;
            }
        }
}

} // namespace teximg
