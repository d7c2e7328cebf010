// The microcode family from a checksum of the microcode's code
#include "config/ucode_sum.h"

#include <algorithm>
#include <cstring>

#include "state/rdram.h"

bool sum_ucode(const uint8_t* rdram, uint32_t rdram_size, uint32_t address, uint32_t* sum) {
    if (!rdram) return false;
    const uint32_t start = address & kRspDramAddressMask;
    rdram_size           = std::min(rdram_size, kRdramSize) & ~3u;
    if (start >= rdram_size || rdram_size - start < kUcodeSumBytes) return false;
    uint32_t total = 0;
    for (uint32_t a = start; a < start + kUcodeSumBytes; a += 4) {
        uint32_t word;
        std::memcpy(&word, rdram + a, 4);
        total += word;
    }
    *sum = total;
    return true;
}

int32_t family_of_ucode_sum(uint32_t sum) {
    const KnownUcodeSum* end = kKnownUcodeSums + kKnownUcodeSumCount;
    const KnownUcodeSum* k   = std::lower_bound(
          kKnownUcodeSums, end, sum, [](const KnownUcodeSum& e, uint32_t s) { return e.sum < s; });
    return k != end && k->sum == sum ? family_of_ucode_number(k->number) : -1;
}
