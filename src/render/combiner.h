// The colour combiner: SETCOMBINE keys, and the batch the display list fills and flushes with
// the recipe each flush is drawn with
#pragma once
#include <cstdint>

void rdp_set_combine(); // 0xFC
void flush_batch(const uint32_t* indices);
// Appends one triangle unless it names one vertex twice (it covers no pixel); a full batch is
// first flushed, so the order is kept. The draw leaves out the triangles whose corners fall on
// one line of the window as well.
void add_triangle(uint32_t i0, uint32_t i1, uint32_t i2);

// The selectors of one cycle packed into a 28-bit key.
constexpr uint32_t pack_mux_key(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t Aa,
                                uint32_t Ab, uint32_t Ac, uint32_t Ad) {
    return a | b << 4 | c << 8 | d << 13 | Aa << 16 | Ab << 19 | Ac << 22 | Ad << 25;
}

// The draw that flush_batch's recipe steps call: draw_batch, or a recorder in tests.
using BatchDrawer = void (*)(const uint32_t* indices, uint32_t passes, uint32_t recipe1,
                             uint32_t recipe2);
extern BatchDrawer batch_drawer;
