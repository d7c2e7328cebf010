// Reads of the console's RDRAM, held by the host as 32-bit words in host byte order
#pragma once
#include <cstdint>
#include <cstring>

#include "state/host_state.h"

constexpr uint32_t kRdramSize = 0x800000; // 8 MB; every offset is masked to 23 bits
constexpr uint32_t kRdramMask = kRdramSize - 1;

// The word at a 4-aligned offset (unaligned offsets are rounded down).
inline uint32_t read_rdram_u32(uint32_t a) {
    uint32_t v;
    std::memcpy(&v, host.rdram + (a & kRdramMask & ~3u), sizeof v);
    return v;
}

// A console byte sits at offset a XOR 3 of the host's words.
inline uint8_t read_rdram_u8(uint32_t a) { return host.rdram[(a ^ 3) & kRdramMask]; }

// A console half-word sits at offset a XOR 2 of the host's words.
inline uint16_t read_rdram_u16(uint32_t a) {
    uint16_t v;
    std::memcpy(&v, host.rdram + ((a ^ 2) & kRdramMask & ~1u), sizeof v);
    return v;
}

// A host half-word at a host byte offset, without the console swizzle; wraps inside RDRAM.
inline uint16_t read_host_u16(uint32_t a) {
    const uint8_t bytes[2] = {host.rdram[a & kRdramMask], host.rdram[(a + 1) & kRdramMask]};
    uint16_t v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

// A host byte at a host byte offset, without the console swizzle.
inline uint8_t read_host_u8(uint32_t a) { return host.rdram[a & kRdramMask]; }

// The RDRAM offset of a segmented address, through the segment table.
uint32_t translate_address(uint32_t a);

// Counts the moments after which texels may read otherwise from RDRAM than at the last look:
// every texture load, every picture the plug-in writes into RDRAM, the start of every task. The
// texture cache hashes a tile's texels again only when it has moved.
extern uint32_t texel_epoch;
inline void texels_may_change() { ++texel_epoch; }
