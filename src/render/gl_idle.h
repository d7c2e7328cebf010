// The OpenGL state every draw path starts from and returns to, checked in the test builds
#pragma once

// Between draws OpenGL holds two kinds of state. The idle state is the same after every draw:
//   - texturing off on every unit, each unit's environment GL_MODULATE, unit 0 the active one
//     (for texture calls and for the client's texture-coordinate array);
//   - blending on with (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), the alpha test on with
//     (GL_GEQUAL, 0.005);
//   - fog off, its coordinate array off;
//   - the client arrays, once the batch has bound them: vertex, colour, normal and unit 0's
//     texture coordinates on, unit 0's pointing at the batch's; every other unit's off;
//   - both attribute stacks empty, no OpenGL error raised.
// The pixel store (pack and unpack alignment) is the host's: paths that set it put it back.
// The held state is what the game's commands set and OpenGL keeps for them: the matrix mode,
// the projection and model-view matrices and their stack depths, the viewport, the scissor,
// depth test, writes, function and range, culling. A draw path may change it for itself and
// puts it back as it found it.
//
// With VEXA_CHECK_GL_IDLE (the test builds) a path that leaves anything else behind stops the
// process with a line naming the path and the state: the first test that draws it finds it.

// What a path does with the matrix mode: keeps it, or (the 2-D drawings) leaves the
// projection matrix current, as the commands after them expect.
enum class MatrixModeAfter { as_found, projection };

#ifdef VEXA_CHECK_GL_IDLE

struct GlHeldState {
    int matrix_mode;
    int projection_depth, modelview_depth;
    float projection[16], modelview[16];
    int viewport[4];
    bool scissor_test;
    int scissor_box[4];
    bool depth_test, depth_mask;
    int depth_func;
    float depth_range[2];
    bool cull_face;
    int cull_mode;
};

// Checks the idle state now (`held` null), or the idle state and the held state against what
// it was when `held` was read.
void check_gl_idle(const char* path, const GlHeldState* held = nullptr);
GlHeldState read_gl_held_state();

// One draw path, from its start to wherever it returns.
struct GlIdleCheck {
    explicit GlIdleCheck(const char* path_name, MatrixModeAfter after = MatrixModeAfter::as_found);
    ~GlIdleCheck();
    GlIdleCheck(const GlIdleCheck&)            = delete;
    GlIdleCheck& operator=(const GlIdleCheck&) = delete;
    const char* path;
    GlHeldState held;
};

#else

inline void check_gl_idle(const char*) {}
struct GlIdleCheck {
    explicit GlIdleCheck(const char*, MatrixModeAfter = MatrixModeAfter::as_found) {}
};

#endif
