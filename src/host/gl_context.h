// The OpenGL context and its default render state
#pragma once

int create_gl_context(); // 1 on success, 0 after a failed step (its message was shown)
void release_gl_context();
void init_gl_state();
void build_gl_lists();
