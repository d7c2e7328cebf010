// The per-frame clear and swap
#include "render/frame.h"

#include <GL/gl.h>

#include "framebuffer/color_images.h"

static GlDevice frame_device;

void set_frame_device(GlDevice device) { frame_device = device; }

// The whole frame: the scissor box that the last task left in force clips its drawing, not
// the next task's start (depth kept outside it would hide the next frame's surfaces). The clear
// waits for the frame's first drawing; the state it leaves is set at once.
void clear_frame_before_drawing() {
    glDrawBuffer(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    clear_window_before_drawing();
}

void clear_frame() {
    clear_frame_before_drawing();
    settle_window_clear();
}

void swap_frame() {
    frame_shown();
    platform_swap_buffers(frame_device);
}
