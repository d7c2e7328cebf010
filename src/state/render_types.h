// The triangle batch and the combiner selectors
#pragma once
#include <cstdint>

// Room for 114 triangles between two flushes; a full batch is flushed early.
constexpr int kBatchRoom = 344;

struct TriangleBatch {
    uint32_t indices[kBatchRoom]; // vertex-buffer indices, three per triangle, in command order
    int32_t count;                // indices stored; 0 when empty
};

// The sixteen selector fields of RDP_SETCOMBINE, one byte each.
struct CombinerSelectors {
    uint8_t a0, b0, c0, d0;     // cycle 0 colour
    uint8_t Aa0, Ab0, Ac0, Ad0; // cycle 0 alpha
    uint8_t a1, b1, c1, d1;     // cycle 1 colour
    uint8_t Aa1, Ab1, Ac1, Ad1; // cycle 1 alpha
};
