// The per-frame clear and swap
#include "render/frame.h"

#include <GL/gl.h>

#include "framebuffer/color_images.h"

static GlDevice frame_device;

void set_frame_device(GlDevice device) { frame_device = device; }

// The whole frame: the scissor box that the last task left in force clips its drawing, not
// the next task's start (depth kept outside it would hide the next frame's surfaces).
void clear_frame() {
    before_frame_clear();
    glDrawBuffer(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPopAttrib();
}

void swap_frame() {
    frame_shown();
    platform_swap_buffers(frame_device);
}
