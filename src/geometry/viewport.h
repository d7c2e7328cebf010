// Viewport, depth and cull state, set in OpenGL as soon as a command changes it
#pragma once
#include <cstdint>

void apply_viewport();
void apply_depth_range();
void set_depth_test(uint32_t enable);
void set_depth_write(uint32_t enable);
void set_cull_front(uint32_t enable);
void set_cull_back(uint32_t enable);
void set_cull_both(uint32_t enable);
void apply_geometry_cull();
void draw_line3d(uint32_t i0, uint32_t i1);
