// The OpenGL context and its default render state
#pragma once

int create_gl_context(); // 1 on success, 0 after a failed step (its message was shown)
void release_gl_context();
void init_gl_state();
// The default render state, the client arrays and the texture cache made anew when the
// current context is not the one they were made in: mupen64plus may give a new one when it
// resizes its window or switches full screen, and the new one knows nothing of ours.
void renew_gl_state();
void build_gl_lists();
