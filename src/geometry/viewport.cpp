// Viewport, depth and cull state, set in OpenGL as soon as a command changes it
#include "geometry/viewport.h"

#include <GL/gl.h>
#include <initializer_list>

#include "state/host_state.h"
#include "state/picture.h"
#include "state/rdp_reg.h"

// The decal depth mode draws a little in front of the surface it decorates.
constexpr double kDecalDepthFar = 0.9995;

// The console's viewport on its screen in the window. In widescreen a viewport across the
// whole colour image is drawn wider, and the projection narrower by as much, so that objects
// keep their place and size and more of the scene shows at the sides.
void apply_viewport() {
    const float sx = scale_x, sy = scale_y;
    const float* S    = rdp_reg.viewport_scale;
    const float* T    = rdp_reg.viewport_trans;
    auto width        = static_cast<GLsizei>(2.0f * sx * S[0]);
    const auto height = static_cast<GLsizei>(2.0f * sy * S[1]);
    auto x            = static_cast<GLint>(sx * (T[0] - S[0]));
    const auto top    = static_cast<GLint>(sy * (240.0f - (T[1] - S[1])));
    // A negative scale gives a negative size, which OpenGL would refuse with an error; the
    // previous viewport stays in force either way.
    if (width < 0 || height < 0) return;
    const WindowBox screen = screen_box();
    x += screen.x;
    wide_projection_scale = widens_across(T[0] - S[0], T[0] + S[0]) ? widen_span(&x, &width) : 1.0f;
    glViewport(x, screen.y + top - height, width, height);
}

void apply_screen_viewport() {
    const WindowBox screen = screen_box();
    wide_projection_scale  = 1.0f;
    glViewport(screen.x, screen.y, screen.width, screen.height);
}

// The projection, narrowed while a widened viewport is in force; `saved` keeps the game's.
void begin_wide_projection(float* saved) {
    if (wide_projection_scale == 1.0f) return;
    GLint mode = GL_PROJECTION;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetFloatv(GL_PROJECTION_MATRIX, saved);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(wide_projection_scale, 1.0f, 1.0f);
    glMultMatrixf(saved);
    glMatrixMode(static_cast<GLenum>(mode));
}

void end_wide_projection(const float* saved) {
    if (wide_projection_scale == 1.0f) return;
    GLint mode = GL_PROJECTION;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(saved);
    glMatrixMode(static_cast<GLenum>(mode));
}

void apply_depth_range() {
    if ((rdp_reg.othermode_l & 0xC00) == 0xC00)
        glDepthRange(0.0, kDecalDepthFar);
    else
        glDepthRange(0.0, 1.0);
}

void set_depth_test(uint32_t enable) {
    if (enable)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void set_depth_write(uint32_t enable) { glDepthMask(enable ? GL_TRUE : GL_FALSE); }

static void set_cull(GLenum face, uint32_t enable) {
    if (enable) {
        glCullFace(face);
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

void set_cull_front(uint32_t enable) { set_cull(GL_FRONT, enable); }
void set_cull_back(uint32_t enable) { set_cull(GL_BACK, enable); }
void set_cull_both(uint32_t enable) { set_cull(GL_FRONT_AND_BACK, enable); }

void apply_geometry_cull() {
    switch (rdp_reg.geometry_mode & 0x3000) {
    case 0x1000: set_cull_front(1); break;
    case 0x2000: set_cull_back(1); break;
    case 0x3000: set_cull_both(1); break;
    default: set_cull_both(0); break;
    }
}

void draw_line3d(uint32_t i0, uint32_t i1) {
    float projection[16];
    begin_wide_projection(projection);
    glBegin(GL_LINES);
    for (uint32_t i : {i0, i1}) {
        const TransformedVertex& v = rdp_reg.vtx[i & (kVertexCount - 1)];
        glColor4ub(0, 153, 0, 255);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    end_wide_projection(projection);
}
