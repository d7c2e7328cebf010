// Fog: the factor the microcode puts in a vertex's shade alpha, and the blender's first cycle
// mixing the fog colour in, drawn with OpenGL's fog coordinate or a pass of its own
#include "render/fog.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "render/batch.h"
#include "state/bits.h"
#include "state/rdp_reg.h"

#ifndef GL_FOG_COORDINATE_SOURCE
#define GL_FOG_COORDINATE_SOURCE 0x8450 // OpenGL 1.4; the Windows headers stop at 1.1
#define GL_FOG_COORDINATE 0x8451
#define GL_FOG_COORDINATE_ARRAY 0x8457
#endif

// The smallest |w| a factor divides by: a vertex in the eye's plane is taken just in front of
// it (or just behind, for a negative w).
constexpr float kSmallestW = 1.0f / 65536.0f;

float fog_factor(float z_clip, float w_clip, uint32_t fog_word) {
    const auto fm = static_cast<float>(static_cast<int16_t>(fog_word >> 16));
    const auto fo = static_cast<float>(static_cast<int16_t>(fog_word & 0xFFFF));
    float w       = w_clip;
    if (w < kSmallestW && w > -kSmallestW) w = w < 0.0f ? -kSmallestW : kSmallestW;
    const float f = z_clip / w * fm + fo;
    if (!(f > 0.0f)) return 0.0f; // also a product of an infinite depth and fm 0
    return f < 255.0f ? f : 255.0f;
}

// The first cycle's selectors of the blender: P x A + M x B, in othermode_l bits 30..31,
// 26..27, 22..23 and 18..19.
constexpr uint32_t kBlendFogColor  = 3; // P: G_BL_CLR_FOG
constexpr uint32_t kBlendColorIn   = 0; // M: G_BL_CLR_IN
constexpr uint32_t kBlendFogAlpha  = 1; // A: G_BL_A_FOG
constexpr uint32_t kBlendShadeA    = 2; // A: G_BL_A_SHADE
constexpr uint32_t kBlendOneMinusA = 0; // B: G_BL_1MA

FogMix fog_mix(uint32_t othermode_l, uint32_t cycle_type) {
    if (cycle_type >= 2) return FogMix::none;
    if (field(othermode_l, 30, 2) != kBlendFogColor || field(othermode_l, 22, 2) != kBlendColorIn ||
        field(othermode_l, 18, 2) != kBlendOneMinusA)
        return FogMix::none;
    switch (field(othermode_l, 26, 2)) {
    case kBlendShadeA: return FogMix::shade_alpha;
    case kBlendFogAlpha: return FogMix::fog_alpha;
    default: return FogMix::none; // the combined alpha, or 0: nothing of the fog colour
    }
}

FogDraw fog_draw = FogDraw::pass;

using FogCoordPointer = void(APIENTRY*)(GLenum type, GLsizei stride, const void* pointer);
static FogCoordPointer fog_coord_pointer;

static bool names_extension(const char* extensions, const char* name) {
    const size_t n = std::strlen(name);
    for (const char* p = extensions; p && (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == extensions || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

static bool from_version_1_4(const char* version) {
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    return major > 1 || (major == 1 && minor >= 4);
}

FogDraw fog_draw_for(const char* version, const char* extensions) {
    return from_version_1_4(version) || names_extension(extensions, "GL_EXT_fog_coord")
               ? FogDraw::coordinate
               : FogDraw::pass;
}

// OpenGL's linear fog from 0 to 1 over the coordinate c gives colour x (1 - c) + fog x c: the
// blender's mix, with c the weight of the fog colour.
void choose_fog_draw() {
    const auto text = [](GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); };
    const char* version = text(GL_VERSION);
    fog_draw            = fog_draw_for(version, text(GL_EXTENSIONS));
    fog_coord_pointer   = nullptr;
    if (fog_draw == FogDraw::coordinate)
        fog_coord_pointer = reinterpret_cast<FogCoordPointer>(platform_gl_function(
            from_version_1_4(version) ? "glFogCoordPointer" : "glFogCoordPointerEXT"));
    if (!fog_coord_pointer) fog_draw = FogDraw::pass;
    glDisable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    if (fog_draw == FogDraw::coordinate) glFogi(GL_FOG_COORDINATE_SOURCE, GL_FOG_COORDINATE);
}

static void fog_color_of(uint32_t word, float alpha, float out[4]) {
    out[0] = static_cast<float>(word >> 24) * kInv255;
    out[1] = static_cast<float>(field(word, 16, 8)) * kInv255;
    out[2] = static_cast<float>(field(word, 8, 8)) * kInv255;
    out[3] = alpha;
}

void begin_fog(const float* weights, bool added_pass) {
    float color[4];
    fog_color_of(added_pass ? 0 : rdp_reg.fog_color, 1.0f, color);
    glFogfv(GL_FOG_COLOR, color);
    fog_coord_pointer(GL_FLOAT, 0, weights);
    glEnableClientState(GL_FOG_COORDINATE_ARRAY);
    glEnable(GL_FOG);
}

void end_fog() {
    glDisable(GL_FOG);
    glDisableClientState(GL_FOG_COORDINATE_ARRAY);
}

// Colour and alpha come from the vertex, the texture adds its alpha only: GL_BLEND towards an
// environment colour equal to the vertex colour keeps the colour whatever the texel.
void draw_fog_pass(const float* weights, int count, bool textured) {
    float color[4];
    fog_color_of(rdp_reg.fog_color, 1.0f, color);
    for (int i = 0; i < count; ++i)
        fog_color_of(rdp_reg.fog_color, weights[i], client_arrays.colors[i]);
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, color);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glDrawArrays(GL_TRIANGLES, 0, count);
    if (textured) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopAttrib();
}
