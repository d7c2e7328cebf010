// The checksums that name a texture in a replacement pack
#pragma once
#include <cstdint>

// Bytes as the emulator holds them (RDRAM: 32-bit words in host order); reads past `size`
// count as zero.
struct PackMemory {
    const uint8_t* bytes;
    uint32_t size;
};

// Where a texture's texels lie: `address` of its first row, `rows` rows `pitch` bytes apart,
// `width` texels of `size_code` (0..3: 4, 8, 16, 32 bits) a row.
struct PackWindow {
    uint32_t address;
    uint32_t width;
    uint32_t rows;
    uint32_t size_code;
    uint32_t pitch;
};

// The texture's checksum: per row, 32-bit words from the row's end back to its start (at least
// one, even for rows narrower than a word), each XORed with its offset and added to the sum
// rotated left by 4; after each row the last word XOR the row's count-down number.
uint32_t pack_texture_checksum(const PackMemory& memory, const PackWindow& window);

// The largest colour index among the window's texels (both nibbles of 4-bit ones).
uint32_t pack_largest_index(const PackMemory& memory, const PackWindow& window);

// The palette's checksum: the same sum over `entries` 16-bit entries as one row.
uint32_t pack_palette_checksum(const PackMemory& tlut, uint32_t first_byte, uint32_t entries);
