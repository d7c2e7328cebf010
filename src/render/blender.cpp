// The RDP's blender, decided for a whole surface from the other-mode words
#include "render/blender.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "state/bits.h"
#include "state/othermode.h"
#include "state/rdp_reg.h"

#ifndef GL_CONSTANT_ALPHA
#define GL_CONSTANT_ALPHA 0x8003 // OpenGL 1.4 (EXT_blend_color); the Windows headers stop at 1.1
#define GL_ONE_MINUS_CONSTANT_ALPHA 0x8004
#endif

namespace {

// The blender's inputs, P x A + M x B: P and M colours, A and B weights (G_BL_*).
enum : uint32_t { kClrIn = 0, kClrMem = 1 };
enum : uint32_t { kAIn = 0, kAFog = 1, kAShade = 2, kAZero = 3 };
enum : uint32_t { kB1ma = 0, kBAMem = 1, kBOne = 2, kBZero = 3 };

// The four selectors of a cycle: bits 30, 26, 22, 18 for cycle 0, two lower for cycle 1.
struct BlendCycle {
    uint32_t p, a, m, b;
};

BlendCycle blend_cycle(uint32_t l, int cycle) {
    const int c = cycle ? 2 : 0;
    return {field(l, 30 - c, 2), field(l, 26 - c, 2), field(l, 22 - c, 2), field(l, 18 - c, 2)};
}

// A weight as OpenGL sees it.
enum class Weight { zero, one, alpha, one_minus_alpha, constant, one_minus_constant };

using BlendColorFn = void(APIENTRY*)(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
BlendColorFn blend_color_fn;

int gl_factor(Weight w, float constant) {
    if (!blend_color_fn && (w == Weight::constant || w == Weight::one_minus_constant)) {
        const bool high = constant >= 0.5f;
        w               = (w == Weight::constant) == high ? Weight::one : Weight::zero;
    }
    switch (w) {
    case Weight::zero: return GL_ZERO;
    case Weight::one: return GL_ONE;
    case Weight::alpha: return GL_SRC_ALPHA;
    case Weight::one_minus_alpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Weight::constant: return GL_CONSTANT_ALPHA;
    default: return GL_ONE_MINUS_CONSTANT_ALPHA;
    }
}

} // namespace

SurfaceBlend surface_blend(uint32_t l, uint32_t cycle_type, uint32_t blend_color,
                           uint32_t fog_color) {
    SurfaceBlend s      = {false, GL_ONE, GL_ZERO, 0.0f, 0.0f};
    const uint32_t ac   = l & kAlphaCompare;
    const float blend_a = static_cast<float>(blend_color & 0xFF) * kInv255;
    if (cycle_type == 3) return s;
    // Copy mode has no blender; the alpha compare keeps texels whose alpha is 0 out.
    if (cycle_type == kCycleCopy) {
        if (ac & 1) s.cut = ac == 3 ? 0.5f : std::max(blend_a, kInv255);
        return s;
    }
    // With ALPHA_CVG_SEL and without CVG_X_ALPHA the blender's alpha is the coverage, full
    // inside a surface; CVG_X_ALPHA makes the coverage alpha x 8, so (with AA_EN, which writes
    // only covered pixels) alpha below 32 writes nothing.
    const bool coverage_alpha = (l & kAlphaCvgSel) && !(l & kCvgXAlpha);
    if ((l & kCvgXAlpha) && (l & kAntiAlias)) s.cut = 32.0f * kInv255;
    if ((ac & 1) && !coverage_alpha) s.cut = std::max(s.cut, ac == 3 ? 0.5f : blend_a);

    const BlendCycle c = blend_cycle(l, cycle_type == 1 ? 1 : 0);
    // Without FORCE_BL a fully covered pixel takes P unchanged: the blend is at the edges.
    if (!(l & kForceBlend)) {
        if (c.p == kClrMem) s = {true, GL_ZERO, GL_ONE, 0.0f, s.cut};
        return s;
    }
    const float fog_a = static_cast<float>(fog_color & 0xFF) * kInv255;
    Weight a          = Weight::alpha;
    if (c.a == kAIn && coverage_alpha) a = Weight::one;
    if (c.a == kAFog) a = Weight::constant;
    if (c.a == kAZero) a = Weight::zero;
    Weight b = Weight::one;
    if (c.b == kB1ma || c.b == kBAMem) { // memory's alpha taken as the complement
        static const Weight complement[] = {Weight::one,
                                            Weight::zero,
                                            Weight::one_minus_alpha,
                                            Weight::alpha,
                                            Weight::one_minus_constant,
                                            Weight::constant};
        b                                = complement[static_cast<int>(a)];
    }
    if (c.b == kBZero) b = Weight::zero;
    // IN, the blend colour or the fog colour on one side, memory on the other, or neither.
    if (c.p == kClrMem && c.m == kClrMem) return {true, GL_ZERO, GL_ONE, 0.0f, s.cut};
    if (c.p != kClrMem && c.m != kClrMem) return s;
    const Weight in = c.p == kClrMem ? b : a, mem = c.p == kClrMem ? a : b;
    s.source         = gl_factor(in, fog_a);
    s.destination    = gl_factor(mem, fog_a);
    s.blend          = !(s.source == GL_ONE && s.destination == GL_ZERO);
    s.constant_alpha = fog_a;
    return s;
}

SurfaceBlend current_surface_blend() {
    return surface_blend(rdp_reg.othermode_l, rdp_reg.cycle_type, rdp_reg.blend_color,
                         rdp_reg.fog_color);
}

void begin_surface(const SurfaceBlend& s) {
    if (!s.blend) {
        glDisable(GL_BLEND);
    } else if (s.source != GL_SRC_ALPHA || s.destination != GL_ONE_MINUS_SRC_ALPHA) {
        if (blend_color_fn) blend_color_fn(0, 0, 0, s.constant_alpha);
        glBlendFunc(s.source, s.destination);
    }
    if (s.cut > 0.0f)
        glAlphaFunc(GL_GEQUAL, s.cut);
    else
        glDisable(GL_ALPHA_TEST);
}

void end_surface(const SurfaceBlend& s) {
    if (!s.blend) glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.005f);
}

void choose_blend_color() {
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* ext     = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (version) std::sscanf(version, "%d.%d", &major, &minor);
    const bool core = major > 1 || (major == 1 && minor >= 4);
    blend_color_fn  = nullptr;
    if (core)
        blend_color_fn = reinterpret_cast<BlendColorFn>(platform_gl_function("glBlendColor"));
    else if (ext && std::strstr(ext, "GL_EXT_blend_color"))
        blend_color_fn = reinterpret_cast<BlendColorFn>(platform_gl_function("glBlendColorEXT"));
}
