// Segmented addresses
#include "state/rdram.h"

#include "state/rdp_reg.h"

// A segment that was never set (all ones) resolves through segment 0.
uint32_t translate_address(uint32_t a) {
    uint32_t base = rdp_reg.segments[(a >> 24) & 0xF];
    if (base == 0xFFFFFFFF) base = rdp_reg.segments[0];
    return (a + base) & kRdramMask;
}

uint32_t texel_epoch;
