// The triangle batch and its drawing with OpenGL vertex arrays
#pragma once
#include <cstdint>

void add_triangle(uint32_t i0, uint32_t i1, uint32_t i2);
void draw_batch(const uint32_t* indices, uint32_t passes, uint32_t recipe1, uint32_t recipe2);
