// Viewport, depth and cull state, set in OpenGL as soon as a command changes it
#pragma once
#include <cstdint>

void apply_viewport();
// The viewport until the game sets one: the console's whole screen.
void apply_screen_viewport();
void apply_depth_range();
void set_depth_test(uint32_t enable);
void set_depth_write(uint32_t enable);
void set_cull_front(uint32_t enable);
void set_cull_back(uint32_t enable);
void set_cull_both(uint32_t enable);
void apply_geometry_cull();
void draw_line3d(uint32_t i0, uint32_t i1);
// Around a draw through the 3-D viewport: the projection narrowed while the viewport is
// widened (widescreen), and the game's put back after; `saved` holds 16 floats.
void begin_wide_projection(float* saved);
void end_wide_projection(const float* saved);
