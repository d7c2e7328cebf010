// The RDP's blender, decided for a whole surface from the other-mode words
#pragma once
#include <cstdint>

// How a surface's pixels reach the frame, for the inside of a surface (every pixel fully
// covered): written as they are, mixed with memory by two OpenGL blend factors, and cut where
// their alpha falls below a threshold.
struct SurfaceBlend {
    bool blend;              // mix with memory; else the pixel is written whatever its alpha
    int source, destination; // OpenGL blend factors where it mixes
    float constant_alpha;    // the fog colour's alpha, for GL_CONSTANT_ALPHA factors
    float cut;               // pixels whose alpha is below this are not written; 0: none
};

// The blender of the cycle that writes the pixel (cycle 0 in one-cycle mode, 1 in two-cycle
// mode, whose IN is the first cycle's result), with coverage, forced blending and the alpha
// compare; copy mode writes texels as they are, cut by the alpha compare; fill mode writes.
SurfaceBlend surface_blend(uint32_t othermode_l, uint32_t cycle_type, uint32_t blend_color,
                           uint32_t fog_color);
// The surface the current other-mode words, blend and fog colours describe.
SurfaceBlend current_surface_blend();

// The OpenGL state of a surface, from the idle state (render/gl_idle.h) and back to it.
void begin_surface(const SurfaceBlend& surface);
void end_surface(const SurfaceBlend& surface);

// Whether the context has glBlendColor (OpenGL 1.4 or EXT_blend_color), chosen when it is made;
// without it a constant alpha is taken as 0 or 1, whichever is nearer.
void choose_blend_color();
