// The colour combiner: SETCOMBINE keys and the recipe each batch is drawn with
#pragma once
#include <cstdint>

void rdp_set_combine(); // 0xFC
void flush_batch(const uint32_t* indices);
