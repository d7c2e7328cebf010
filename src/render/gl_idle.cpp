// The check of OpenGL's idle state after a draw path (test builds)
#include "render/gl_idle.h"

#ifdef VEXA_CHECK_GL_IDLE

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/batch.h"
#include "render/fog.h"
#include "render/texture_units.h"

#ifndef GL_ACTIVE_TEXTURE
#define GL_ACTIVE_TEXTURE 0x84E0 // OpenGL 1.3
#define GL_CLIENT_ACTIVE_TEXTURE 0x84E1
#define GL_TEXTURE0 0x84C0
#endif
#ifndef GL_FOG_COORDINATE_ARRAY
#define GL_FOG_COORDINATE_ARRAY 0x8457 // OpenGL 1.4
#endif

namespace {

const char* checked_path;
int faults;

void fault(const char* what, long found, long idle) {
    std::fprintf(stderr, "OpenGL state left by %s: %s is %ld (0x%lX), should be %ld (0x%lX)\n",
                 checked_path, what, found, static_cast<unsigned long>(found), idle,
                 static_cast<unsigned long>(idle));
    ++faults;
}

void expect(const char* what, long found, long idle) {
    if (found != idle) fault(what, found, idle);
}

int integer(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

bool enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

void expect_units() {
    if (texture_units > 1) {
        expect("the active texture unit", integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        expect("the client's active texture unit", integer(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE0);
    }
    for (int unit = texture_units - 1; unit >= 0; --unit) {
        select_texture_unit(unit);
        char what[64];
        std::snprintf(what, sizeof what, "GL_TEXTURE_2D on unit %d", unit);
        expect(what, enabled(GL_TEXTURE_2D), 0);
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        std::snprintf(what, sizeof what, "the texture environment of unit %d", unit);
        expect(what, mode, GL_MODULATE);
        if (unit == 0) continue;
        std::snprintf(what, sizeof what, "the texture-coordinate array of unit %d", unit);
        expect(what, enabled(GL_TEXTURE_COORD_ARRAY), 0);
    }
}

void expect_client_arrays() {
    const bool bound = enabled(GL_VERTEX_ARRAY);
    expect("the colour array", enabled(GL_COLOR_ARRAY), bound);
    expect("the normal array", enabled(GL_NORMAL_ARRAY), bound);
    expect("unit 0's texture-coordinate array", enabled(GL_TEXTURE_COORD_ARRAY), bound);
    if (fog_draw == FogDraw::coordinate)
        expect("the fog coordinate array", enabled(GL_FOG_COORDINATE_ARRAY), 0);
    if (!bound) return;
    void* pointer = nullptr;
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    if (pointer != client_arrays.texcoords[0])
        fault("unit 0's texture-coordinate pointer (not the batch's)", 1, 0);
}

void expect_blend_and_tests() {
    expect("GL_BLEND", enabled(GL_BLEND), 1);
    expect("the blend source factor", integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    expect("the blend destination factor", integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    expect("GL_ALPHA_TEST", enabled(GL_ALPHA_TEST), 1);
    expect("the alpha function", integer(GL_ALPHA_TEST_FUNC), GL_GEQUAL);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    if (std::fabs(ref - 0.005f) > 1e-6f)
        fault("the alpha reference (x 1000)", lround(ref * 1000), 5);
    expect("GL_FOG", enabled(GL_FOG), 0);
}

void expect_stacks() {
    expect("the attribute stack depth", integer(GL_ATTRIB_STACK_DEPTH), 0);
    expect("the client attribute stack depth", integer(GL_CLIENT_ATTRIB_STACK_DEPTH), 0);
}

bool same_floats(const float* a, const float* b, int n) {
    return std::memcmp(a, b, sizeof(float) * static_cast<size_t>(n)) == 0;
}

void expect_held(const GlHeldState& was, const GlHeldState& now) {
    expect("the matrix mode", now.matrix_mode, was.matrix_mode);
    expect("the projection stack depth", now.projection_depth, was.projection_depth);
    expect("the model-view stack depth", now.modelview_depth, was.modelview_depth);
    if (!same_floats(now.projection, was.projection, 16))
        fault("the projection matrix (changed)", 1, 0);
    if (!same_floats(now.modelview, was.modelview, 16))
        fault("the model-view matrix (changed)", 1, 0);
    for (int i = 0; i < 4; ++i) {
        expect("the viewport", now.viewport[i], was.viewport[i]);
        expect("the scissor box", now.scissor_box[i], was.scissor_box[i]);
    }
    expect("GL_SCISSOR_TEST", now.scissor_test, was.scissor_test);
    expect("GL_DEPTH_TEST", now.depth_test, was.depth_test);
    expect("the depth write mask", now.depth_mask, was.depth_mask);
    expect("the depth function", now.depth_func, was.depth_func);
    if (!same_floats(now.depth_range, was.depth_range, 2)) fault("the depth range (changed)", 1, 0);
    expect("GL_CULL_FACE", now.cull_face, was.cull_face);
    expect("the culled face", now.cull_mode, was.cull_mode);
}

} // namespace

GlHeldState read_gl_held_state() {
    GlHeldState s{};
    s.matrix_mode      = integer(GL_MATRIX_MODE);
    s.projection_depth = integer(GL_PROJECTION_STACK_DEPTH);
    s.modelview_depth  = integer(GL_MODELVIEW_STACK_DEPTH);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    glGetIntegerv(GL_VIEWPORT, s.viewport);
    s.scissor_test = enabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_SCISSOR_BOX, s.scissor_box);
    s.depth_test   = enabled(GL_DEPTH_TEST);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    s.depth_mask = mask == GL_TRUE;
    s.depth_func = integer(GL_DEPTH_FUNC);
    glGetFloatv(GL_DEPTH_RANGE, s.depth_range);
    s.cull_face = enabled(GL_CULL_FACE);
    s.cull_mode = integer(GL_CULL_FACE_MODE);
    return s;
}

void check_gl_idle(const char* path, const GlHeldState* held) {
    checked_path = path;
    faults       = 0;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        fault("an OpenGL error raised", static_cast<long>(e), GL_NO_ERROR);
    expect_stacks(); // before the units: selecting one would raise an error inside a list
    expect_units();
    expect_client_arrays();
    expect_blend_and_tests();
    if (held) expect_held(*held, read_gl_held_state());
    if (faults == 0) return;
    std::fprintf(stderr, "the draw paths must leave OpenGL idle (render/gl_idle.h)\n");
    std::abort();
}

// Errors raised before the path are the caller's: they are taken out of the way first.
GlIdleCheck::GlIdleCheck(const char* path_name, MatrixModeAfter after) : path(path_name) {
    while (glGetError() != GL_NO_ERROR) {
    }
    held = read_gl_held_state();
    if (after == MatrixModeAfter::projection) held.matrix_mode = GL_PROJECTION;
}

GlIdleCheck::~GlIdleCheck() { check_gl_idle(path, &held); }

#endif
