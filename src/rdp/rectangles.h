// Texture and fill rectangles, drawn at once in a 2-D projection
#pragma once
#include <cstdint>

void rdp_tex_rect();      // 0xE4, 24 bytes
void rdp_tex_rect_flip(); // 0xE5
void rdp_fill_rect();     // 0xF6
