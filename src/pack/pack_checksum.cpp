// The checksums that name a texture in a replacement pack
#include "pack/pack_checksum.h"

#include <cstring>

// A 32-bit load at a byte offset, in the host's order, whatever the offset's alignment.
static uint32_t load_word(const PackMemory& m, uint64_t at) {
    if (at + 4 <= m.size) {
        uint32_t w;
        std::memcpy(&w, m.bytes + at, 4);
        return w;
    }
    uint32_t w = 0;
    for (uint32_t i = 0; i < 4; ++i)
        if (at + i < m.size) w |= uint32_t(m.bytes[at + i]) << (8 * i);
    return w;
}

static uint32_t rotate_left(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

static uint32_t row_bytes(const PackWindow& w) { return ((w.width << w.size_code) + 1) / 2; }

// Rows narrower than a word start their single word before the row: a signed start offset.
static uint32_t checksum_rows(const PackMemory& m, int64_t start, uint32_t bytes, uint32_t rows,
                              uint32_t pitch) {
    uint32_t crc = 0;
    int64_t src  = start;
    for (int64_t y = int64_t(rows) - 1; y >= 0; --y) {
        uint32_t word = 0;
        for (int64_t x = int64_t(bytes) - 4; x >= 0 || x == int64_t(bytes) - 4; x -= 4) {
            const int64_t at = src + x;
            word             = (at < 0 ? 0 : load_word(m, uint64_t(at))) ^ uint32_t(x);
            crc              = rotate_left(crc, 4) + word;
            if (x <= 0) break;
        }
        crc += word ^ uint32_t(y);
        src += pitch;
    }
    return crc;
}

uint32_t pack_texture_checksum(const PackMemory& memory, const PackWindow& window) {
    return checksum_rows(memory, window.address, row_bytes(window), window.rows, window.pitch);
}

uint32_t pack_largest_index(const PackMemory& memory, const PackWindow& window) {
    const uint32_t bytes = row_bytes(window);
    uint32_t largest     = 0;
    for (uint32_t y = 0; y < window.rows; ++y)
        for (uint32_t x = 0; x < bytes; ++x) {
            // Console byte order: byte a of RDRAM lies at a XOR 3.
            const uint64_t a = (uint64_t(window.address) + uint64_t(y) * window.pitch + x) ^ 3;
            const uint32_t b = a < memory.size ? memory.bytes[a] : 0;
            const uint32_t i = window.size_code == 0 ? ((b >> 4) > (b & 15) ? b >> 4 : b & 15) : b;
            if (i > largest) largest = i;
        }
    return largest;
}

uint32_t pack_palette_checksum(const PackMemory& tlut, uint32_t first_byte, uint32_t entries) {
    return checksum_rows(tlut, first_byte, entries * 2, 1, 0);
}
