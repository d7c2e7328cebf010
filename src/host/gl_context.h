// The OpenGL context, its default render state and the per-frame clear and swap
#pragma once

int create_gl_context(); // 1 on success, 0 after a failed step (its message was shown)
void release_gl_context();
void init_gl_state();
void build_gl_lists();
void clear_frame();
void swap_frame();
