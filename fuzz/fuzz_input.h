// The fuzzers' input format: a task's family and start, then chunks of RDRAM
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// byte 0: microcode family in bits 0 to 2, 7 an unknown family; with bit 4 set, the 2-D
// families instead: 0 is family 7, 1 family 8, 2 to 7 unknown (so inputs made before those
// families, whose bit 4 was never read, mostly keep their meaning); bit 3 set: the next
// family's tasks follow over the same RDRAM
// bytes 1..4: start address of the display list, little-endian
// then chunks: address (4 bytes, little-endian), length (2 bytes), that many bytes, copied
// into RDRAM as host-order words (the way the host keeps them)
struct FuzzChunk {
    uint32_t address;
    const uint8_t* data;
    uint32_t length;
};

// Family numbers the fuzzers use for a task: 0 to 8, and kFuzzNoFamily for none.
constexpr uint32_t kFuzzNoFamily = 9;
constexpr uint32_t family_of_byte(uint8_t b) {
    const uint32_t low = b & 7u;
    if (b & 0x10) return low < 2 ? 7 + low : kFuzzNoFamily;
    return low < 7 ? low : kFuzzNoFamily;
}
// The byte that names `family` (the seed corpus writes it).
constexpr uint8_t byte_of_family(uint32_t family) {
    return family < 7 ? uint8_t(family) : family < 9 ? uint8_t(0x10 | (family - 7)) : 7;
}

struct FuzzTask {
    uint32_t family  = 0;
    bool next_family = false;
    uint32_t start   = 0;
    std::vector<FuzzChunk> chunks;
};

inline uint32_t read_le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}

inline FuzzTask parse_fuzz_input(const uint8_t* data, size_t size) {
    FuzzTask t;
    if (size < 5) return t;
    t.family      = family_of_byte(data[0]);
    t.next_family = data[0] & 8;
    t.start       = read_le32(data + 1);
    size_t i      = 5;
    while (i + 6 <= size) {
        FuzzChunk c;
        c.address = read_le32(data + i);
        c.length  = data[i + 4] | (data[i + 5] << 8);
        i += 6;
        if (c.length > size - i) c.length = static_cast<uint32_t>(size - i);
        c.data = data + i;
        i += c.length;
        t.chunks.push_back(c);
    }
    return t;
}
