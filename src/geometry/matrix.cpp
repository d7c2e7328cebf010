// Fixed-point matrices, the model-view stack and the projection held by OpenGL
#include "geometry/matrix.h"

#include <GL/gl.h>

#include "state/rdp_reg.h"
#include "state/rdram.h"

// The float 2^-16 that turns a 16.16 number into its value.
constexpr float kFixedOne = 1.0f / 65536.0f;

// The integer halves sit in bytes 0..31, the fraction halves in 32..63, element order the
// same; each host word holds two elements, the even one in its upper half.
void load_fixed_matrix(Matrix4& out, uint32_t address) {
    for (uint32_t j = 0; j < 8; ++j) {
        const uint32_t I = read_rdram_u32(address + 4 * j);
        const uint32_t F = read_rdram_u32(address + 32 + 4 * j);
        const auto even  = static_cast<int32_t>((I & 0xFFFF0000) | (F >> 16));
        const auto odd   = static_cast<int32_t>(((I & 0xFFFF) << 16) | (F & 0xFFFF));
        out.m[2 * j]     = static_cast<float>(even) * kFixedOne;
        out.m[2 * j + 1] = static_cast<float>(odd) * kFixedOne;
    }
}

Matrix4 multiply(const Matrix4& M, const Matrix4& T) {
    Matrix4 R;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            R.m[4 * i + j] = M.m[4 * i] * T.m[j] + M.m[4 * i + 1] * T.m[4 + j] +
                             M.m[4 * i + 2] * T.m[8 + j] + M.m[4 * i + 3] * T.m[12 + j];
    return R;
}

static ModelViewStack& stack() { return rdp_reg.modelview; }

static Matrix4& top() {
    ModelViewStack& s = stack();
    return s.entry[s.modelview_top % kModelViewDepth];
}

const Matrix4& modelview_matrix() { return top(); }

void modelview_load(const Matrix4& M) { top() = M; }

void modelview_mul(const Matrix4& M) { top() = multiply(M, top()); }

void modelview_push_load(const Matrix4& M) {
    if (stack().modelview_top >= kModelViewDepth - 1) return;
    stack().modelview_top += 1;
    top() = M;
}

void modelview_push_mul(const Matrix4& M) {
    if (stack().modelview_top >= kModelViewDepth - 1) return;
    const Matrix4 T = top();
    stack().modelview_top += 1;
    top() = multiply(M, T);
}

void modelview_pop() {
    if (stack().modelview_top > 0) stack().modelview_top -= 1;
}

Matrix4 gl_clip_matrix() {
    Matrix4 modelview = {}, projection = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    return multiply(modelview, projection);
}

// The projection matrix stays current afterwards.
void gl_load_projection(const Matrix4& M) {
    glFlush();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(M.m);
}

void gl_mul_projection(const Matrix4& M) {
    glFlush();
    glMatrixMode(GL_PROJECTION);
    glMultMatrixf(M.m);
    glMatrixMode(GL_MODELVIEW);
}

void gl_pop_modelview() {
    glFlush();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
