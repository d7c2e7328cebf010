// Fixed-point matrices, the model-view stack and the projection held by OpenGL
#pragma once
#include <cstdint>

#include "state/matrix_types.h"

// Converts the console's 64-byte 16.16 matrix at an RDRAM offset.
void load_fixed_matrix(Matrix4& out, uint32_t address);

// R = M x T in the console's row-vector convention: M applies first, then T.
Matrix4 multiply(const Matrix4& M, const Matrix4& T);

const Matrix4& modelview_matrix(); // the entry at modelview_top
void modelview_load(const Matrix4& M);
void modelview_mul(const Matrix4& M);
void modelview_push_load(const Matrix4& M); // ignored at index 511
void modelview_push_mul(const Matrix4& M);  // ignored at index 511
void modelview_pop();                       // ignored at index 0

// The model-view and projection matrices OpenGL holds, as one: eye-space positions of the vertex
// buffer (raw positions in family 6) to clip space.
Matrix4 gl_clip_matrix();

void gl_load_projection(const Matrix4& M);
void gl_mul_projection(const Matrix4& M);
void gl_pop_modelview();
