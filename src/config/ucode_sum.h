// The microcode family from a checksum of the microcode's code
#pragma once
#include <cstdint>

constexpr uint32_t kTaskUcode = 0xFD0; // the task header's RDRAM address of the microcode's code

// The first 3 KB of the code: the last kilobyte of some microcodes holds data that changes.
constexpr uint32_t kUcodeSumBytes = 3072;

// The RSP's DMA takes 24 bits of an RDRAM address, in steps of 8 bytes: segment bits such as
// 0x80000000 drop out, and from 8 MB up there is no RDRAM.
constexpr uint32_t kRspDramAddressMask = 0xFFFFF8;

// A microcode whose code sums to `sum` is the other plug-in's microcode `number`.
struct KnownUcodeSum {
    uint32_t sum;
    int32_t number;
};
extern const KnownUcodeSum kKnownUcodeSums[]; // sorted by sum
extern const uint32_t kKnownUcodeSumCount;
int32_t family_of_ucode_number(int32_t number); // 0..8, or -1 for a number with no family

// The sum of the kUcodeSumBytes at `address` as 32-bit console words (the host's RDRAM holds
// them whole in its own order). False, and nothing read, when they do not all lie in the
// `rdram_size` bytes of RDRAM.
bool sum_ucode(const uint8_t* rdram, uint32_t rdram_size, uint32_t address, uint32_t* sum);

// The family the table gives a sum, -1 when it knows none.
int32_t family_of_ucode_sum(uint32_t sum);
