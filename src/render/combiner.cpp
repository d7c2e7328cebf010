// The colour combiner: SETCOMBINE keys and the recipe each batch is drawn with
#include "render/combiner.h"

#include "dlist/rdp_reg.h"
#include "render/batch.h"

void rdp_set_combine() {}

void flush_batch(const uint32_t* indices) {
    rdp_reg.texture_mode  = 0;
    rdp_reg.texture_color = 0;
    if (rdp_reg.cycle_type >= 2) {
        draw_batch(indices, 1, 0, 0);
        draw_batch(indices, 1, 0, 0);
        return;
    }
    draw_batch(indices, 1, 0, 0);
}
