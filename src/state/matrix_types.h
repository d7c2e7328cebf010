// Matrices of the geometry pipeline and the model-view stack
#pragma once
#include <cstdint>

// m[4i + j] is row i, column j with the console's row-vector convention (translation in
// m[12..14]); the same 16 floats are what glLoadMatrixf expects.
struct Matrix4 {
    float m[16];
};

constexpr int kModelViewDepth = 512;

struct ModelViewStack {
    Matrix4 entry[kModelViewDepth]; // zero matrices at load
    uint16_t modelview_top;         // index of the current model-view matrix, 0..511
};
